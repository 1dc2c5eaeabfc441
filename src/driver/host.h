#pragma once

#include <string>

// What differs between the hosts movrek32 runs on. One source file per host
// implements it; nothing else in the program knows which host it runs on.
namespace movrek::host {

// The directory of the running executable (not the path typed by the user),
// ending in a directory separator. `argv0` is a fallback for hosts that cannot
// say where the executable lies.
std::string program_directory(const char* argv0);

// The separator used where a path needs one and the directory names none.
char default_separator();

// True for the bytes that introduce command-line options.
bool is_option_introducer(char c);

// Prepares standard output for the program's CP866 console bytes.
void prepare_console();

}  // namespace movrek::host
