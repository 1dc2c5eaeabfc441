#include "check/findings.h"

#include <map>
#include <utility>

#include "check/messages.h"
#include "text/cp866.h"
#include "text/format.h"

namespace movrek::check {

namespace {

#define MOVREK_FINDING_TEXT(name, level, text) constexpr auto k##name##Text = cp866(text);
MOVREK_FINDINGS(MOVREK_FINDING_TEXT)
#undef MOVREK_FINDING_TEXT

struct FindingType {
  Level level;
  std::string_view text;
};

constexpr FindingType kTypes[] = {
#define MOVREK_FINDING_TYPE(name, level, text) {Level::level, k##name##Text},
    MOVREK_FINDINGS(MOVREK_FINDING_TYPE)
#undef MOVREK_FINDING_TYPE
};

const FindingType& type_of(Kind kind) {
  return kTypes[static_cast<std::size_t>(kind)];
}

}  // namespace

Level level_of(Kind kind) {
  return type_of(kind).level;
}

std::string_view pattern_of(Kind kind) {
  return type_of(kind).text;
}

std::size_t arguments_of(Kind kind) {
  const std::string_view text = pattern_of(kind);
  std::size_t count = 0;
  for (std::size_t at = text.find("%s"); at != std::string_view::npos; at = text.find("%s", at + 2))
    ++count;
  return count;
}

Tally print_findings(const std::vector<Finding>& findings, const ConsoleOut& console) {
  Tally tally;
  // How many of each kind and file there are, and how many are printed.
  std::map<std::pair<Kind, std::string_view>, std::pair<std::size_t, std::size_t>> of_kind;
  for (const Finding& finding : findings)
    ++of_kind[{finding.kind, finding.file}].first;
  for (const Finding& finding : findings) {
    switch (finding.level()) {
      case Level::kError:
        ++tally.errors;
        break;
      case Level::kWarning:
        ++tally.warnings;
        break;
      case Level::kNote:
        ++tally.notes;
        break;
    }
    auto& [total, printed] = of_kind[{finding.kind, finding.file}];
    if (printed > kShownOfKind) continue;
    std::string line = finding.file;
    if (finding.line > 0) {
      line += ':';
      line += decimal_text(finding.line);
    }
    line += finding.level() == Level::kError     ? messages::kErrorTag.view()
            : finding.level() == Level::kWarning ? messages::kWarningTag.view()
                                                 : messages::kNoteTag.view();
    if (printed < kShownOfKind) {
      console(line + format_message(pattern_of(finding.kind), finding.args));
    } else {
      console(line +
              format_message(messages::kMoreOfKind,
                             {messages::counted(total - kShownOfKind, messages::kFindings)}));
    }
    ++printed;
  }
  return tally;
}

}  // namespace movrek::check
