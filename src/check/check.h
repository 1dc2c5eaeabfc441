#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/byte_io.h"

// The checks of movrek32-check: the configuration, the record template, the
// header and footer files and optionally a new-files list, read by movrek32's
// own readers exactly as a run would read them, and nothing written. The
// result is facts; the driver turns them into console lines.
namespace movrek::check {

enum class Severity { kError, kWarning };

// What a finding is about. The comment gives its arguments, in order.
enum class Kind {
  // Errors.
  kConfigCannotOpen,     // the configuration named on the command line cannot be opened
  kUnknownKeyword,       // word, line text
  kUnknownKeywordLike,   // word, the keyword it resembles, line text
  kGroupInGroup,         // line of the open GROUP, line text
  kEndGroupOutside,      // line text
  kNoDirectory,          // line text
  kDirectoryTooLong,     // line text
  kNegativeWidth,        // line text
  kConfigReadFailed,     //
  kGroupWithoutReport,   // group number
  kTemplateMissing,      // full path looked at
  kTemplateNul,          //
  kTemplateReadFailed,   //
  kTemplateEmpty,        //
  kTemplateWithoutArea,  //
  kTemplateWithoutFile,  //
  kListCannotOpen,       // full path looked at
  kListReadFailed,       //
  kListRefused,          //
  // Warnings.
  kConfigMissing,           // (the configuration beside the program)
  kReportOutsideGroup,      // line text
  kGroupLeftOpen,           // its areas, joined by ", "
  kAreaInTwoGroups,         // area, line of the earlier GROUP, its report
  kAreaExcludedAndGrouped,  // area, line of the EXCLUDEAREAS naming it
  kSameReportFile,          // report, line of the earlier group's REPORT
  kSameAsMainReport,        // report
  kReportIsList,            // report
  kMainReportIsList,        //
  kHeaderNotFound,          // name, full path looked at
  kFooterNotFound,          // name, full path looked at
  kWidthNoRoom,             // width
  kWidthNoRoomWithSize,     // width
  kWidthNotNumber,          // the argument's first word, the width taken
  kConfigBom,               //
  kUtf8Nodesc,              //
  kUtf8Header,              //
  kUtf8Footer,              //
  kUtf8List,                // count, file name, area of the first such text
  kLongFileName,            // file name, area, the name as the report prints it
  kSizeNotDecimal,          // size text, file name, area, the value added to the total
  kSizesEmpty,              // how many files have an empty size
  kSizeTooLong,             // size text, file name, area, the size as the report prints it
  kTotalWraps,              // area, the real byte total, the total the report prints
  kDuplicateFile,           // file name, area, how many times
  kRecordsLost,             // number of lines
};

// Findings without a line, of one kind and one file, stand together.
struct Finding {
  Severity severity;
  Kind kind;
  std::string file;  // the file it is about, as named to the program
  int line = 0;      // 0: none
  std::vector<std::string> args;
};

struct AreaTotal {
  std::string name;
  std::uint32_t files = 0;
  // As the report's total line shows it: modulo 2^32 per area.
  std::uint32_t bytes = 0;
};

// Where one report goes, and with a list what it will hold.
struct ReportPlan {
  int group = 0;                      // 0: the main report
  int line = 0;                       // the group's GROUP line
  std::optional<std::string> report;  // the main report's only when given
  std::optional<std::string> header;
  std::optional<std::string> footer;
  std::optional<std::string> header_missing;  // the full path looked at in vain
  std::optional<std::string> footer_missing;
  std::vector<std::string> named_areas;  // the areas of its GROUP line
  std::vector<AreaTotal> areas;          // with a list: the areas with files, in report order
  std::uint32_t files = 0;
  std::uint64_t bytes = 0;  // the sum of the areas' totals
};

struct Summary {
  bool list_read = false;  // the list was read as movrek32 would write its reports
  std::vector<ReportPlan> reports;
  std::vector<AreaTotal> excluded;  // with a list, what each name leaves out
  std::int32_t width = 0;
  std::string no_description;
  std::string template_path;
  std::string template_tags;  // one byte per entry
};

struct Request {
  std::string config_path;
  bool config_named = false;  // given on the command line, not found beside the program
  std::string template_dir;   // before DRUVODIR
  std::string template_name;  // joined to the template directory
  std::optional<std::string> list_path;
  std::optional<std::string> report_path;  // the main report, movrek32's second argument
  char separator = '/';
  bool windows_names = false;  // file names ignore ASCII case and take either separator
  std::string current_dir;     // ending in a separator; empty when unknown
};

struct Result {
  std::vector<Finding> findings;
  Summary summary;
};

// Checks everything the request names. Reads only. Throws std::bad_alloc
// when memory runs out.
Result run_checks(const Request& request, FileSystem& files);

}  // namespace movrek::check
