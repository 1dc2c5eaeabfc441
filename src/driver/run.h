#pragma once

#include <string>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "input/template_reader.h"
#include "report/report_writer.h"

namespace movrek {

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

// Everything one run works on, passed explicitly to every stage.
struct Run {
  Settings settings;
  Catalog catalog;
  TemplateList tags;
  std::string program_dir;  // ends in a separator
  std::string config_path;
  std::string input_path;
  char separator = '/';
};

// The run sequence after start-up: configuration, group check, template,
// new-files list, reports. Prints every stage's message and returns the exit code.
ExitCode run_sequence(Run& run, const ConsoleOut& console, const SinkFactory& open_sink);

// The whole program: banner, start-up, command line, run sequence.
int program_main(int argc, const char* const* argv, const ConsoleOut& console);

}  // namespace movrek
