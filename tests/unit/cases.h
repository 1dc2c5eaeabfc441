#pragma once

#include <gtest/gtest.h>

#include "fixture.h"

// One test per case of a case file, named after the case, so that a failing
// case runs alone: `ctest -R <case name>`.
namespace movrek::testing {
using CaseTest = ::testing::TestWithParam<FixtureCase>;
}  // namespace movrek::testing

#define MOVREK_CASES(prefix, suite, file)                                        \
  INSTANTIATE_TEST_SUITE_P(                                                      \
      prefix, suite, ::testing::ValuesIn(::movrek::testing::load_fixture(file)), \
      [](const auto& info) { return ::movrek::testing::test_name(info.param.name); })
