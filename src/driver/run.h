#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "input/template_reader.h"
#include "text/byte_io.h"

namespace movrek {

// The files a run looks for: the configuration beside the program, the
// record template in the template directory.
inline constexpr std::string_view kConfigName = "movrek.cfg";
inline constexpr std::string_view kTemplateName = "newfile.rpt";

enum class ExitCode : int {
  kOk = 0,
  kUsage = 1,
  kCannotOpenInput = 2,
  kInputFailed = 3,
  kCannotWriteReport = 5,
  kGroupWithoutReport = 6,
  kTemplateFailed = 7,
  kOutOfMemory = 8,
};

// Where console messages go: one whole message per call, on its way before
// the call returns, so that a console shared with a report keeps the order of
// the run.
using ConsoleOut = std::function<void(std::string_view)>;

// Everything one run works on, passed explicitly to every stage.
struct Run {
  Settings settings;
  Catalog catalog;
  TemplateList tags;
  std::string config_path;
  std::string input_path;
  char separator = '/';
};

// The number of the first configured group without a report name (1 for the
// first group after the default one), or 0 when every group has one.
std::size_t group_without_report(const Catalog& catalog);

// The run sequence after start-up: configuration, group check, template,
// new-files list, reports. Prints every stage's message and returns the exit
// code. Throws std::bad_alloc when memory runs out.
ExitCode run_sequence(Run& run, FileSystem& files, const ConsoleOut& console);

class Host;

// The whole program: banner, start-up, command line, run sequence. Out of
// memory anywhere ends it with its message and exit code 8.
int program_main(int argc, const char* const* argv, Host& host);

}  // namespace movrek
