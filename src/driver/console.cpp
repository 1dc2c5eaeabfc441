#include "driver/console.h"

#include "text/names.h"

namespace movrek {

ConsoleText choose_console_text(const char* forced, bool terminal, bool terminal_reads_unicode) {
  if (forced != nullptr) {
    if (names_equal(forced, "utf-8")) return ConsoleText::kUnicode;
    if (names_equal(forced, "cp866")) return ConsoleText::kCp866;
  }
  return terminal && terminal_reads_unicode ? ConsoleText::kUnicode : ConsoleText::kCp866;
}

bool is_utf8_codeset(std::string_view codeset) {
  return names_equal(codeset, "UTF-8") || names_equal(codeset, "utf8");
}

}  // namespace movrek
