#include "driver/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace movrek {
namespace {

struct JoinCase {
  std::string directory;
  char fallback;
  std::string expected;  // joined with "newfile.rpt"
};

TEST(JoinPath, SeparatorsOfTheDirectory) {
  const std::vector<JoinCase> cases = {
      // The directory's own separator wins over the fallback.
      {"d:\\inbound", '/', "d:\\inbound\\newfile.rpt"},
      {"d:\\inbound", '\\', "d:\\inbound\\newfile.rpt"},
      {"d:/inbound", '\\', "d:/inbound/newfile.rpt"},
      // Already ending in a separator: exactly one before the name.
      {"d:\\inbound\\", '/', "d:\\inbound\\newfile.rpt"},
      {"d:/inbound/", '\\', "d:/inbound/newfile.rpt"},
      {"/usr/lib/movrek/", '/', "/usr/lib/movrek/newfile.rpt"},
      // Mixed separators become the first one that occurs.
      {"a/b\\c", '\\', "a/b/c/newfile.rpt"},
      {"a\\b/c/", '/', "a\\b\\c\\newfile.rpt"},
      {"d:/fido\\in\\", '\\', "d:/fido/in/newfile.rpt"},
      // No separator in the directory: the fallback.
      {"inbound", '/', "inbound/newfile.rpt"},
      {"inbound", '\\', "inbound\\newfile.rpt"},
      {"d:inbound", '/', "d:inbound/newfile.rpt"},
      {"d:inbound", '\\', "d:inbound\\newfile.rpt"},
      // Roots.
      {"/", '\\', "/newfile.rpt"},
      {"\\", '/', "\\newfile.rpt"},
      {"d:\\", '/', "d:\\newfile.rpt"},
      {"C:/", '\\', "C:/newfile.rpt"},
      // An empty directory gives the name alone; a bare drive keeps its colon.
      {"", '/', "newfile.rpt"},
      {"", '\\', "newfile.rpt"},
      {"d:", '/', "d:newfile.rpt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(join_path(c.directory, "newfile.rpt", c.fallback), c.expected)
        << "directory '" << c.directory << "' fallback '" << c.fallback << "'";
  }
}

TEST(JoinPath, NameIsAppendedUnchanged) {
  EXPECT_EQ(join_path("a\\b", "c/d.txt", '/'), "a\\b\\c/d.txt");
  EXPECT_EQ(join_path("a/b", "", '\\'), "a/b/");
}

TEST(JoinPath, LongPathsAreNotCut) {
  const std::string dir = "/" + std::string(400, 'd') + "/" + std::string(300, 'e');
  const std::string joined = join_path(dir, "movrek.cfg", '\\');
  EXPECT_EQ(joined, dir + "/movrek.cfg");
  EXPECT_EQ(joined.size(), 1u + 400 + 1 + 300 + 1 + 10);
}

TEST(DirectoryOf, DriveAndDirectoryOfAFullName) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/usr/bin/movrek32", "/usr/bin/"},
      {"/movrek32", "/"},
      {"d:\\fido\\movrek32.exe", "d:\\fido\\"},
      {"d:/fido/movrek32.exe", "d:/fido/"},
      {"a/b\\movrek32", "a/b\\"},
      {"d:movrek32.exe", "d:"},
      {"d:\\movrek32.exe", "d:\\"},
      {"movrek32", ""},
      {"", ""},
      {"bin/", "bin/"},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(directory_of(path), expected) << path;
  }
}

TEST(DirectoryOf, JoinedBackWithAName) {
  // The program directory joined with the configuration name gives a
  // neighbour of the executable.
  EXPECT_EQ(join_path(directory_of("/opt/fido/bin/movrek32"), "movrek.cfg", '/'),
            "/opt/fido/bin/movrek.cfg");
  EXPECT_EQ(join_path(directory_of("c:\\fido\\movrek32.exe"), "movrek.cfg", '/'),
            "c:\\fido\\movrek.cfg");
  EXPECT_EQ(join_path(directory_of("movrek32"), "movrek.cfg", '/'), "movrek.cfg");
}

}  // namespace
}  // namespace movrek
