#include "driver/run.h"

#include "config/config_reader.h"
#include "driver/command_line.h"
#include "driver/host.h"
#include "driver/messages.h"
#include "driver/paths.h"
#include "input/new_files_reader.h"
#include "input/template_reader.h"
#include "text/format.h"
#include "version.h"

namespace movrek {

namespace {

constexpr std::string_view kConfigName = "movrek.cfg";
constexpr std::string_view kTemplateName = "newfile.rpt";

std::string banner() {
  return "\nDruvo Announcer version " + decimal_text(kVersionMajor) + "." +
         decimal_text(kVersionMinor) + " beta for Win32\n" +
         "Copyright (c) the movrek32 authors\n\n";
}

}  // namespace

ExitCode run_sequence(Run& run, const ConsoleOut& console, const SinkFactory& open_sink) {
  const int config = read_config(run.config_path, run.separator, run.settings, run.catalog);
  if (config != 0) {
    if (config > 0) console(format_message(messages::kConfigLineError, {decimal_text(config)}));
    console(messages::kWorkingWithoutConfig);
  }

  int group_without_report = 0;
  const auto& groups = run.catalog.groups();
  for (std::size_t i = 1; i < groups.size(); ++i) {
    if (!groups[i]->report) {
      group_without_report = static_cast<int>(i);
      break;
    }
  }
  const std::string template_path =
      join_path(run.settings.template_dir, kTemplateName, run.separator);
  if (group_without_report != 0) {
    console(format_message(messages::kGroupWithoutReport, {decimal_text(group_without_report)}));
    console(format_message(messages::kAddReportCommand, {kConfigName}));
    return ExitCode::kGroupWithoutReport;
  }

  const int tmpl = read_template(template_path, run.tags);
  if (tmpl > 0) {
    console(format_message(messages::kTemplateLineError, {kTemplateName, decimal_text(tmpl)}));
    return ExitCode::kTemplateFailed;
  }
  if (tmpl < 0) {
    console(format_message(messages::kTemplateMissing, {kTemplateName}));
    return ExitCode::kTemplateFailed;
  }

  const auto list = FileSource::open(run.input_path);
  if (!list) {
    console(format_message(messages::kCannotOpenInput, {run.input_path}));
    return ExitCode::kCannotOpenInput;
  }
  console(format_message(messages::kReadingList, {run.input_path}));
  if (!read_new_files(*list, run.tags, run.settings.excluded_areas, run.catalog)) {
    console(messages::kInputEmpty);
    return ExitCode::kInputFailed;
  }

  const ReportResult reports = write_reports(run.catalog, run.settings, console, open_sink);
  switch (reports.status) {
    case ReportResult::Status::kOk:
      return ExitCode::kOk;
    case ReportResult::Status::kCannotCreate:
      console(messages::kCannotOpenOutput);
      return ExitCode::kCannotWriteReport;
    case ReportResult::Status::kWriteFailed:
      console(format_message(messages::kCannotWriteOutput, {reports.report}));
      return ExitCode::kCannotWriteReport;
  }
  return ExitCode::kOk;
}

int program_main(int argc, const char* const* argv, const ConsoleOut& console) {
  console(banner());

  Run run;
  run.separator = host::default_separator();
  run.program_dir = host::program_directory(argc > 0 ? argv[0] : nullptr);
  run.settings.template_dir = run.program_dir;
  run.config_path = join_path(run.program_dir, kConfigName, run.separator);

  CommandLine command_line;
  if (parse_command_line(argc, argv, host::is_option_introducer, command_line) != 0) {
    console(messages::kUsage);
    return static_cast<int>(ExitCode::kUsage);
  }
  run.catalog.default_group().report = command_line.output_path;
  run.input_path = command_line.input_path;

  const SinkFactory open_report = [](const std::string& path) -> std::unique_ptr<ByteSink> {
    return FileSink::create(path);
  };
  return static_cast<int>(run_sequence(run, console, open_report));
}

}  // namespace movrek
