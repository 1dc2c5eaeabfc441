#pragma once

#include <string_view>

namespace movrek {

// What the console's reader is given: the CP866 bytes of the messages, or
// their text in Unicode (UTF-8, or UTF-16 for a Windows console). Reports
// are never converted.
enum class ConsoleText { kCp866, kUnicode };

// The environment variable that chooses for any kind of output.
inline constexpr const char* kConsoleVariable = "MOVREK32_CONSOLE";

// `forced` is the variable's value (or null): "utf-8" or "cp866", in any
// case, decides; any other value is ignored. Otherwise a terminal that reads
// Unicode gets Unicode, and everything else (files, pipes, cron mail) the
// CP866 bytes that scripts have always seen.
ConsoleText choose_console_text(const char* forced, bool terminal, bool terminal_reads_unicode);

// True for a locale character set name that means UTF-8.
bool is_utf8_codeset(std::string_view codeset);

}  // namespace movrek
