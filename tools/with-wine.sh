#!/usr/bin/env bash
# Runs a command with a private wine prefix and one persistent wineserver, so
# that the many short runs of the test suite do not each start wine afresh.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY=
mkdir -p "$WINEPREFIX"
# The server must not hold the test runner's pipes open.
wineserver -p </dev/null >/dev/null 2>&1 &
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true  # first start fills the prefix
"$@"
