#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"

namespace movrek {

// The keywords of movrek.cfg in their fixed table order; the index selects the action.
enum class Keyword {
  kHeader,
  kFooter,
  kNoDesc,
  kExcludeAreas,
  kGroup,
  kEndGroup,
  kReport,
  kDruvoDir,
  kReportWidth
};

// Returns the index of the first keyword equal to `word` under compare_names, or -1.
int find_keyword(std::string_view word);

// The keyword as the table writes it, in capitals.
std::string_view keyword_text(Keyword keyword);

// Longest name taken from EXCLUDEAREAS and GROUP lines, and longest file name
// taken from HEADER, FOOTER, REPORT and DRUVODIR lines.
inline constexpr long kNameLimit = 32;
inline constexpr long kFileNameLimit = 260;
// A line is read in pieces of at most this many bytes, each a line of its own.
inline constexpr std::size_t kLinePieceLimit = 1023;
// The template directory, with its separator, fits in this many bytes.
inline constexpr std::size_t kTemplateDirLimit = 259;

// Why a line is in error.
enum class LineError {
  kUnknownKeyword,    // its first word is no keyword
  kGroupInGroup,      // GROUP while a group is open
  kEndGroupOutside,   // ENDGROUP while no group is open
  kNoDirectory,       // DRUVODIR without a word
  kDirectoryTooLong,  // DRUVODIR whose directory does not fit kTemplateDirLimit
  kNegativeWidth,     // REPORTWIDTH below 0
  kReadFailed,        // the file could not be read on to this line
};

// Told what the reading does, line by line, for a caller that explains a
// configuration rather than runs it. Texts are views into the line, valid for
// the call only; `text` is the line up to its first NUL, without line feed.
class ConfigObserver {
 public:
  virtual ~ConfigObserver() = default;
  // A piece was read, as it is, line feed and NUL bytes included; the calls
  // below about it follow. Pieces are numbered from 1, as the lines of
  // ConfigResult are.
  virtual void piece_read(int number, std::string_view piece) = 0;
  // A keyword line has been carried out. `argument` is what follows the
  // keyword. `group` is the group that the line opened, closed or changed
  // (GROUP, ENDGROUP, HEADER, FOOTER, and REPORT inside a group), else nullptr.
  virtual void keyword_line(int number, std::string_view text, Keyword keyword,
                            std::string_view argument, const Group* group) = 0;
  // The reading stopped at this line in error; the line changed nothing.
  virtual void line_in_error(int number, std::string_view text, LineError why) = 0;
  // The reading ended with this group still open: it is dropped right after.
  virtual void group_left_open(const Group& group) = 0;
};

struct ConfigResult {
  enum class Status {
    kRead,         // read to its end without a line in error
    kCannotOpen,   // `open_error` says why; nothing changed
    kLineInError,  // reading stopped at `line`, for `error`
  };
  Status status = Status::kRead;
  int line = 0;
  LineError error = LineError::kUnknownKeyword;
  FileError open_error = FileError::kNone;
  std::optional<FileId> identity;  // of the file read, when the system told it
};

// Reads the configuration at `path` into `settings` and the group chain of
// `catalog`. `separator` is the host's directory separator that DRUVODIR
// appends. Lines are counted as pieces of at most 1023 bytes. A line in
// error, a failed read included, stops the reading there: what earlier lines
// set stays in effect, and a group still open is dropped. Prints nothing.
// Throws std::bad_alloc when memory runs out, the file system's included. An
// observer, when given, is told every step.
ConfigResult read_config(FileSystem& files, const std::string& path, char separator,
                         Settings& settings, Catalog& catalog, ConfigObserver* observer = nullptr);

// The same from an open byte source.
ConfigResult read_config(ByteSource& source, char separator, Settings& settings, Catalog& catalog,
                         ConfigObserver* observer = nullptr);

}  // namespace movrek
