#include "check/check_program.h"

#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/checker.h"
#include "check/findings.h"
#include "check/messages.h"
#include "check/options.h"
#include "driver/host.h"
#include "driver/messages.h"
#include "driver/run.h"
#include "text/format.h"
#include "text/paths.h"
#include "version.h"

namespace movrek::check {

namespace {

namespace text = messages;
using messages::counted;

enum class CheckExit : int { kClean = 0, kFound = 1, kUsage = 2 };

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += ", ";
    out += name;
  }
  return out;
}

// A header or footer as the summary shows it.
std::string frame_file(const std::optional<std::string>& name,
                       const std::optional<std::string>& missing) {
  if (!name) return std::string(text::kNoFile.view());
  if (missing) return format_message(text::kFileLeftOut, {*name, *missing});
  return *name;
}

std::string tags_text(std::string_view tags) {
  if (tags.empty()) return std::string(text::kNoTags.view());
  std::string out;
  for (const char tag : tags) {
    if (!out.empty()) out += ' ';
    out += tag > ' ' && tag < 0x7F ? tag : '?';
  }
  return out;
}

void print_summary(const Summary& summary, const ConsoleOut& console) {
  for (const ReportPlan& plan : summary.reports) {
    const std::string group = decimal_text(plan.group);
    const std::string line = decimal_text(plan.line);
    std::string out;
    if (plan.group == 0) {
      out = plan.report ? format_message(text::kMainReport, {*plan.report})
                        : std::string(text::kMainReportUnnamed.view());
    } else if (plan.report) {
      out = format_message(text::kGroupReport, {*plan.report, group, line});
    } else {
      out = format_message(text::kGroupWithoutReportName, {group, line});
    }
    if (summary.list_read && plan.files == 0) {
      out += text::kNothingToWrite;
    } else if (summary.list_read) {
      out += format_message(text::kTotals,
                            {counted(plan.areas.size(), text::kAreas),
                             counted(plan.files, text::kFiles), counted(plan.bytes, text::kBytes)});
      for (const AreaTotal& area : plan.areas) {
        out += format_message(text::kAreaTotals, {area.name, counted(area.files, text::kFiles),
                                                  counted(area.bytes, text::kBytes)});
      }
    } else if (plan.group == 0) {
      out += text::kOtherAreas;
    } else if (plan.named_areas.empty()) {
      out += text::kNoAreas;
    } else {
      out += format_message(text::kNamedAreas, {joined(plan.named_areas)});
    }
    out += format_message(text::kFrame, {frame_file(plan.header, plan.header_problem),
                                         frame_file(plan.footer, plan.footer_problem)});
    console(out);
  }
  if (!summary.excluded.empty()) {
    std::vector<std::string> names;
    for (const AreaTotal& area : summary.excluded) {
      names.push_back(
          summary.list_read
              ? format_message(text::kExcludedArea, {area.name, counted(area.files, text::kFiles),
                                                     counted(area.bytes, text::kBytes)})
              : area.name);
    }
    console(format_message(text::kExcluded, {joined(names)}));
  }
  console(format_message(text::kSettings, {decimal_text(summary.width), summary.no_description}));
  console(
      format_message(text::kTemplate, {summary.template_path, tags_text(summary.template_tags)}));
}

}  // namespace

int check_main(int argc, const char* const* argv, Host& host) {
  const ConsoleOut console = [&host](std::string_view message) { host.console(message); };
  try {
    const Platform platform = host.platform();
    Options options;
    std::string complaint;
    switch (parse_options(argc, argv, platform.option_introducers, options, complaint)) {
      case Parsed::kHelp:
        console(text::kUsage);
        return static_cast<int>(CheckExit::kClean);
      case Parsed::kVersion:
        console(format_message(text::kVersion, {kVersionString}));
        return static_cast<int>(CheckExit::kClean);
      case Parsed::kInvalid:
        console(complaint);
        console(text::kUsage);
        return static_cast<int>(CheckExit::kUsage);
      case Parsed::kRun:
        break;
    }

    Request request;
    request.config_named = options.config.has_value();
    request.config_path =
        options.config.value_or(join_path(platform.program_dir, kConfigName, platform.separator));
    // A configuration named on the command line stands for a program
    // directory of its own.
    request.template_dir = options.config ? directory_of(*options.config) : platform.program_dir;
    request.template_name = kTemplateName;
    if (!options.paths.empty()) request.list_path = options.paths[0];
    if (options.paths.size() > 1) request.report_path = options.paths[1];
    request.separator = platform.separator;
    request.windows_names = platform.windows_names;
    request.current_dir = host.current_directory();

    const Result result = run_checks(request, host.files());
    const Tally tally = print_findings(result.findings, console);
    print_summary(result.summary, console);
    if (result.summary.exit_code) {
      console(format_message(text::kExitCode, {decimal_text(*result.summary.exit_code)}));
    }
    console(format_message(text::kTally, {decimal_text(tally.errors), decimal_text(tally.warnings),
                                          decimal_text(tally.notes)}));
    const bool failed = tally.errors > 0 || (options.strict && tally.warnings > 0);
    return static_cast<int>(failed ? CheckExit::kFound : CheckExit::kClean);
  } catch (const std::bad_alloc&) {
    console(movrek::messages::kOutOfMemory);
    return static_cast<int>(CheckExit::kFound);
  }
}

}  // namespace movrek::check
