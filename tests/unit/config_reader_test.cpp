#include "config/config_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"

namespace movrek {
namespace {

using namespace std::string_literals;

constexpr const char* kProgramDir = "/opt/movrek/";
constexpr const char* kOutputPath = "out.txt";

// What a reading leaves behind, in a form that compares as a whole, so every
// test also checks that nothing else changed.
struct GroupView {
  std::optional<std::string> report;
  std::optional<std::string> header = "header.txt";
  std::optional<std::string> footer = "footer.txt";
  std::vector<std::string> areas;
  bool operator==(const GroupView&) const = default;
};

struct Outcome {
  int result = 0;
  std::int32_t width = 79;
  std::string no_description = "No description found";
  std::string template_dir = kProgramDir;
  std::vector<std::string> excluded;  // in list order
  GroupView main{kOutputPath, "header.txt", "footer.txt", {}};
  std::vector<GroupView> groups;  // the configured groups in chain order
  bool operator==(const Outcome&) const = default;
};

void print_text(const std::optional<std::string>& t, std::ostream* os) {
  if (t) {
    *os << '"' << *t << '"';
  } else {
    *os << "none";
  }
}

void PrintTo(const GroupView& g, std::ostream* os) {
  *os << "{report ";
  print_text(g.report, os);
  *os << ", header ";
  print_text(g.header, os);
  *os << ", footer ";
  print_text(g.footer, os);
  *os << ", areas";
  for (const auto& a : g.areas)
    *os << " [" << a << ']';
  *os << '}';
}

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "\n  result " << o.result << ", width " << o.width << "\n  nodesc \"" << o.no_description
      << "\"\n  dir \"" << o.template_dir << "\"\n  excluded";
  for (const auto& e : o.excluded)
    *os << " [" << e << ']';
  *os << "\n  default ";
  PrintTo(o.main, os);
  for (const auto& g : o.groups) {
    *os << "\n  group ";
    PrintTo(g, os);
  }
}

GroupView view_of(const Group& g) {
  GroupView v{g.report, g.header, g.footer, {}};
  g.for_each_area([&](const Area& a) { v.areas.emplace_back(a.name()); });
  return v;
}

struct Loaded {
  Settings settings;
  Catalog catalog;
  Loaded() {
    settings.template_dir = kProgramDir;
    catalog.default_group().report = kOutputPath;
  }
  Outcome outcome(int result) const {
    Outcome o;
    o.result = result;
    o.width = settings.report_width;
    o.no_description = settings.no_description;
    o.template_dir = settings.template_dir;
    o.excluded = settings.excluded_areas.names();
    const auto& chain = catalog.groups();
    o.main = view_of(*chain.front());
    for (std::size_t i = 1; i < chain.size(); ++i)
      o.groups.push_back(view_of(*chain[i]));
    return o;
  }
};

Outcome read(std::string_view text, char separator = '\\', std::size_t chunk = SIZE_MAX,
             std::size_t fail_at = SIZE_MAX) {
  Loaded run;
  MemorySource source(text, chunk, fail_at);
  return run.outcome(read_config(source, separator, run.settings, run.catalog));
}

// A configured group as GROUP creates it.
GroupView group(std::optional<std::string> report, std::vector<std::string> areas) {
  GroupView g;
  g.report = std::move(report);
  g.areas = std::move(areas);
  return g;
}

// A comment line of `n` bytes without its line feed.
std::string comment(std::size_t n) {
  return ";" + std::string(n - 1, '-');
}

const std::string k260(260, 'h');
const std::string k32(32, 'A');

struct Case {
  const char* name;
  std::string input;
  int result;
  // How the outcome differs from the defaults; empty when nothing changes.
  std::function<void(Outcome&)> change;
  char separator = '\\';
};

const Case kCases[] = {
    // Line syntax.
    {"EmptyFile", "", 0, {}},
    {"CommentsAndBlankLines", "; note\n\n  \t\n42 HEADER x\n_HEADER y\n\x80HEADER z\n", 0, {}},
    {"KeywordAnyCase", "header a\nFooter b\n", 0,
     [](Outcome& o) {
       o.main.header = "a";
       o.main.footer = "b";
     }},
    {"LeadingWhitespace", " \t\x0B\fHEADER\ta\n", 0, [](Outcome& o) { o.main.header = "a"; }},
    {"UnknownWordCountsEveryLineAbove", "\n; c\n  \n9\nNote this\nHEADER x\n", 5, {}},
    {"KeywordGluedToArgument", "HEADER=x\n", 1, {}},
    {"KeywordPrefixIsNoKeyword", "HEAD x\n", 1, {}},
    {"HeaderAloneGivesNone", "HEADER\n", 0, [](Outcome& o) { o.main.header.reset(); }},
    {"FooterWithSpacesOnlyGivesNone", "FOOTER   \n", 0, [](Outcome& o) { o.main.footer.reset(); }},
    {"HeaderTakesOneWord", "HEADER a b c\n", 0, [](Outcome& o) { o.main.header = "a"; }},
    {"LaterHeaderReplaces", "HEADER a\nHEADER b\n", 0, [](Outcome& o) { o.main.header = "b"; }},
    {"LongHeaderCutAt260RestIgnored", "HEADER " + k260 + "tail more\nFOOTER f\n", 0,
     [](Outcome& o) {
       o.main.header = k260;
       o.main.footer = "f";
     }},

    // Lines longer than one 1023-byte piece.
    {"LongCommentContinuesAsKeywordLine", comment(1023) + "Note\n", 2, {}},
    {"LongCommentContinuationCarriesKeyword", comment(1023) + "HEADER h\n", 0,
     [](Outcome& o) { o.main.header = "h"; }},
    {"LongCommentContinuationIsComment", comment(1023) + " 7 x\nNote\n", 3, {}},
    {"CommentFillingOnePiece", comment(1022) + "\nNote\n", 2, {}},
    {"CommentOneByteTooLong", comment(1023) + "\nNote\n", 3, {}},
    {"CommentOfThreePieces", comment(3000) + "\nNote\n", 4, {}},

    // REPORT and groups.
    {"ReportOutsideGroupPassedOver", "REPORT r\nREPORT\n", 0, {}},
    {"GroupWithReport", "GROUP A\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) { o.groups = {group("r", {"A"})}; }},
    {"GroupWithoutReport", "GROUP A\nENDGROUP\n", 0,
     [](Outcome& o) { o.groups = {group(std::nullopt, {"A"})}; }},
    {"ReportAloneClearsReport", "GROUP A\nREPORT r\nREPORT\nENDGROUP\n", 0,
     [](Outcome& o) { o.groups = {group(std::nullopt, {"A"})}; }},
    {"LongReportCutAt260", "GROUP A\nREPORT " + k260 + "x\nENDGROUP\n", 0,
     [](Outcome& o) { o.groups = {group(k260, {"A"})}; }},
    {"GroupWithoutAreas", "GROUP\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) { o.groups = {group("r", {})}; }},
    {"GroupAreasSortedFirstNameKept", "GROUP b A a B X x\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) {
       o.groups = {group("r", {"A", "b", "X"})};
     }},
    {"GroupLongNameSplit", "GROUP " + k32 + "BBBBBBBB\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) {
       o.groups = {group("r", {k32, "BBBBBBBB"})};
     }},
    {"GroupsInFileOrder", "GROUP Z\nREPORT z\nENDGROUP\nGROUP A\nREPORT a\nENDGROUP junk\n", 0,
     [](Outcome& o) {
       o.groups = {group("z", {"Z"}), group("a", {"A"})};
     }},
    {"HeaderAfterEndgroupGoesToClosedGroup",
     "HEADER d\nGROUP A\nREPORT r\nENDGROUP\nHEADER h\nFOOTER\n", 0,
     [](Outcome& o) {
       o.main.header = "d";
       GroupView g = group("r", {"A"});
       g.header = "h";
       g.footer.reset();
       o.groups = {g};
     }},
    {"HeaderBeforeFirstGroupOnlyForDefault",
     "HEADER d\nFOOTER e\nGROUP A\nREPORT r\nENDGROUP\nGROUP B\nREPORT s\nENDGROUP\n", 0,
     [](Outcome& o) {
       o.main.header = "d";
       o.main.footer = "e";
       o.groups = {group("r", {"A"}), group("s", {"B"})};
     }},
    {"HeaderInsideGroupLeavesDefault", "GROUP A\nHEADER h\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) {
       GroupView g = group("r", {"A"});
       g.header = "h";
       o.groups = {g};
     }},
    {"GroupOpenAtEndOfFile", "GROUP A\nREPORT r\nHEADER h\n", 0, {}},
    {"GroupOpenAtLineInError", "GROUP A\nREPORT r\nBOGUS\n", 3, {}},
    {"SecondGroupInErrorFirstDropped", "GROUP A\nREPORT r\nGROUP B\nENDGROUP\n", 3, {}},
    {"EndgroupAlone", "ENDGROUP\n", 1, {}},
    {"EndgroupTwice", "GROUP A\nREPORT r\nENDGROUP\nENDGROUP\n", 4,
     [](Outcome& o) { o.groups = {group("r", {"A"})}; }},
    {"ClosedGroupSurvivesLaterError", "GROUP A\nREPORT r\nENDGROUP\nGROUP B\nREPORT s\nBOGUS\n", 6,
     [](Outcome& o) { o.groups = {group("r", {"A"})}; }},

    // EXCLUDEAREAS.
    {"ExcludeAreasNewestFirst", "EXCLUDEAREAS A B\nEXCLUDEAREAS C\n", 0,
     [](Outcome& o) {
       o.excluded = {"C", "B", "A"};
     }},
    {"ExcludeAreasKeepsDuplicates", "EXCLUDEAREAS a A\nEXCLUDEAREAS a\n", 0,
     [](Outcome& o) {
       o.excluded = {"a", "A", "a"};
     }},
    {"ExcludeAreasLongNameSplit", "EXCLUDEAREAS " + k32 + "BBBBBBBB\n", 0,
     [](Outcome& o) {
       o.excluded = {"BBBBBBBB", k32};
     }},
    {"ExcludeAreasWithoutNames", "EXCLUDEAREAS\n", 0, {}},
    {"ExcludeAreasInsideGroup", "GROUP A\nEXCLUDEAREAS P\nREPORT r\nENDGROUP\n", 0,
     [](Outcome& o) {
       o.excluded = {"P"};
       o.groups = {group("r", {"A"})};
     }},

    // NODESC.
    {"NodescText", "NODESC (no description)\n", 0,
     [](Outcome& o) { o.no_description = "(no description)"; }},
    {"NodescKeepsInnerAndTrailingSpaces", "NODESC \t two  words \t \n", 0,
     [](Outcome& o) { o.no_description = "two  words \t "; }},
    {"NodescOnlySpacesGivesEmpty", "NODESC    \n", 0, [](Outcome& o) { o.no_description = ""; }},
    {"NodescAloneGivesEmpty", "NODESC\n", 0, [](Outcome& o) { o.no_description = ""; }},
    {"NodescLastLineKeepsLastByte", "NODESC none", 0,
     [](Outcome& o) { o.no_description = "none"; }},
    {"NodescCutAtNulKeepsEveryByte", "NODESC ab\0cd\n"s, 0,
     [](Outcome& o) { o.no_description = "ab"; }},
    {"NodescCrLf", "NODESC ab \r\n", 0, [](Outcome& o) { o.no_description = "ab "; }},
    {"NodescReplaced", "NODESC x\nNODESC y\n", 0, [](Outcome& o) { o.no_description = "y"; }},

    // REPORTWIDTH.
    {"WidthNoDigits", "REPORTWIDTH abc\n", 0, [](Outcome& o) { o.width = 0; }},
    {"WidthDigitsThenText", "REPORTWIDTH 100x\n", 0, [](Outcome& o) { o.width = 100; }},
    {"WidthMissing", "REPORTWIDTH\n", 0, [](Outcome& o) { o.width = 0; }},
    {"WidthPlusSign", "REPORTWIDTH +7\n", 0, [](Outcome& o) { o.width = 7; }},
    {"WidthSpacesAround", "REPORTWIDTH \t 42  \n", 0, [](Outcome& o) { o.width = 42; }},
    {"WidthSmallStored", "REPORTWIDTH 3\n", 0, [](Outcome& o) { o.width = 3; }},
    {"WidthMinusZero", "REPORTWIDTH -0\n", 0, [](Outcome& o) { o.width = 0; }},
    {"WidthNegativeInError", "REPORTWIDTH -5\n", 1, {}},
    {"WidthNegativeKeepsEarlier", "REPORTWIDTH 50\nREPORTWIDTH -5\nREPORTWIDTH 60\n", 2,
     [](Outcome& o) { o.width = 50; }},
    {"WidthWrappingNegativeInError", "REPORTWIDTH 4294967295\n", 1, {}},

    // DRUVODIR.
    {"DirBackslashAppended", "DRUVODIR d:\\inbound\n", 0,
     [](Outcome& o) { o.template_dir = "d:\\inbound\\"; }},
    {"DirSlashAppended", "DRUVODIR /srv/in\n", 0, [](Outcome& o) { o.template_dir = "/srv/in/"; },
     '/'},
    {"DirFinalBackslashKept", "DRUVODIR d:\\inbound\\\n", 0,
     [](Outcome& o) { o.template_dir = "d:\\inbound\\"; }},
    {"DirFinalSlashKept", "DRUVODIR d:/inbound/\n", 0,
     [](Outcome& o) { o.template_dir = "d:/inbound/"; }},
    {"DirFinalBackslashKeptWithSlashHost", "DRUVODIR in\\\n", 0,
     [](Outcome& o) { o.template_dir = "in\\"; }, '/'},
    {"DirTakesOneWord", "DRUVODIR a b\n", 0, [](Outcome& o) { o.template_dir = "a\\"; }},
    {"DirLaterReplaces", "DRUVODIR a\nDRUVODIR b/\n", 0, [](Outcome& o) { o.template_dir = "b/"; }},
    {"DirAloneInError", "DRUVODIR\n", 1, {}},
    {"DirSpacesOnlyInError", "DRUVODIR /a/\nDRUVODIR   \n", 2,
     [](Outcome& o) { o.template_dir = "/a/"; }},
    {"Dir258Fits", "DRUVODIR " + std::string(258, 'd') + "\n", 0,
     [](Outcome& o) { o.template_dir = std::string(258, 'd') + "\\"; }},
    {"Dir259WithSeparatorFits", "DRUVODIR " + std::string(258, 'd') + "/\n", 0,
     [](Outcome& o) { o.template_dir = std::string(258, 'd') + "/"; }},
    {"Dir259WithoutSeparatorInError", "DRUVODIR " + std::string(259, 'd') + "\n", 1, {}},
    {"Dir260WithSeparatorInError", "DRUVODIR " + std::string(259, 'd') + "/\n", 1, {}},
    {"Dir260WithoutSeparatorInError", "DRUVODIR " + std::string(260, 'd') + "\n", 1, {}},
    {"Dir300InError", "DRUVODIR " + std::string(299, 'd') + "/\n", 1, {}},

    // Text mode and odd bytes.
    {"CrLfLines", "HEADER a\r\nFOOTER b\r\n", 0,
     [](Outcome& o) {
       o.main.header = "a";
       o.main.footer = "b";
     }},
    {"LoneCrDropped", "HEADER a\rb\n", 0, [](Outcome& o) { o.main.header = "ab"; }},
    {"EndOfFileByteStopsReading", "HEADER a\r\n\x1ANote\n", 0,
     [](Outcome& o) { o.main.header = "a"; }},
    {"EndOfFileByteInsideLine", "HEADER a\x1A b\nNote\n", 0,
     [](Outcome& o) { o.main.header = "a"; }},
    {"LastLineWithoutLineFeedActedOn", "HEADER a\nFOOTER b", 0,
     [](Outcome& o) {
       o.main.header = "a";
       o.main.footer = "b";
     }},
    {"LastLineWithoutLineFeedInError", "HEADER a\nNote", 2,
     [](Outcome& o) { o.main.header = "a"; }},
    {"NulEndsLine", "HEADER a\0b c\nFOOTER\0 f\n"s, 0,
     [](Outcome& o) {
       o.main.header = "a";
       o.main.footer.reset();
     }},
    {"NulFirstIsComment", "\0Note\n"s, 0, {}},

    // A line in error stops the reading; what came before stays.
    {"EarlierLinesStayAfterError",
     "REPORTWIDTH 40\nNODESC nd\nEXCLUDEAREAS P\nDRUVODIR /x/\nHEADER h\n"
     "GROUP A\nREPORT r\nENDGROUP\nGROUP B\nREPORT s\nBOGUS\nREPORTWIDTH 10\nNODESC later\n",
     11,
     [](Outcome& o) {
       o.width = 40;
       o.no_description = "nd";
       o.excluded = {"P"};
       o.template_dir = "/x/";
       o.main.header = "h";
       o.groups = {group("r", {"A"})};
     }},
    {"ExampleFile",
     "; announcements\nEXCLUDEAREAS PRIVATE TEST\nNODESC (no description)\nREPORTWIDTH 79\n"
     "HEADER main.hdr\nGROUP AREA1 AREA2\nREPORT group1.txt\nFOOTER group1.ftr\nENDGROUP\n",
     0,
     [](Outcome& o) {
       o.excluded = {"TEST", "PRIVATE"};
       o.no_description = "(no description)";
       o.main.header = "main.hdr";
       GroupView g = group("group1.txt", {"AREA1", "AREA2"});
       g.footer = "group1.ftr";
       o.groups = {g};
     }},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class ConfigLinesTest : public testing::TestWithParam<Case> {};

TEST_P(ConfigLinesTest, GivesExpectedOutcome) {
  const Case& c = GetParam();
  Outcome want;
  want.result = c.result;
  if (c.change) c.change(want);
  // Reads returning 1 and 7 bytes put the block ends everywhere.
  for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}, std::size_t{7}}) {
    SCOPED_TRACE("chunk " + std::to_string(chunk));
    EXPECT_EQ(read(c.input, c.separator, chunk), want);
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, ConfigLinesTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(FindKeywordTest, TableOrderAndWholeWords) {
  EXPECT_EQ(find_keyword("HEADER"), static_cast<int>(Keyword::kHeader));
  EXPECT_EQ(find_keyword("reportwidth"), static_cast<int>(Keyword::kReportWidth));
  EXPECT_EQ(find_keyword("Report"), static_cast<int>(Keyword::kReport));
  EXPECT_EQ(find_keyword("EndGroup"), static_cast<int>(Keyword::kEndGroup));
  EXPECT_EQ(find_keyword("REPORTW"), -1);
  EXPECT_EQ(find_keyword("GROUPS"), -1);
  EXPECT_EQ(find_keyword(""), -1);
}

// A read that fails before the end of the file ends the reading as an error at
// the line being read; that line changes nothing.
TEST(ConfigReadErrorTest, GivesTheLineBeingRead) {
  const std::string text = "HEADER a\nREPORTWIDTH 100\nFOOTER b\nNODESC n\n";
  struct FailCase {
    std::size_t fail_at;
    int result;
    std::optional<std::string> header;
  };
  const FailCase cases[] = {
      {0, 1, "header.txt"},  // the very first read fails
      {4, 1, "header.txt"},  // inside line 1
      {9, 2, "a"},           // just after line 1
      {22, 2, "a"},          // "REPORTWIDTH 1" of line 2 read, then the failure
      {34, 4, "a"},          // just after line 3
  };
  for (const FailCase& f : cases) {
    for (const std::size_t chunk : {SIZE_MAX, std::size_t{1}}) {
      SCOPED_TRACE("fail_at " + std::to_string(f.fail_at) + " chunk " + std::to_string(chunk));
      Outcome want;
      want.result = f.result;
      want.main.header = f.header;
      if (f.fail_at == 34) {
        want.width = 100;
        want.main.footer = "b";
      }
      EXPECT_EQ(read(text, '\\', chunk, f.fail_at), want);
    }
  }
}

class ConfigFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(testing::TempDir()) /
           ("config_reader_test_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
};

TEST_F(ConfigFileTest, ReadsFileInTextMode) {
  const auto path = dir_ / "movrek.cfg";
  std::ofstream(path, std::ios::binary) << "REPORTWIDTH 50\r\nHEADER h\r\n\x1A"
                                        << "Note\r\n";
  Loaded run;
  EXPECT_EQ(read_config(path.string(), '/', run.settings, run.catalog), 0);
  Outcome want;
  want.width = 50;
  want.main.header = "h";
  EXPECT_EQ(run.outcome(0), want);
}

TEST_F(ConfigFileTest, MissingPathOrDirectoryChangesNothing) {
  for (const auto& path : {dir_ / "missing.cfg", dir_}) {
    SCOPED_TRACE(path.string());
    Loaded run;
    const int result = read_config(path.string(), '/', run.settings, run.catalog);
    EXPECT_EQ(result, -1);
    Outcome want;
    want.result = -1;
    EXPECT_EQ(run.outcome(result), want);
  }
}

}  // namespace
}  // namespace movrek
