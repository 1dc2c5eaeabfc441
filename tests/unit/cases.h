#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fixture.h"
#include "whole_run.h"

// One test per case of a case file, named after the file and the case, so
// that CTest runs each on its own: `ctest -R <case name>`.
namespace movrek::testing {
using CaseTest = ::testing::TestWithParam<FixtureCase>;

// A whole run ends as its case says: exit code, console, and files after it.
inline void expect_run_as_written(const FixtureCase& c) {
  const Outcome out = run_case(c);
  EXPECT_EQ(out.exit, c.has("exit") ? std::stoi(c.text("exit")) : 0) << c.where();
  EXPECT_EQ(show(out.console), show(c.console("console"))) << c.where();
  EXPECT_EQ(file_differences(out.files, files_after(c)), "") << c.where();
}
}  // namespace movrek::testing

// Instantiates the parameterised `suite` over the cases of data/<stem>.cases,
// as <stem>/<suite>.<test>/<case name with '-' as '_'>.
#define MOVREK_CASES(suite, stem)                                                        \
  INSTANTIATE_TEST_SUITE_P(                                                              \
      stem, suite, ::testing::ValuesIn(::movrek::testing::load_fixture(#stem ".cases")), \
      [](const auto& info) { return ::movrek::testing::test_name(info.param.name); })

// Declares `suite`, instantiates it over data/<stem>.cases, and begins its
// test `name`, whose body follows and reads the case from GetParam().
#define MOVREK_CASE_TEST(suite, stem, name)            \
  class suite : public ::movrek::testing::CaseTest {}; \
  MOVREK_CASES(suite, stem);                           \
  TEST_P(suite, name)

// The table of whole runs data/<stem>.cases (each case completed by its
// "defaults"), one test `suite`.Case per case.
#define MOVREK_RUN_TABLE(suite, stem)                                                  \
  class suite : public ::movrek::testing::CaseTest {};                                 \
  INSTANTIATE_TEST_SUITE_P(                                                            \
      stem, suite, ::testing::ValuesIn(::movrek::testing::run_cases(#stem ".cases")),  \
      [](const auto& info) { return ::movrek::testing::test_name(info.param.name); }); \
  TEST_P(suite, Case) {                                                                \
    ::movrek::testing::expect_run_as_written(GetParam());                              \
  }
