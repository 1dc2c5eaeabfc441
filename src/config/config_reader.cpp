#include "config/config_reader.h"

#include <array>
#include <cstring>
#include <memory>
#include <optional>

#include "text/char_class.h"
#include "text/decimal.h"
#include "text/take_word.h"
#include "text/text_reader.h"

namespace movrek {

namespace {

constexpr std::array<std::string_view, 9> kKeywords = {"HEADER",       "FOOTER",   "NODESC",
                                                       "EXCLUDEAREAS", "GROUP",    "ENDGROUP",
                                                       "REPORT",       "DRUVODIR", "REPORTWIDTH"};

// A configuration line is read into a 1024-byte buffer: pieces of at most 1023 bytes.
constexpr std::size_t kPieceLimit = 1023;

std::optional<std::string> owned(std::optional<std::string_view> word) {
  if (!word) return std::nullopt;
  return std::string(*word);
}

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

// The state of one reading of the file.
class ConfigReader {
 public:
  ConfigReader(char separator, Settings& settings, Catalog& catalog)
      : separator_(separator),
        settings_(settings),
        catalog_(catalog),
        current_(&catalog.default_group()) {}

  // Carries out one line; false when it is a line in error.
  bool do_line(std::string_view line);

 private:
  bool do_keyword(Keyword keyword, std::string_view& cursor);

  char separator_;
  Settings& settings_;
  Catalog& catalog_;
  Group* current_;                     // what HEADER, FOOTER and REPORT change
  std::unique_ptr<Group> open_group_;  // between GROUP and ENDGROUP
};

bool ConfigReader::do_line(std::string_view line) {
  // A NUL byte ends the line's text.
  if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
    line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
  }
  std::string_view cursor = line;
  skip_space(cursor);
  if (cursor.empty() || !is_letter(static_cast<unsigned char>(cursor.front()))) return true;
  const auto word = take_word(cursor, static_cast<long>(cursor.size()));
  const int index = find_keyword(*word);
  if (index < 0) return false;
  return do_keyword(static_cast<Keyword>(index), cursor);
}

bool ConfigReader::do_keyword(Keyword keyword, std::string_view& cursor) {
  switch (keyword) {
    case Keyword::kHeader:
      current_->header = owned(take_word(cursor, kFileNameLimit));
      return true;
    case Keyword::kFooter:
      current_->footer = owned(take_word(cursor, kFileNameLimit));
      return true;
    case Keyword::kNoDesc: {
      skip_space(cursor);
      std::string_view text = cursor;
      if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
      settings_.no_description = std::string(text);
      return true;
    }
    case Keyword::kExcludeAreas:
      while (const auto name = take_word(cursor, kNameLimit))
        settings_.excluded_areas.add(*name);
      return true;
    case Keyword::kGroup:
      if (open_group_) return false;
      open_group_ = make_configured_group();
      current_ = open_group_.get();
      while (const auto name = take_word(cursor, kNameLimit)) {
        catalog_.insert_area(*open_group_, *name, std::nullopt, std::nullopt);
      }
      return true;
    case Keyword::kEndGroup:
      if (!open_group_) return false;
      current_ = &catalog_.append_group(std::move(open_group_));
      return true;
    case Keyword::kReport:
      if (open_group_) current_->report = owned(take_word(cursor, kFileNameLimit));
      return true;
    case Keyword::kDruvoDir: {
      const auto word = take_word(cursor, kFileNameLimit);
      if (!word) return false;
      std::string dir(*word);
      if (!is_separator(dir.back())) dir.push_back(separator_);
      // The directory must fit its 260-byte buffer with the terminator.
      if (dir.size() > kTemplateDirLimit) return false;
      settings_.template_dir = std::move(dir);
      return true;
    }
    case Keyword::kReportWidth: {
      const std::int32_t width = decimal_int32(cursor);
      // The width counts the bytes of every rule: a negative one is refused.
      if (width < 0) return false;
      settings_.report_width = width;
      return true;
    }
  }
  return false;
}

}  // namespace

int find_keyword(std::string_view word) {
  for (std::size_t i = 0; i < kKeywords.size(); ++i) {
    if (names_equal(kKeywords[i], word)) return static_cast<int>(i);
  }
  return -1;
}

int read_config(ByteSource& source, char separator, Settings& settings, Catalog& catalog) {
  TextReader reader(source);
  ConfigReader config(separator, settings, catalog);
  std::string piece;
  int line = 0;
  while (true) {
    const bool got = reader.read_piece(kPieceLimit, piece);
    // A read that fails short of the end of the file stops the reading as an
    // error at the line it was reading; the part of that line read before the
    // failure changes nothing.
    if (reader.failed()) return line + 1;
    if (got) {
      ++line;
      if (!config.do_line(piece)) return line;
    }
    if (reader.eof()) return 0;
  }
}

int read_config(FileSystem& files, const std::string& path, char separator, Settings& settings,
                Catalog& catalog) {
  const auto source = file_or_null(files.open(path));
  if (!source) return -1;
  return read_config(*source, separator, settings, catalog);
}

}  // namespace movrek
