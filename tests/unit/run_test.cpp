// Whole runs of the programs on memory files: the tables of runs.cases and
// checks.cases, one test per case, every file call of two runs failing in
// turn, and movrek32-check's summary against the reports movrek32 writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "check/check.h"
#include "driver/check_run.h"
#include "driver/messages.h"
#include "fixture.h"
#include "memory_files.h"
#include "text/format.h"
#include "version.h"

namespace movrek {
namespace {

using testing::FixtureCase;
using testing::MemoryFiles;
using testing::MemoryHost;

// The cases of a table, each completed with the sections of the case
// "defaults" that it neither has nor names in a "without" section.
std::vector<FixtureCase> run_cases(const char* table = "runs.cases") {
  std::vector<FixtureCase> cases = testing::load_fixture(table);
  const FixtureCase defaults = cases.front();
  cases.erase(cases.begin());
  for (FixtureCase& c : cases) {
    for (const auto& [name, text] : defaults.raw) {
      if (!c.has("without " + name.substr(name.find(' ') + 1))) c.raw.emplace(name, text);
    }
  }
  return cases;
}

const FixtureCase& run_case(const std::string& name) {
  static const std::vector<FixtureCase> cases = [] {
    std::vector<FixtureCase> all = run_cases();
    for (FixtureCase& c : run_cases("checks.cases"))
      all.push_back(std::move(c));
    return all;
  }();
  return *std::find_if(cases.begin(), cases.end(), [&](auto& c) { return c.name == name; });
}

struct Outcome {
  int exit = 0;
  std::string console;  // after the banner
  std::map<std::string, std::string> files;
  std::set<std::string> created;
  long calls = 0;
  std::string failed;
};

// Runs a case: "file NAME" sections are files, "dir NAME" directories,
// "args" the arguments (one a line), "windows" makes the host a Windows one,
// "fail" names the call to fail ("N io" or "N memory"), "check" runs
// movrek32-check instead of movrek32. `replace` gives files other bytes, or
// none.
using Replacements = std::map<std::string, std::optional<std::string>>;
Outcome run(const FixtureCase& c, std::size_t chunk = SIZE_MAX, const Replacements& replace = {}) {
  MemoryHost host;
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("file ")) host.memory.files[name.substr(5)] = c.file(name);
    if (name.starts_with("dir ")) host.memory.directories.insert(name.substr(4));
  }
  for (const auto& [name, bytes] : replace) {
    if (bytes) host.memory.files[name] = *bytes;
    if (!bytes) host.memory.files.erase(name);
  }
  if (c.has("windows")) {
    host.system = {"C:\\prog\\", '\\', "-/"};
    host.current_dir = "C:\\work\\";
  }
  if (c.has("fail")) {
    host.memory.fail_at = std::stol(c.text("fail"));
    if (c.text("fail").find("memory") != std::string::npos)
      host.memory.fault = MemoryFiles::Fault::kNoMemory;
  }
  host.memory.chunk = chunk;
  Outcome out;
  out.exit =
      host.run(testing::split(c.text("args"), '\n'), c.has("check") ? check_main : program_main);
  const std::string banner =
      c.has("check") ? std::string()
                     : format_message(messages::kBanner,
                                      {decimal_text(kVersionMajor), decimal_text(kVersionMinor)});
  EXPECT_TRUE(host.console_bytes.starts_with(banner)) << c.where();
  out.console = host.console_bytes.substr(std::min(banner.size(), host.console_bytes.size()));
  out.files = std::move(host.memory.files);
  out.created = std::move(host.memory.created);
  out.calls = host.memory.calls();
  out.failed = host.memory.failed();
  return out;
}

// Every file after the run of `c`: its files, and its "out NAME" sections
// over them.
std::map<std::string, std::string> files_after(const FixtureCase& c) {
  std::map<std::string, std::string> files;
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("file ")) files[name.substr(5)] = c.file(name);
  }
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("out ")) files[name.substr(4)] = c.file(name);
  }
  return files;
}

void expect_same_files(const std::map<std::string, std::string>& actual,
                       const std::map<std::string, std::string>& expected,
                       const std::string& where) {
  for (const auto& [name, bytes] : expected) {
    const auto it = actual.find(name);
    if (it == actual.end()) {
      ADD_FAILURE() << where << ": no file " << name;
    } else {
      EXPECT_EQ(testing::show(it->second), testing::show(bytes)) << where << ": file " << name;
    }
  }
  for (const auto& [name, bytes] : actual) {
    if (expected.count(name) == 0) ADD_FAILURE() << where << ": unexpected file " << name;
  }
}

class Runs : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Runs, Case) {
  const FixtureCase& c = GetParam();
  const Outcome out = run(c);
  EXPECT_EQ(out.exit, c.has("exit") ? std::stoi(c.text("exit")) : 0) << c.where();
  EXPECT_EQ(testing::show(out.console), testing::show(c.console("console"))) << c.where();
  expect_same_files(out.files, files_after(c), c.where());
}

INSTANTIATE_TEST_SUITE_P(Table, Runs, ::testing::ValuesIn(run_cases()),
                         [](const auto& info) { return testing::test_name(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Checks, Runs, ::testing::ValuesIn(run_cases("checks.cases")),
                         [](const auto& info) { return testing::test_name(info.param.name); });

// The lines of a console output, each with its line feed.
std::vector<std::string> lines(const std::string& console) {
  std::vector<std::string> out = testing::split(console, '\n');
  for (std::string& line : out)
    line += '\n';
  return out;
}

// The exit code that goes with each message that ends a run.
int exit_code_of(const std::string& message) {
  const std::pair<std::string_view, int> kEndings[] = {
      {messages::kTemplateLineError, 7}, {messages::kTemplateMissing, 7},
      {messages::kCannotOpenInput, 2},   {messages::kInputEmpty, 3},
      {messages::kCannotOpenOutput, 5},  {messages::kCannotWriteOutput, 5},
      {messages::kCannotReadFile, 5},    {messages::kOutOfMemory, 8}};
  for (const auto& [pattern, code] : kEndings) {
    if (message.starts_with(pattern.substr(0, pattern.find('%')))) return code;
  }
  return -1;
}

// The run of `c` that a fault in the call `failed` must give when the run is
// to go on: a configuration that cannot be opened or read is a warning, and a
// header or footer that cannot be opened is left out. Empty otherwise.
std::optional<Outcome> ruled_outcome(const FixtureCase& c, const std::string& failed,
                                     const std::string& console, std::size_t chunk) {
  const std::string config = "/prog/movrek.cfg";
  if (failed == "open " + config || failed == "read " + config) {
    // Without a file the run warns by itself; a failed read adds the line
    // number and the same warning.
    std::string warning;
    std::optional<std::string> text;
    if (failed == "read " + config) {
      text.emplace();
      warning = messages::kWorkingWithoutConfig;
      // Lines before the one being read stay in effect.
      const std::string line = console.substr(0, console.find('\n') + 1);
      warning = line + warning;
      const int number = std::stoi(line.substr(line.find_last_of(' ') + 1));
      const std::vector<std::string> all = testing::split(c.file("file " + config), '\n');
      for (int i = 0; i + 1 < number && i < static_cast<int>(all.size()); ++i)
        *text += all[i] + "\n";
    }
    Outcome out = run(c, chunk, {{config, text}});
    out.console = warning + out.console;
    out.files[config] = c.file("file " + config);
    return out;
  }
  if (failed.starts_with("open ") && c.has("file " + failed.substr(5)) &&
      (failed.ends_with(".hdr") || failed.ends_with(".ftr") || failed.ends_with(".txt"))) {
    const std::string name = failed.substr(5);
    Outcome out = run(c, chunk, {{name, std::nullopt}});
    out.files[name] = c.file("file " + name);
    return out;
  }
  return std::nullopt;
}

// Fails every file call of a fault-free run in turn, once as an I/O error and
// once for lack of memory, reading in whole files and in 5-byte pieces. A run
// that still succeeds must give the fault-free outcome (or the ruled one); a
// run that fails prints the fault-free console up to a line and then exactly
// one message, the one that goes with its exit code, and leaves every report
// as written by the fault-free run or cut short, and at most one cut short.
TEST(RunFaults, EveryFileCallFailingInTurn) {
  long runs = 0;
  for (const char* name : {"worked-example", "two-groups-with-headers-and-footers"}) {
    for (const std::size_t chunk : {SIZE_MAX, std::size_t{5}}) {
      const FixtureCase& c = run_case(name);
      const Outcome clean = run(c, chunk);
      ASSERT_EQ(clean.exit, 0);
      for (long call = 1; call <= clean.calls && !HasFailure(); ++call) {
        for (const char* fault : {" io", " memory"}) {
          FixtureCase faulty = c;
          faulty.raw["fail"] = std::to_string(call) + fault;
          const Outcome out = run(faulty, chunk);
          ++runs;
          const std::string where = std::string(name) + ", call " + out.failed + fault +
                                    ", chunk " + std::to_string(chunk);
          ASSERT_FALSE(out.failed.empty()) << where;
          const bool input_closed =
              out.failed.starts_with("close ") && !clean.created.count(out.failed.substr(6));
          std::optional<Outcome> expected;
          if (input_closed) expected = clean;  // closing a file that was read changes nothing
          if (!expected && std::string(fault) == " io")
            expected = ruled_outcome(c, out.failed, out.console, chunk);
          if (expected) {
            EXPECT_EQ(out.exit, expected->exit) << where;
            EXPECT_EQ(testing::show(out.console), testing::show(expected->console)) << where;
            expect_same_files(out.files, expected->files, where);
            continue;
          }
          const std::vector<std::string> got = lines(out.console), want = lines(clean.console);
          ASSERT_FALSE(got.empty()) << where;
          EXPECT_TRUE(got.size() - 1 <= want.size() &&
                      std::equal(got.begin(), got.end() - 1, want.begin()))
              << where << ": " << testing::show(out.console);
          EXPECT_EQ(out.exit, exit_code_of(got.back()))
              << where << ": " << testing::show(got.back());
          EXPECT_EQ(out.exit == 8, std::string(fault) == " memory") << where;
          int cut = 0;
          for (const auto& [file, bytes] : out.files) {
            if (!out.created.count(file)) {
              EXPECT_EQ(bytes, files_after(c).count(file) ? c.file("file " + file) : "") << where;
            } else {
              EXPECT_TRUE(clean.files.at(file).starts_with(bytes)) << where << ": " << file;
              cut += bytes != clean.files.at(file);
            }
          }
          EXPECT_LE(cut, 1) << where;
        }
      }
    }
  }
  EXPECT_GT(runs, 100);
}

// movrek32 and movrek32-check on the same files: each report that the check
// plans with files is written with those files and bytes in its total lines,
// each one it plans empty is not written, and no other is.
void expect_summary_agrees(const std::map<std::string, std::string>& files,
                           const std::vector<std::string>& args, const std::string& where) {
  MemoryHost writer;
  MemoryFiles checked;
  writer.memory.files = checked.files = files;
  ASSERT_EQ(writer.run(args), 0) << where;
  check::Request request{"/prog/movrek.cfg",
                         false,
                         "/prog/",
                         std::string(kTemplateName),
                         args[0],
                         args[1],
                         '/',
                         false,
                         "/work/"};
  std::set<std::string> planned;
  for (const check::ReportPlan& plan : check::run_checks(request, checked).summary.reports) {
    planned.insert(*plan.report);
    unsigned long long totals[2] = {0, 0};  // files, bytes of " Total [of B bytes in ]N file(s)"
    for (const std::string& line : testing::split(writer.memory.files[*plan.report], '\n')) {
      if (line.starts_with(" Total of ")) totals[1] += std::stoull(line.substr(10));
      if (line.starts_with(" Total "))
        totals[0] += std::stoull(line.substr(line.rfind(' ', line.rfind(' ') - 1)));
    }
    EXPECT_EQ(writer.memory.created.count(*plan.report), plan.files > 0) << where << *plan.report;
    EXPECT_EQ(totals[0], plan.files) << where << ": " << *plan.report;
    EXPECT_EQ(totals[1], plan.bytes) << where << ": " << *plan.report;
  }
  for (const std::string& report : writer.memory.created)
    EXPECT_EQ(planned.count(report), 1u) << where << ": " << report;
}

TEST(CheckSummary, AgreesWithTheReportsWritten) {
  // The program's own files beside it, the others in the current directory.
  std::map<std::string, std::string> example;
  for (const std::string name : {"/prog/movrek.cfg", "/prog/newfile.rpt", "newfiles.lst",
                                 "header.txt", "footer.txt", "nodelist.hdr"}) {
    std::ifstream in(MOVREK_EXAMPLES_DIR + name.substr(name.rfind('/') + 1), std::ios::binary);
    ASSERT_TRUE(in) << name;
    example[name].assign(std::istreambuf_iterator<char>(in), {});
  }
  expect_summary_agrees(example, {"newfiles.lst", "newfiles.rpt"}, "the bundled example");
  const FixtureCase& c = run_case("two-groups-real-shaped");
  expect_summary_agrees(files_after(c), testing::split(c.text("args"), '\n'), c.name);
}

}  // namespace
}  // namespace movrek
