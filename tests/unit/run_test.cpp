// Whole runs of movrek32 on memory files: the table of runs.cases, one test
// per case, and every file call of two runs failing in turn.
#include "driver/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "cases.h"
#include "driver/messages.h"
#include "text/format.h"
#include "whole_run.h"

namespace movrek {
namespace {

using testing::FixtureCase;
using testing::Outcome;

MOVREK_RUN_TABLE(Runs, runs)

const FixtureCase& run_case_named(const std::string& name) {
  static const std::vector<FixtureCase> cases = testing::run_cases("runs.cases");
  return *std::find_if(cases.begin(), cases.end(), [&](auto& c) { return c.name == name; });
}

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
std::optional<Outcome> ruled_outcome(const FixtureCase& c, const Outcome& faulty,
                                     std::size_t chunk) {
  const std::string config = "/prog/movrek.cfg";
  const std::string& failed = faulty.failed;
  if (failed == "open " + config || failed == "read " + config) {
    // Without a file the run warns by itself. A failed read is an error at the
    // line it was reading, and the lines before it stay in effect.
    std::string warning;
    std::optional<std::string> text;
    if (failed == "read " + config) {
      const std::string bytes = c.file("file " + config);
      const std::string before = bytes.substr(0, faulty.failed_offset);
      const long read_lines = std::count(before.begin(), before.end(), '\n');
      warning = format_message(messages::kConfigLineError, {decimal_text(read_lines + 1)});
      warning += messages::kWorkingWithoutConfig;
      text = bytes.substr(0, before.rfind('\n') + 1);
    }
    Outcome out = testing::run_case(c, chunk, {{config, text}});
    out.console = warning + out.console;
    out.files[config] = c.file("file " + config);
    return out;
  }
  if (failed.starts_with("open ") && c.has("file " + failed.substr(5)) &&
      (failed.ends_with(".hdr") || failed.ends_with(".ftr") || failed.ends_with(".txt"))) {
    const std::string name = failed.substr(5);
    Outcome out = testing::run_case(c, chunk, {{name, std::nullopt}});
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
      const FixtureCase& c = run_case_named(name);
      const Outcome clean = testing::run_case(c, chunk);
      ASSERT_EQ(clean.exit, 0);
      for (long call = 1; call <= clean.calls && !HasFailure(); ++call) {
        for (const char* fault : {" io", " memory"}) {
          FixtureCase faulty = c;
          faulty.raw["fail"] = std::to_string(call) + fault;
          const Outcome out = testing::run_case(faulty, chunk);
          ++runs;
          const std::string where = std::string(name) + ", call " + out.failed + fault +
                                    ", chunk " + std::to_string(chunk);
          ASSERT_FALSE(out.failed.empty()) << where;
          const bool input_closed =
              out.failed.starts_with("close ") && !clean.created.count(out.failed.substr(6));
          std::optional<Outcome> expected;
          if (input_closed) expected = clean;  // closing a file that was read changes nothing
          if (!expected && std::string(fault) == " io") expected = ruled_outcome(c, out, chunk);
          if (expected) {
            EXPECT_EQ(out.exit, expected->exit) << where;
            EXPECT_EQ(testing::show(out.console), testing::show(expected->console)) << where;
            EXPECT_EQ(testing::file_differences(out.files, expected->files), "") << where;
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

}  // namespace
}  // namespace movrek
