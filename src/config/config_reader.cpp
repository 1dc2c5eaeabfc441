#include "config/config_reader.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "text/char_class.h"
#include "text/decimal.h"
#include "text/paths.h"
#include "text/take_word.h"
#include "text/text_reader.h"

namespace movrek {

namespace {

constexpr std::array<std::string_view, 9> kKeywords = {"HEADER",       "FOOTER",   "NODESC",
                                                       "EXCLUDEAREAS", "GROUP",    "ENDGROUP",
                                                       "REPORT",       "DRUVODIR", "REPORTWIDTH"};

std::optional<std::string> owned(std::optional<std::string_view> word) {
  if (!word) return std::nullopt;
  return std::string(*word);
}

// The state of one reading of the file.
class ConfigReader {
 public:
  ConfigReader(char separator, Settings& settings, Catalog& catalog, ConfigObserver* observer)
      : separator_(separator),
        settings_(settings),
        catalog_(catalog),
        observer_(observer),
        current_(&catalog.default_group()) {}

  // Carries out line `number`; false when it is a line in error.
  bool do_line(int number, std::string_view line);
  // Tells the observer that the reading stopped at line `number`, cut short
  // by a failed read, with the part of it read so far.
  void read_failed(int number, std::string_view part);
  // Tells the observer of a group still open at the end of the reading.
  void finish();
  // Why the last line in error is.
  LineError error() const { return error_; }

 private:
  bool do_keyword(Keyword keyword, std::string_view& cursor);
  bool fail(LineError why) {
    error_ = why;
    return false;
  }

  char separator_;
  Settings& settings_;
  Catalog& catalog_;
  ConfigObserver* observer_;           // may be nullptr
  Group* current_;                     // what HEADER, FOOTER and REPORT change
  std::unique_ptr<Group> open_group_;  // between GROUP and ENDGROUP
  LineError error_ = LineError::kUnknownKeyword;
};

// The text of a line as an observer sees it: without its line feed.
std::string_view without_line_feed(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return line;
}

bool ConfigReader::do_line(int number, std::string_view line) {
  // A NUL byte ends the line's text.
  if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
    line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
  }
  std::string_view cursor = line;
  skip_space(cursor);
  if (cursor.empty() || !is_letter(static_cast<unsigned char>(cursor.front()))) return true;
  const auto word = take_word(cursor, static_cast<long>(cursor.size()));
  const int index = find_keyword(*word);
  const Keyword keyword = static_cast<Keyword>(index);
  const std::string_view argument = cursor;
  if (index < 0 || !do_keyword(keyword, cursor)) {
    if (index < 0) error_ = LineError::kUnknownKeyword;
    if (observer_) observer_->line_in_error(number, without_line_feed(line), error_);
    return false;
  }
  if (observer_) {
    const bool changes_group = keyword == Keyword::kHeader || keyword == Keyword::kFooter ||
                               keyword == Keyword::kGroup || keyword == Keyword::kEndGroup ||
                               (keyword == Keyword::kReport && open_group_);
    observer_->keyword_line(number, without_line_feed(line), keyword, without_line_feed(argument),
                            changes_group ? current_ : nullptr);
  }
  return true;
}

void ConfigReader::read_failed(int number, std::string_view part) {
  if (observer_) observer_->line_in_error(number, without_line_feed(part), LineError::kReadFailed);
}

void ConfigReader::finish() {
  if (observer_ && open_group_) observer_->group_left_open(*open_group_);
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
      if (open_group_) return fail(LineError::kGroupInGroup);
      open_group_ = make_configured_group();
      current_ = open_group_.get();
      while (const auto name = take_word(cursor, kNameLimit)) {
        catalog_.insert_area(*open_group_, *name, std::nullopt, std::nullopt);
      }
      return true;
    case Keyword::kEndGroup:
      if (!open_group_) return fail(LineError::kEndGroupOutside);
      current_ = &catalog_.append_group(std::move(open_group_));
      return true;
    case Keyword::kReport:
      if (open_group_) current_->report = owned(take_word(cursor, kFileNameLimit));
      return true;
    case Keyword::kDruvoDir: {
      const auto word = take_word(cursor, kFileNameLimit);
      if (!word) return fail(LineError::kNoDirectory);
      std::string dir(*word);
      if (!is_separator(dir.back())) dir.push_back(separator_);
      // The directory must fit its 260-byte buffer with the terminator.
      if (dir.size() > kTemplateDirLimit) return fail(LineError::kDirectoryTooLong);
      settings_.template_dir = std::move(dir);
      return true;
    }
    case Keyword::kReportWidth: {
      const std::int32_t width = decimal_int32(cursor);
      // The width counts the bytes of every rule: a negative one is refused.
      if (width < 0) return fail(LineError::kNegativeWidth);
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

std::string_view keyword_text(Keyword keyword) {
  return kKeywords[static_cast<std::size_t>(keyword)];
}

ConfigResult read_config(ByteSource& source, char separator, Settings& settings, Catalog& catalog,
                         ConfigObserver* observer) {
  TextReader reader(source);
  ConfigReader config(separator, settings, catalog, observer);
  std::string piece;
  int line = 0;
  ConfigResult result;
  while (true) {
    const bool got = reader.read_piece(kLinePieceLimit, piece);
    // A read that fails short of the end of the file stops the reading as an
    // error at the line it was reading; the part of that line read before the
    // failure changes nothing.
    if (reader.failed()) {
      result = {ConfigResult::Status::kLineInError, line + 1, LineError::kReadFailed, {}, {}};
      config.read_failed(result.line, piece);
      break;
    }
    if (got) {
      ++line;
      if (observer) observer->piece_read(line, piece);
      if (!config.do_line(line, piece)) {
        result = {ConfigResult::Status::kLineInError, line, config.error(), {}, {}};
        break;
      }
    }
    if (reader.eof()) break;
  }
  config.finish();
  return result;
}

ConfigResult read_config(FileSystem& files, const std::string& path, char separator,
                         Settings& settings, Catalog& catalog, ConfigObserver* observer) {
  Opened<ByteSource> opened = files.open(path);
  if (opened.error == FileError::kNoMemory) throw std::bad_alloc();
  if (!opened.file) {
    ConfigResult result;
    result.status = ConfigResult::Status::kCannotOpen;
    result.open_error = opened.error;
    return result;
  }
  ConfigResult result = read_config(*opened.file, separator, settings, catalog, observer);
  result.identity = opened.file->identity();
  return result;
}

}  // namespace movrek
