#include "driver/run.h"

#include <gtest/gtest.h>

#include "test_support.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "text/byte_io.h"
#include "text/cp866.h"

namespace movrek {
namespace {

using namespace std::string_literals;

template <std::size_t N>
std::string bytes_of(const Cp866Text<N>& text) {
  return std::string(text.view());
}

std::string dos(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const std::string kTemplate = "@A\n@E\n@L\n@F\n@S\n@D\n@O\n";

// Two records of the area UTILS, one field per line in template order.
const std::string kList =
    "UTILS\nUtilities for DOS\nHUB\nTOOLS310.ZIP\n512\n"
    "Archiver for DOS, version 3.10, with full documentation and several examples\nHUB\n"
    "UTILS\nUtilities for DOS\nHUB\nREADME.1ST\n100\n\n\n";

std::string utils_block(long width = 79, std::string_view no_description = "No description found") {
  const std::string rule(static_cast<std::size_t>(width), '\xC4');
  return dos("\n Area UTILS (Utilities for DOS) from HUB\n" + rule + "\nREADME.1ST        100  " +
             std::string(no_description) +
             "\n"
             "TOOLS310.ZIP      512  Archiver for DOS, version 3.10, with full documentation\n"
             "                       and several examples\n"
             "                       Origin: HUB\n" +
             rule + "\n Total of 612 bytes in 2 files\n");
}

// The console texts, spelled out here on their own.
std::string reading(std::string_view path) {
  return bytes_of(cp866(u8"читаем список анонсируемых файлов ")) + std::string(path) + " ...\n";
}
std::string writing(std::string_view name) {
  return bytes_of(cp866(u8"записываем отчет ")) + std::string(name) + " ...\n";
}
std::string nothing(std::string_view name) {
  return bytes_of(cp866(u8"в отчет ")) + std::string(name) +
         bytes_of(cp866(u8" записывать нечего.\n"));
}
const std::string kWithoutConfig = bytes_of(cp866(u8"работаем без конфига.\n"));

// Memory reports by name; a name can be refused or given a small capacity.
class ReportFiles {
 public:
  std::set<std::string> refused;
  std::map<std::string, std::size_t> capacity;
  std::vector<std::string> opened;
  std::map<std::string, std::unique_ptr<StringSink>> files;

  SinkFactory factory() {
    return [this](const std::string& path) -> std::unique_ptr<ByteSink> {
      opened.push_back(path);
      if (refused.count(path) != 0) return nullptr;
      const auto cap = capacity.find(path);
      files[path] = std::make_unique<StringSink>(cap == capacity.end() ? SIZE_MAX : cap->second);
      return std::make_unique<Forward>(*files[path]);
    };
  }
  std::string bytes(const std::string& name) const {
    const auto it = files.find(name);
    return it == files.end() ? "(not opened)" : it->second->bytes();
  }

 private:
  class Forward final : public ByteSink {
   public:
    explicit Forward(StringSink& target) : target_(target) {}
    bool write(const char* data, std::size_t n) override { return target_.write(data, n); }
    bool close() override { return target_.close(); }

   private:
    StringSink& target_;
  };
};

// A run over files in a fresh directory, which is also the current directory
// (the default header.txt and footer.txt are looked up there).
class RunSequence : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<movrek::testing::TempDir>();
    dir_ = temp_->path().string();
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);

    prepare(run_);
  }

  // Configuration and template in the test directory, report out.txt.
  void prepare(movrek::Run& run) const {
    run.separator = '/';
    run.program_dir = dir_ + "/";
    run.settings.template_dir = run.program_dir;
    run.config_path = dir_ + "/movrek.cfg";
    run.input_path = dir_ + "/new.lst";
    run.catalog.default_group().report = "out.txt";
  }
  void TearDown() override {
    std::filesystem::current_path(old_cwd_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void file(std::string_view name, std::string_view bytes) {
    const std::string path = dir_ + "/" + std::string(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  ExitCode go() {
    return run_sequence(
        run_, [this](std::string_view s) { console_ += s; }, reports_.factory());
  }

  std::unique_ptr<movrek::testing::TempDir> temp_;
  std::string dir_;
  std::filesystem::path old_cwd_;
  movrek::Run run_;
  ReportFiles reports_;
  std::string console_;
};

TEST_F(RunSequence, NormalRunWithoutConfiguration) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList);
  EXPECT_EQ(go(), ExitCode::kOk);
  EXPECT_EQ(console_, kWithoutConfig + reading(run_.input_path) + writing("out.txt"));
  EXPECT_EQ(reports_.opened, std::vector<std::string>{"out.txt"});
  EXPECT_EQ(reports_.bytes("out.txt"), utils_block());
}

TEST_F(RunSequence, DefaultHeaderAndFooterFromTheCurrentDirectory) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList);
  file("header.txt", "Top\n");
  file("footer.txt", "Bottom\r\n\x1A");
  file("movrek.cfg", "");
  EXPECT_EQ(go(), ExitCode::kOk);
  EXPECT_EQ(console_, reading(run_.input_path) + writing("out.txt"));
  EXPECT_EQ(reports_.bytes("out.txt"), "Top\r\n" + utils_block() + "Bottom\r\n");
}

TEST_F(RunSequence, ConfiguredGroupGetsItsOwnReport) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList + "OTHER\n\n\nX.ZIP\n\nx\n\n");
  file("movrek.cfg",
       "; groups\n"
       "HEADER\n"
       "FOOTER\n"
       "GROUP UTILS\n"
       "REPORT utils.txt\n"
       "HEADER\n"
       "FOOTER\n"
       "ENDGROUP\n");
  EXPECT_EQ(go(), ExitCode::kOk);
  EXPECT_EQ(console_, reading(run_.input_path) + writing("out.txt") + writing("utils.txt"));
  EXPECT_EQ(reports_.bytes("utils.txt"), utils_block());
  const std::string rule(79, '\xC4');
  // Empty area description and link are left out; an empty size is a blank column.
  EXPECT_EQ(reports_.bytes("out.txt"),
            dos("\n Area OTHER\n" + rule + "\nX.ZIP" + std::string(18, ' ') + "x\n" + rule +
                "\n Total 1 file\n"));
}

TEST_F(RunSequence, EmptyListLeavesEveryGroupWithNothingToWrite) {
  file("newfile.rpt", kTemplate);
  file("new.lst", "");
  file("movrek.cfg", "GROUP UTILS\nREPORT utils.txt\nENDGROUP\n");
  EXPECT_EQ(go(), ExitCode::kOk);
  EXPECT_EQ(console_, reading(run_.input_path) + nothing("out.txt") + nothing("utils.txt"));
  EXPECT_TRUE(reports_.opened.empty());
}

TEST_F(RunSequence, FaultyConfigurationLineIsAWarning) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList);
  file("movrek.cfg",
       "NODESC (none)\n"
       "REPORTWIDTH 30\n"
       "; a comment\n"
       "Note this line\n"
       "REPORTWIDTH 50\n");
  EXPECT_EQ(go(), ExitCode::kOk);
  EXPECT_EQ(console_, bytes_of(cp866(u8"ошибка в конфиге, строка 4\n")) + kWithoutConfig +
                          reading(run_.input_path) + writing("out.txt"));
  // What the lines before the faulty one set is in effect; the line after it is not.
  const std::string rule(30, '\xC4');
  EXPECT_EQ(reports_.bytes("out.txt"), dos("\n Area UTILS (Utilities for DOS) from HUB\n" + rule +
                                           "\n"
                                           "README.1ST        100  (none)\n"
                                           "TOOLS310.ZIP      512 \n"
                                           "                       Archiver\n"
                                           "                       for\n"
                                           "                       DOS,\n"
                                           "                       version\n"
                                           "                       3.10,\n"
                                           "                       with\n"
                                           "                       full\n"
                                           "                       document\n"
                                           "                       ation\n"
                                           "                       and\n"
                                           "                       several\n"
                                           "                       examples\n"
                                           "                       Origin: HUB\n" +
                                           rule + "\n Total of 612 bytes in 2 files\n"));
}

struct GroupCheckCase {
  std::string config;
  int group;
};

TEST_F(RunSequence, GroupWithoutReportStopsBeforeTheTemplate) {
  const std::vector<GroupCheckCase> cases = {
      {"GROUP A\nREPORT a.txt\nENDGROUP\nGROUP B\nENDGROUP\n", 2},
      {"GROUP A\nENDGROUP\nGROUP B\nREPORT b.txt\nENDGROUP\n", 1},
      {"GROUP A\nREPORT\nENDGROUP\n", 1},
  };
  // No template at all: reading it would end the run with code 7.
  file("new.lst", kList);
  for (const auto& c : cases) {
    movrek::Run run;
    prepare(run);
    file("movrek.cfg", c.config);
    std::string console;
    ReportFiles reports;
    EXPECT_EQ(run_sequence(
                  run, [&](std::string_view s) { console += s; }, reports.factory()),
              ExitCode::kGroupWithoutReport);
    EXPECT_EQ(console, bytes_of(cp866(u8"Не определен файл-отчет для группы ")) +
                           std::to_string(c.group) + "\n" +
                           bytes_of(cp866(u8"Убедитесь в наличии команды Report для этой группы в "
                                          u8"файле movrek.cfg\n")))
        << c.config;
    EXPECT_TRUE(reports.opened.empty());
  }
}

TEST_F(RunSequence, MissingTemplate) {
  file("new.lst", kList);
  EXPECT_EQ(go(), ExitCode::kTemplateFailed);
  EXPECT_EQ(console_,
            kWithoutConfig + bytes_of(cp866(u8"Не могу найти файл-шаблон newfile.rpt\n")));
  EXPECT_TRUE(reports_.opened.empty());
}

TEST_F(RunSequence, FaultyTemplate) {
  file("newfile.rpt", "@A\n@F\n\0X\n@D\n"s);
  file("new.lst", kList);
  file("movrek.cfg", "");
  EXPECT_EQ(go(), ExitCode::kTemplateFailed);
  EXPECT_EQ(console_, bytes_of(cp866(u8"Ошибка в файле-шаблоне newfile.rpt, строка 3\n")));
  EXPECT_TRUE(reports_.opened.empty());
}

TEST_F(RunSequence, TemplateFromTheConfiguredDirectory) {
  std::filesystem::create_directory(dir_ + "/tpl");
  file("tpl/newfile.rpt", kTemplate);
  file("new.lst", kList);
  for (const std::string& druvodir : {dir_ + "/tpl", dir_ + "/tpl/", "tpl"s}) {
    movrek::Run run;
    prepare(run);
    file("movrek.cfg", "DRUVODIR " + druvodir + "\n");
    std::string console;
    ReportFiles reports;
    EXPECT_EQ(run_sequence(
                  run, [&](std::string_view s) { console += s; }, reports.factory()),
              ExitCode::kOk)
        << druvodir << ": " << console;
    EXPECT_EQ(reports.bytes("out.txt"), utils_block()) << druvodir;
  }
}

TEST_F(RunSequence, MissingInputOpensNoReport) {
  file("newfile.rpt", kTemplate);
  run_.input_path = "no such list.lst";
  EXPECT_EQ(go(), ExitCode::kCannotOpenInput);
  EXPECT_EQ(console_, kWithoutConfig +
                          bytes_of(cp866(u8"Ошибка открытия входного файла no such list.lst\n")));
  EXPECT_TRUE(reports_.opened.empty());
}

TEST_F(RunSequence, InputThatCannotBeReadIntoTheCatalog) {
  file("newfile.rpt", "@A\n@E\n");  // no file name in any record
  file("new.lst", "UTILS\nUtilities\nUTILS\n");
  EXPECT_EQ(go(), ExitCode::kInputFailed);
  EXPECT_EQ(console_,
            kWithoutConfig + reading(run_.input_path) +
                bytes_of(cp866(u8"Входной файл пуст/файлэхи не разрешены для анонсов.\n")));
  EXPECT_TRUE(reports_.opened.empty());
}

TEST_F(RunSequence, ReportThatCannotBeCreated) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList + "OTHER\n\n\nX.ZIP\n\nx\n\n");
  file("movrek.cfg", "GROUP OTHER\nREPORT other.txt\nENDGROUP\n");
  reports_.refused.insert("other.txt");
  EXPECT_EQ(go(), ExitCode::kCannotWriteReport);
  EXPECT_EQ(console_, reading(run_.input_path) + writing("out.txt") +
                          bytes_of(cp866(u8"Ошибка открытия выходного файла.\n")));
  EXPECT_EQ(reports_.bytes("out.txt"), utils_block());
}

TEST_F(RunSequence, ReportThatCannotBeWritten) {
  file("newfile.rpt", kTemplate);
  file("new.lst", kList);
  reports_.capacity["out.txt"] = 10;
  EXPECT_EQ(go(), ExitCode::kCannotWriteReport);
  EXPECT_EQ(console_, kWithoutConfig + reading(run_.input_path) + writing("out.txt") +
                          bytes_of(cp866(u8"Ошибка записи выходного файла out.txt.\n")));
}

// ---------------------------------------------------------------------------
// program_main

const std::string kBannerLine = "\nDruvo Announcer version 2.3 beta for Win32\n";

const std::string kUsage =
    bytes_of(cp866(u8"Использование: movrek32.exe <input_file> <output_file>\n"
                   u8"     <input_file>  - файл-отчет Druvo'а\n"
                   u8"     <output_file> - генерируемый отчет\n"
                   u8"    если <input_file> не существует, то <output_file> не создается,\n"
                   u8"    если <output_file> уже существует, то он затирается вновь созданным.\n"
                   u8"Дополнительные параметры могут быть указаны в конфигурационном\n"
                   u8"файле movrek.cfg, который должен находиться в том же каталоге,\n"
                   u8"что и movrek32.exe (не обязательно текущем).\n"));

TEST(ProgramMain, BannerThenUsageOnABadCommandLine) {
  const std::vector<std::vector<const char*>> command_lines = {
      {"movrek32"},
      {"movrek32", "in.lst"},
      {"movrek32", "in.lst", "out.txt", "third"},
      {"movrek32", "-h", "in.lst", "out.txt"},
      {"movrek32", "in.lst", "-?", "out.txt"},
      {"movrek32", "in.lst", "out.txt", "-H"},
      {"movrek32", "in.lst", "out.txt", "-x"},
  };
  for (const auto& argv : command_lines) {
    std::string console;
    const int code = program_main(static_cast<int>(argv.size()), argv.data(),
                                  [&](std::string_view s) { console += s; });
    EXPECT_EQ(code, 1) << argv.size();
    // The banner: the product line, one credit line, an empty line.
    ASSERT_EQ(console.substr(0, kBannerLine.size()), kBannerLine);
    const std::size_t credit_end = console.find('\n', kBannerLine.size());
    ASSERT_NE(credit_end, std::string::npos);
    EXPECT_GT(credit_end, kBannerLine.size()) << "credit line is empty";
    EXPECT_EQ(console.substr(credit_end + 1), "\n" + kUsage);
  }
}

TEST(ProgramMain, UsageHasEightLines) {
  std::size_t lines = 0;
  for (char c : kUsage)
    lines += c == '\n';
  EXPECT_EQ(lines, 8u);
  // CP866 bytes, not UTF-8: "И" is 0x88.
  EXPECT_EQ(kUsage[0], '\x88');
}

}  // namespace
}  // namespace movrek
