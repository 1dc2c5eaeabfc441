#include "driver/check_run.h"

#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check.h"
#include "driver/check_messages.h"
#include "driver/host.h"
#include "driver/messages.h"
#include "driver/paths.h"
#include "driver/run.h"
#include "text/char_class.h"
#include "text/format.h"
#include "version.h"

namespace movrek {

namespace {

namespace text = check_messages;
using check::Kind;

enum class CheckExit : int { kClean = 0, kFound = 1, kUsage = 2 };

// A list can give thousands of findings of one kind; the first are shown,
// the rest counted.
constexpr std::size_t kShownOfKind = 20;

struct CheckOptions {
  std::optional<std::string> config;
  bool strict = false;
  std::vector<std::string> paths;  // the list, then the main report
};

enum class Parsed { kRun, kHelp, kVersion, kInvalid };

// Reads `movrek32-check [-c FILE] [-s] [LIST [REPORT]]` with the long forms
// --config FILE (or --config=FILE), --strict, --help and --version; short
// options start with any of `introducers` and may be joined (-sc FILE).
// "--" ends the options. On kInvalid `complaint` says why.
Parsed parse_check_command_line(int argc, const char* const* argv, std::string_view introducers,
                                CheckOptions& out, std::string& complaint) {
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    // The value of -c or --config: the rest of the argument, or the next one.
    const auto take_config = [&](std::string_view rest) {
      if (rest.empty() && i + 1 < argc && argv[i + 1] != nullptr) rest = argv[++i];
      if (rest.empty()) {
        complaint = format_message(text::kMissingValue, {arg});
        return false;
      }
      out.config = std::string(rest);
      return true;
    };
    if (arg.empty()) continue;
    if (options && arg == "--") {
      options = false;
    } else if (options && arg.starts_with("--")) {
      const std::string_view name = arg.substr(2, arg.find('=') - 2);
      if (name == "config") {
        if (!take_config(arg.size() > 8 ? arg.substr(9) : std::string_view())) {
          return Parsed::kInvalid;
        }
      } else if (arg == "--strict") {
        out.strict = true;
      } else if (arg == "--help") {
        return Parsed::kHelp;
      } else if (arg == "--version") {
        return Parsed::kVersion;
      } else {
        complaint = format_message(text::kUnknownOption, {arg});
        return Parsed::kInvalid;
      }
    } else if (options && arg.size() > 1 && introducers.find(arg[0]) != std::string_view::npos) {
      for (std::size_t k = 1; k < arg.size(); ++k) {
        const unsigned char letter = fold_case(static_cast<unsigned char>(arg[k]));
        if (letter == 's') {
          out.strict = true;
        } else if (letter == 'h' || letter == '?') {
          return Parsed::kHelp;
        } else if (letter == 'c') {
          if (!take_config(arg.substr(k + 1))) return Parsed::kInvalid;
          break;
        } else {
          complaint = format_message(text::kUnknownOption, {arg});
          return Parsed::kInvalid;
        }
      }
    } else if (out.paths.size() < 2) {
      out.paths.emplace_back(arg);
    } else {
      complaint = format_message(text::kExtraArgument, {arg});
      return Parsed::kInvalid;
    }
  }
  return Parsed::kRun;
}

std::string_view pattern_of(Kind kind) {
  switch (kind) {
    case Kind::kConfigCannotOpen:
      return text::kConfigCannotOpen;
    case Kind::kUnknownKeyword:
      return text::kUnknownKeyword;
    case Kind::kUnknownKeywordLike:
      return text::kUnknownKeywordLike;
    case Kind::kGroupInGroup:
      return text::kGroupInGroup;
    case Kind::kEndGroupOutside:
      return text::kEndGroupOutside;
    case Kind::kNoDirectory:
      return text::kNoDirectory;
    case Kind::kDirectoryTooLong:
      return text::kDirectoryTooLong;
    case Kind::kNegativeWidth:
      return text::kNegativeWidth;
    case Kind::kConfigReadFailed:
      return text::kConfigReadFailed;
    case Kind::kGroupWithoutReport:
      return text::kGroupWithoutReport;
    case Kind::kTemplateMissing:
      return text::kTemplateMissing;
    case Kind::kTemplateNul:
      return text::kTemplateNul;
    case Kind::kTemplateReadFailed:
      return text::kTemplateReadFailed;
    case Kind::kTemplateEmpty:
      return text::kTemplateEmpty;
    case Kind::kTemplateWithoutArea:
      return text::kTemplateWithoutArea;
    case Kind::kTemplateWithoutFile:
      return text::kTemplateWithoutFile;
    case Kind::kListCannotOpen:
      return text::kListCannotOpen;
    case Kind::kListReadFailed:
      return text::kListReadFailed;
    case Kind::kListRefused:
      return text::kListRefused;
    case Kind::kConfigMissing:
      return text::kConfigMissing;
    case Kind::kReportOutsideGroup:
      return text::kReportOutsideGroup;
    case Kind::kGroupLeftOpen:
      return text::kGroupLeftOpen;
    case Kind::kAreaInTwoGroups:
      return text::kAreaInTwoGroups;
    case Kind::kAreaExcludedAndGrouped:
      return text::kAreaExcludedAndGrouped;
    case Kind::kSameReportFile:
      return text::kSameReportFile;
    case Kind::kSameAsMainReport:
      return text::kSameAsMainReport;
    case Kind::kReportIsList:
      return text::kReportIsList;
    case Kind::kMainReportIsList:
      return text::kMainReportIsList;
    case Kind::kHeaderNotFound:
      return text::kHeaderNotFound;
    case Kind::kFooterNotFound:
      return text::kFooterNotFound;
    case Kind::kWidthNoRoom:
      return text::kWidthNoRoom;
    case Kind::kWidthNoRoomWithSize:
      return text::kWidthNoRoomWithSize;
    case Kind::kWidthNotNumber:
      return text::kWidthNotNumber;
    case Kind::kConfigBom:
      return text::kConfigBom;
    case Kind::kUtf8Nodesc:
      return text::kUtf8Nodesc;
    case Kind::kUtf8Header:
      return text::kUtf8Header;
    case Kind::kUtf8Footer:
      return text::kUtf8Footer;
    case Kind::kUtf8List:
      return text::kUtf8List;
    case Kind::kLongFileName:
      return text::kLongFileName;
    case Kind::kSizeNotDecimal:
      return text::kSizeNotDecimal;
    case Kind::kSizesEmpty:
      return text::kSizesEmpty;
    case Kind::kSizeTooLong:
      return text::kSizeTooLong;
    case Kind::kTotalWraps:
      return text::kTotalWraps;
    case Kind::kDuplicateFile:
      return text::kDuplicateFile;
    case Kind::kRecordsLost:
      return text::kRecordsLost;
  }
  return {};
}

// "3 файла": a count with its noun in the matching form.
std::string counted(unsigned long long n, const text::Noun& noun) {
  const unsigned long long tens = n % 100, units = n % 10;
  const std::string_view word = units == 1 && tens != 11                               ? noun.one
                                : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? noun.few
                                                                                       : noun.many;
  std::string out = std::to_string(n);
  out += ' ';
  out += word;
  return out;
}

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
  if (missing) return format_message(text::kFileNotFound, {*name, *missing});
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

void print_summary(const check::Summary& summary, const ConsoleOut& console) {
  for (const check::ReportPlan& plan : summary.reports) {
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
      for (const check::AreaTotal& area : plan.areas) {
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
    out += format_message(text::kFrame, {frame_file(plan.header, plan.header_missing),
                                         frame_file(plan.footer, plan.footer_missing)});
    console(out);
  }
  if (!summary.excluded.empty()) {
    std::vector<std::string> names;
    for (const check::AreaTotal& area : summary.excluded) {
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
    CheckOptions options;
    std::string complaint;
    switch (parse_check_command_line(argc, argv, platform.option_introducers, options, complaint)) {
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

    check::Request request;
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
    request.windows_names = platform.separator == '\\';
    request.current_dir = host.current_directory();

    const check::Result result = check::run_checks(request, host.files());
    long long errors = 0, warnings = 0;
    const auto& findings = result.findings;
    std::size_t same_kind = 0;  // the findings before this one of its kind, file and no line
    for (std::size_t i = 0; i < findings.size(); ++i) {
      const check::Finding& finding = findings[i];
      const bool error = finding.severity == check::Severity::kError;
      (error ? errors : warnings) += 1;
      std::string line = finding.file;
      if (finding.line > 0) {
        line += ':';
        line += decimal_text(finding.line);
      }
      line += error ? text::kErrorTag.view() : text::kWarningTag.view();
      const bool last = i + 1 == findings.size() || finding.line != 0 ||
                        findings[i + 1].kind != finding.kind ||
                        findings[i + 1].file != finding.file;
      if (same_kind < kShownOfKind) {
        console(line + format_message(pattern_of(finding.kind), finding.args));
      } else if (last) {
        const std::size_t more = same_kind + 1 - kShownOfKind;
        console(line + format_message(text::kMoreOfKind, {counted(more, text::kWarnings)}));
      }
      same_kind = last ? 0 : same_kind + 1;
    }
    print_summary(result.summary, console);
    console(format_message(text::kTally, {decimal_text(errors), decimal_text(warnings)}));
    const bool failed = errors > 0 || (options.strict && warnings > 0);
    return static_cast<int>(failed ? CheckExit::kFound : CheckExit::kClean);
  } catch (const std::bad_alloc&) {
    console(messages::kOutOfMemory);
    return static_cast<int>(CheckExit::kFound);
  }
}

}  // namespace movrek
