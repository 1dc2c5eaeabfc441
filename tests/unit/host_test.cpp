// The host's own files, on the real disk: what a run relies on when it opens
// and creates files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driver/host.h"

namespace movrek {
namespace {

std::string read_all(ByteSource& source) {
  std::string out;
  char buf[3];  // small reads: the end is found on a read of its own
  for (long n; (n = source.read(buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<std::size_t>(n));
  return out;
}

TEST(HostFiles, OpenCreateAndTheirErrors) {
  const auto host = make_system_host(nullptr);
  FileSystem& files = host->files();
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "movrek-host";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "a.txt").string();

  auto sink = files.create(file);
  ASSERT_EQ(sink.error, FileError::kNone);
  EXPECT_TRUE(sink.file->write("one\r\ntwo\x1A\0", 10));
  EXPECT_TRUE(sink.file->close());
  EXPECT_EQ(read_all(*files.open(file).file), std::string("one\r\ntwo\x1A\0", 10));
  EXPECT_EQ(files.open(file).file->size(), 10u);  // a file tells its size
  // Created again, the file is replaced, not appended to.
  sink = files.create(file);
  EXPECT_TRUE(sink.file->write("x", 1) && sink.file->close());
  EXPECT_EQ(read_all(*files.open(file).file), "x");

  EXPECT_EQ(files.open((dir / "missing").string()).error, FileError::kNotFound);
  EXPECT_EQ(files.open((dir / "missing" / "a.txt").string()).error, FileError::kNotFound);
  EXPECT_EQ(files.create((dir / "missing" / "a.txt").string()).error, FileError::kNotFound);
  // A directory is no file, to read or to write.
  EXPECT_EQ(files.open(dir.string()).error, FileError::kOther);
  EXPECT_EQ(files.create(dir.string()).error, FileError::kOther);
  std::filesystem::remove_all(dir);
}

TEST(HostFiles, ProgramDirectoryEndsInASeparator) {
  const Platform platform = make_system_host(nullptr)->platform();
  ASSERT_FALSE(platform.program_dir.empty());
  const char last = platform.program_dir.back();
  EXPECT_TRUE(last == '/' || last == '\\') << platform.program_dir;
  EXPECT_TRUE(std::filesystem::exists(platform.program_dir + "movrek_unit_tests") ||
              std::filesystem::exists(platform.program_dir + "movrek_unit_tests.exe"));
}

}  // namespace
}  // namespace movrek
