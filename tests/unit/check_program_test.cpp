// Whole runs of movrek32-check on memory files: the table of checks.cases,
// one test per case, and its summary against the reports movrek32 writes.
#include "check/check_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "check/checker.h"
#include "driver/run.h"
#include "fixture.h"
#include "memory_files.h"
#include "whole_run.h"

namespace movrek::check {
namespace {

using testing::FixtureCase;
using testing::MemoryFiles;
using testing::MemoryHost;
using testing::Outcome;

class Checks : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Checks, Case) {
  const FixtureCase& c = GetParam();
  const Outcome out = testing::run_case(c);
  EXPECT_EQ(out.exit, c.has("exit") ? std::stoi(c.text("exit")) : 0) << c.where();
  EXPECT_EQ(testing::show(out.console), testing::show(c.console("console"))) << c.where();
  EXPECT_EQ(testing::file_differences(out.files, testing::files_after(c)), "") << c.where();
}

INSTANTIATE_TEST_SUITE_P(checks, Checks, ::testing::ValuesIn(testing::run_cases("checks.cases")),
                         [](const auto& info) { return testing::test_name(info.param.name); });

// movrek32 and movrek32-check on the same files: each report that the check
// plans with files is written with those files and bytes in its total lines,
// each one it plans empty is not written, and no other is.
void expect_summary_agrees(const std::map<std::string, std::string>& files,
                           const std::vector<std::string>& args, const std::string& where) {
  MemoryHost writer;
  MemoryFiles checked;
  writer.memory.files = checked.files = files;
  ASSERT_EQ(writer.run(args), 0) << where;
  Request request{"/prog/movrek.cfg",
                  false,
                  "/prog/",
                  std::string(kTemplateName),
                  args[0],
                  args[1],
                  '/',
                  false,
                  "/work/"};
  std::set<std::string> planned;
  for (const ReportPlan& plan : run_checks(request, checked).summary.reports) {
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
  const std::vector<FixtureCase> cases = testing::run_cases("checks.cases");
  const FixtureCase& c = *std::find_if(cases.begin(), cases.end(),
                                       [](auto& k) { return k.name == "two-groups-real-shaped"; });
  expect_summary_agrees(testing::files_after(c), testing::split(c.text("args"), '\n'), c.name);
}

}  // namespace
}  // namespace movrek::check
