#pragma once

#include <gtest/gtest.h>

#include "fixture.h"

// One test per case of a case file, named after the file and the case, so
// that CTest runs each on its own: `ctest -R <case name>`.
namespace movrek::testing {
using CaseTest = ::testing::TestWithParam<FixtureCase>;
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
