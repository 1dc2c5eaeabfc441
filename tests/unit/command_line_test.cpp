#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace movrek {
namespace {

bool dash_only(char c) {
  return c == '-';
}
bool dash_or_slash(char c) {
  return c == '-' || c == '/';
}

struct Case {
  std::vector<std::string> args;  // after the program name
  int expected;
};

int parse(const std::vector<std::string>& args, bool (*introducer)(char), CommandLine& out) {
  std::vector<const char*> argv = {"movrek32"};
  for (const auto& a : args)
    argv.push_back(a.c_str());
  return parse_command_line(static_cast<int>(argv.size()), argv.data(), introducer, out);
}

TEST(CommandLine, TableOfArgumentVectors) {
  const std::vector<Case> cases = {
      {{}, -1},
      {{"in.lst"}, -1},
      {{"in.lst", "out.txt"}, 0},
      {{"in.lst", "out.txt", "third"}, -1},
      {{"-n", "in.lst", "out.txt"}, 0},
      {{"-N", "in.lst", "out.txt"}, 0},
      {{"in.lst", "-o", "out.txt"}, 0},
      {{"in.lst", "out.txt", "-n-o"}, 0},
      {{"in.lst", "out.txt", "-no"}, -1},
      {{"in.lst", "out.txt", "--"}, -1},
      {{"in.lst", "out.txt", "-x"}, -1},
      {{"in.lst", "out.txt", "-n-"}, 0},  // an introducer with nothing after it
      {{"-", "in.lst", "out.txt"}, 0},
      {{"", "in.lst", "", "out.txt", ""}, 0},
      {{"in.lst", "out.txt", "-h"}, 1},
      {{"in.lst", "out.txt", "-?"}, 1},
      {{"in.lst", "out.txt", "-H"}, 1},
      // Help before or between the positional arguments stops the count early.
      {{"-h", "in.lst", "out.txt"}, -1},
      {{"in.lst", "-h", "out.txt"}, -1},
      // Once an invalid option is seen nothing after it counts, help included.
      {{"in.lst", "out.txt", "-x", "-h"}, -1},
      {{"in.lst", "out.txt", "-n-h"}, 1},
      {{"in.lst", "out.txt", "-x-h"}, -1},
  };
  for (const Case& c : cases) {
    CommandLine out;
    std::string shown;
    for (const auto& a : c.args)
      shown += "[" + a + "]";
    EXPECT_EQ(parse(c.args, dash_only, out), c.expected) << shown;
  }
}

TEST(CommandLine, StoresBothPaths) {
  CommandLine out;
  ASSERT_EQ(parse({"-n", "a b.lst", "-o", "/tmp/out.txt"}, dash_only, out), 0);
  EXPECT_EQ(out.input_path, "a b.lst");
  EXPECT_EQ(out.output_path, "/tmp/out.txt");
}

TEST(CommandLine, SlashIsAPathUnlessTheHostTakesItAsIntroducer) {
  CommandLine out;
  EXPECT_EQ(parse({"/srv/in.lst", "/srv/out.txt"}, dash_only, out), 0);
  EXPECT_EQ(out.input_path, "/srv/in.lst");

  EXPECT_EQ(parse({"in.lst", "/n", "out.txt"}, dash_or_slash, out), 0);
  EXPECT_EQ(parse({"in.lst", "out.txt", "/?"}, dash_or_slash, out), 1);
  EXPECT_EQ(parse({"in.lst", "out.txt", "/n-o"}, dash_or_slash, out), 0);
  EXPECT_EQ(parse({"in.lst", "out.txt", "-/"}, dash_or_slash, out), -1);
  EXPECT_EQ(parse({"/srv/in.lst", "out.txt"}, dash_or_slash, out), -1);
}

}  // namespace
}  // namespace movrek
