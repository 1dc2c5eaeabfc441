#include "driver/console.h"

#include <gtest/gtest.h>

#include <string>

#include "cases.h"

namespace movrek {
namespace {

MOVREK_CASE_TEST(ConsoleTest, console, WhatTheConsoleGets) {
  const testing::FixtureCase& c = GetParam();
  for (const auto& r : testing::rows(c.text("console"))) {
    const ConsoleText text =
        choose_console_text(r[0] == "~" ? nullptr : r[0].c_str(), r[1] == "yes", r[2] == "yes");
    EXPECT_EQ(text == ConsoleText::kUnicode ? "unicode" : "cp866", r[3]) << r[0] << r[1] << r[2];
  }
}
}  // namespace
}  // namespace movrek
