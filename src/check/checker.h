#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check/findings.h"
#include "report/layout.h"
#include "text/byte_io.h"

// The checks of movrek32-check: the configuration, the record template, the
// header and footer files and optionally a new-files list, read once each by
// movrek32's own readers into its own catalog, exactly as a run would read
// them, and nothing written. The result is facts; the front end prints them.
namespace movrek::check {

struct AreaTotal {
  std::string name;
  std::uint32_t files = 0;
  layout::ByteTotal bytes = 0;  // as the report's total line shows it
};

// Where one report goes, and with a list what it will hold.
struct ReportPlan {
  int group = 0;                      // 0: the main report
  int line = 0;                       // the group's GROUP line
  std::optional<std::string> report;  // the main report's only when given
  std::optional<std::string> header;
  std::optional<std::string> footer;
  // What keeps a header or footer out of the report: not found (where it was
  // looked for), or unreadable (why).
  std::optional<std::string> header_problem;
  std::optional<std::string> footer_problem;
  std::vector<std::string> named_areas;  // the areas of its GROUP line
  std::vector<AreaTotal> areas;          // with a list: the areas with files, in report order
  std::uint32_t files = 0;
  std::uint64_t bytes = 0;  // the sum of the areas' totals
};

struct Summary {
  bool list_read = false;  // the list was read as movrek32 would write its reports
  // The exit code movrek32 will give with the same files and arguments, when
  // the checks can tell (a stage that ends every run, or the list read).
  std::optional<int> exit_code;
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
