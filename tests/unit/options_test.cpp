#include "check/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cases.h"

namespace movrek::check {
namespace {

MOVREK_CASE_TEST(OptionsTest, options, ArgumentVectors) {
  const testing::FixtureCase& c = GetParam();
  std::vector<std::string> args = testing::split(c.text("args"), '\n');
  std::vector<const char*> argv = {"movrek32-check"};
  for (std::string& arg : args)
    argv.push_back((arg = arg == "<empty>" ? "" : arg).c_str());
  Options options;
  std::string complaint;
  const Parsed parsed = parse_options(static_cast<int>(argv.size()), argv.data(),
                                      c.has("slash") ? "-/" : "-", options, complaint);
  static constexpr const char* kParsed[] = {"run", "help", "version", "invalid"};
  std::string actual = std::string(kParsed[static_cast<int>(parsed)]) + "\n";
  if (parsed == Parsed::kInvalid) actual += complaint;
  if (parsed == Parsed::kRun) {
    actual += options.config.value_or("none") + "\n";
    actual += options.strict ? "strict\n" : "lenient\n";
    for (const std::string& path : options.paths)
      actual += path + "\n";
  }
  EXPECT_EQ(testing::show(actual), testing::show(c.console("expect"))) << c.where();
}
}  // namespace
}  // namespace movrek::check
