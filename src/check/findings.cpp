#include "check/findings.h"

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

Tally print_findings(const std::vector<Finding>& findings, const ConsoleOut& console) {
  Tally tally;
  std::size_t same_kind = 0;  // the findings before this one of its kind, file and no line
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& finding = findings[i];
    const bool error = finding.level() == Level::kError;
    (error ? tally.errors : tally.warnings) += 1;
    std::string line = finding.file;
    if (finding.line > 0) {
      line += ':';
      line += decimal_text(finding.line);
    }
    line += error ? messages::kErrorTag.view() : messages::kWarningTag.view();
    const bool last = i + 1 == findings.size() || finding.line != 0 ||
                      findings[i + 1].kind != finding.kind || findings[i + 1].file != finding.file;
    if (same_kind < kShownOfKind) {
      console(line + format_message(pattern_of(finding.kind), finding.args));
    } else if (last) {
      const std::size_t more = same_kind + 1 - kShownOfKind;
      console(line + format_message(messages::kMoreOfKind,
                                    {messages::counted(more, messages::kWarnings)}));
    }
    same_kind = last ? 0 : same_kind + 1;
  }
  return tally;
}

}  // namespace movrek::check
