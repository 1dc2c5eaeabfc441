#include "text/paths.h"

#include <gtest/gtest.h>

#include "cases.h"

namespace movrek {
namespace {

// "join" gives the directory, the fallback separator and the name, one a line;
// "directory_of" a full file name; "expect" the path made of them.
MOVREK_CASE_TEST(PathsTest, paths, JoinAndDirectoryOf) {
  const testing::FixtureCase& c = GetParam();
  const bool join = c.has("join");
  const auto in =
      testing::split(testing::expand_runs(c.text(join ? "join" : "directory_of")), '\n');
  const std::string actual = join ? join_path(in[0], in[2], in[1][0]) : directory_of(in[0]);
  EXPECT_EQ(actual + "\n", testing::expand_runs(c.text("expect"))) << c.where();
}
}  // namespace
}  // namespace movrek
