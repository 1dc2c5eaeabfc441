// Whole runs of movrek32-check on memory files: the table of checks.cases,
// one test per case.
#include "check/check_program.h"

#include <gtest/gtest.h>

#include <string>

#include "fixture.h"
#include "whole_run.h"

namespace movrek::check {
namespace {

using testing::FixtureCase;
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

}  // namespace
}  // namespace movrek::check
