#include "driver/command_line.h"

#include <gtest/gtest.h>

#include "cases.h"

namespace movrek {
namespace {

// "args" holds the arguments after the program name, one a line ("<empty>" for
// an empty one); a "slash" section marks a host where '/' introduces options too.
// "expect" is the result, then for a valid command line both paths.
MOVREK_CASE_TEST(CommandLineTest, command_line, ArgumentVectors) {
  const testing::FixtureCase& c = GetParam();
  std::vector<std::string> args = testing::split(c.text("args"), '\n');
  std::vector<const char*> argv = {"movrek32"};
  for (std::string& arg : args)
    argv.push_back((arg = arg == "<empty>" ? "" : arg).c_str());
  CommandLine out;
  const int result = parse_command_line(static_cast<int>(argv.size()), argv.data(),
                                        c.has("slash") ? "-/" : "-", out);
  std::string actual = std::to_string(result) + "\n";
  if (result == 0) actual += out.input_path + "\n" + out.output_path + "\n";
  EXPECT_EQ(actual, c.text("expect")) << c.where();
}
}  // namespace
}  // namespace movrek
