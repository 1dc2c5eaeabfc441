#!/usr/bin/env python3
"""Reads back a FidoNet type-2 packet that a poster wrote for one report.

    python3 packet.py <packet> <area> <report>

The packet must hold one echomail message of the area whose text is the
report line for line, with CR line ends: after the AREA line and the kludge
lines (^A), the report's lines, then the tear line and the origin. Prints the
report as the message holds it, with CR LF line ends again; exits with 1,
saying why, when the packet is not so.
"""
import sys

PACKET_HEADER = 58
MESSAGE_HEADER = 14  # type, from and to node and net, attributes, cost
DATE = 20


def messages(data):
    """The packed messages: (to, from, subject, text) as bytes."""
    if len(data) < PACKET_HEADER + 2 or int.from_bytes(data[18:20], "little") != 2:
        raise ValueError("not a type-2 packet")
    pos = PACKET_HEADER
    while True:
        kind = int.from_bytes(data[pos:pos + 2], "little")
        if kind == 0:
            return
        if kind != 2:
            raise ValueError(f"message of type {kind} at offset {pos}")
        pos += MESSAGE_HEADER + DATE
        fields = []
        for _ in range(4):
            end = data.index(b"\0", pos)
            fields.append(data[pos:end])
            pos = end + 1
        yield fields


def report_of(text, area):
    lines = text.split(b"\r")
    if lines[0] != b"AREA:" + area:
        raise ValueError(f"first line {lines[0]!r}, not AREA:{area.decode()}")
    lines = lines[1:]
    while lines and lines[0].startswith(b"\x01"):
        lines = lines[1:]
    # The text ends in CR: the last piece is empty.
    if len(lines) < 3 or lines[-1] != b"" or not lines[-2].startswith(b" * Origin: ") \
            or not lines[-3].startswith(b"---"):
        raise ValueError("no tear line and origin at the end")
    return b"".join(line + b"\r\n" for line in lines[:-3])


def main():
    packet, area, report = sys.argv[1], sys.argv[2].encode(), sys.argv[3]
    with open(packet, "rb") as f:
        data = f.read()
    with open(report, "rb") as f:
        expected = f.read()
    try:
        found = list(messages(data))
        if len(found) != 1:
            raise ValueError(f"{len(found)} messages")
        text = report_of(found[0][3], area)
    except (ValueError, IndexError) as e:
        print(f"{packet}: {e}", file=sys.stderr)
        return 1
    if b"\r" in expected.replace(b"\r\n", b"") or text != expected:
        print(f"{packet}: the message is not the report {report}", file=sys.stderr)
        return 1
    sys.stdout.buffer.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
