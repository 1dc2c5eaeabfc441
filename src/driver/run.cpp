#include "driver/run.h"

#include <new>

#include "config/config_reader.h"
#include "driver/command_line.h"
#include "driver/host.h"
#include "driver/messages.h"
#include "input/new_files_reader.h"
#include "report/report_writer.h"
#include "text/format.h"
#include "text/paths.h"
#include "version.h"

namespace movrek {

namespace {

ExitCode report_failure(const ReportResult& result, const ConsoleOut& console) {
  switch (result.status) {
    case ReportResult::Status::kOk:
      return ExitCode::kOk;
    case ReportResult::Status::kCannotCreate:
    case ReportResult::Status::kWouldReplace:
      console(messages::kCannotOpenOutput);
      break;
    case ReportResult::Status::kWriteFailed:
      console(format_message(messages::kCannotWriteOutput, {result.file}));
      break;
    case ReportResult::Status::kReadFailed:
      console(format_message(messages::kCannotReadFile, {result.file}));
      break;
  }
  return ExitCode::kCannotWriteReport;
}

}  // namespace

std::size_t group_without_report(const Catalog& catalog) {
  const auto& groups = catalog.groups();
  for (std::size_t i = 1; i < groups.size(); ++i) {
    if (!groups[i]->report) return i;
  }
  return 0;
}

ExitCode run_sequence(Run& run, FileSystem& files, const ConsoleOut& console) {
  const ConfigResult config =
      read_config(files, run.config_path, run.separator, run.settings, run.catalog);
  if (config.status != ConfigResult::Status::kRead) {
    if (config.status == ConfigResult::Status::kLineInError) {
      console(format_message(messages::kConfigLineError, {decimal_text(config.line)}));
    }
    console(messages::kWorkingWithoutConfig);
  }

  if (const std::size_t group = group_without_report(run.catalog)) {
    console(format_message(messages::kGroupWithoutReport,
                           {decimal_text(static_cast<long long>(group))}));
    console(format_message(messages::kAddReportCommand, {kConfigName}));
    return ExitCode::kGroupWithoutReport;
  }

  const std::string template_path =
      join_path(run.settings.template_dir, kTemplateName, run.separator);
  const TemplateResult tmpl = read_template(files, template_path, run.tags);
  if (tmpl.status == TemplateResult::Status::kCannotOpen) {
    console(format_message(messages::kTemplateMissing, {kTemplateName}));
    return ExitCode::kTemplateFailed;
  }
  if (!tmpl.ok()) {
    console(
        format_message(messages::kTemplateLineError, {kTemplateName, decimal_text(tmpl.piece)}));
    return ExitCode::kTemplateFailed;
  }

  const auto list = file_or_null(files.open(run.input_path));
  if (!list) {
    console(format_message(messages::kCannotOpenInput, {run.input_path}));
    return ExitCode::kCannotOpenInput;
  }
  console(format_message(messages::kReadingList, {run.input_path}));
  if (read_new_files(*list, run.tags, run.settings.excluded_areas, run.catalog) !=
      ListResult::kRead) {
    console(messages::kInputEmpty);
    return ExitCode::kInputFailed;
  }
  run.catalog.arrange();

  // What the run read, which no report may replace.
  std::vector<InputFile> inputs;
  const auto read = [&](const std::string& path, std::optional<FileId> id) {
    if (id) inputs.push_back({path, {Identity::Kind::kFile, *id, {}}});
  };
  read(run.config_path, config.identity);
  read(template_path, tmpl.identity);
  read(run.input_path, list->identity());
  const ReportResult reports = write_reports(
      run.catalog, run.settings, files, inputs, [&](ReportStep step, const std::string& name) {
        const std::string_view pattern = step == ReportStep::kWriting
                                             ? messages::kWritingReport.view()
                                             : messages::kNothingToWrite.view();
        console(format_message(pattern, {name}));
      });
  return report_failure(reports, console);
}

int program_main(int argc, const char* const* argv, Host& host) {
  const ConsoleOut console = [&host](std::string_view message) { host.console(message); };
  try {
    console(format_message(messages::kBanner,
                           {decimal_text(kVersionMajor), decimal_text(kVersionMinor)}));
    const Platform platform = host.platform();
    Run run;
    run.separator = platform.separator;
    run.settings.template_dir = platform.program_dir;
    run.config_path = join_path(platform.program_dir, kConfigName, run.separator);

    CommandLine command_line;
    if (parse_command_line(argc, argv, platform.option_introducers, command_line) != 0) {
      console(messages::kUsage);
      return static_cast<int>(ExitCode::kUsage);
    }
    run.catalog.default_group().report = command_line.output_path;
    run.input_path = command_line.input_path;
    return static_cast<int>(run_sequence(run, host.files(), console));
  } catch (const std::bad_alloc&) {
    console(messages::kOutOfMemory);
    return static_cast<int>(ExitCode::kOutOfMemory);
  }
}

}  // namespace movrek
