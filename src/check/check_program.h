#pragma once

namespace movrek {

class Host;

namespace check {

// The whole of movrek32-check: command line, checks, findings, summary.
// Returns 0 when no error was found, 1 when one was (with --strict also when
// a warning was, and when memory ran out), 2 for an invalid command line.
int check_main(int argc, const char* const* argv, Host& host);

}  // namespace check
}  // namespace movrek
