// The checks against movrek32 on the same files in memory, over generated
// configurations, templates and lists whose reports name each other or an
// input by other spellings: the reports planned are the reports written, area
// by area; the exit code predicted is movrek32's; a run that fails is an error
// found; and the checks write nothing, whatever call fails.
#include "check/checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"
#include "fixture.h"
#include "memory_files.h"

namespace movrek::check {
namespace {

using testing::MemoryFiles;
using testing::split;

// Half a second natively, a few seconds under a sanitizer.
constexpr int kRuns = 5000;

// The files of a run and movrek32's arguments.
struct RunFiles {
  std::map<std::string, std::string> files;
  std::set<std::string> directories{"out"};
  std::map<std::string, std::string> links;
  std::vector<std::string> args;
  std::size_t fail_seed = 0;  // picks the call of the checks to fail

  void fill(MemoryFiles& memory) const {
    memory.files = files;
    memory.directories = directories;
    memory.links = links;
  }
  std::string shown() const {
    std::string out = "args: " + args[0] + " " + args[1] + "\ndirs:";
    for (const std::string& name : directories)
      out += " " + name;
    for (const auto& [name, target] : links)
      out += "\nlink " + name + " -> " + target;
    for (const auto& [name, bytes] : files)
      out += "\nfile " + name + ": " + testing::show(bytes);
    return out + "\n";
  }
};

// Choices, '|' between them. Reports and frames by several spellings:
// "./a.rpt", "/work/a.rpt" and "sub/../b.rpt" stand for a.rpt and b.rpt,
// "l.rpt" for a file chosen per run; "out" is a directory, "none" is not
// there, and neither is "gone.txt".
const auto kReports = split(
    "a.rpt|./a.rpt|/work/a.rpt|b.rpt|sub/../b.rpt|l.rpt|out/c.rpt|none/d.rpt|out|new.lst|"
    "./new.lst|hdr.txt|/prog/movrek.cfg|/prog/newfile.rpt",
    '|');
const auto kFrames = split("hdr.txt|./hdr.txt|ftr.txt|gone.txt|a.rpt|l.rpt|new.lst|out", '|');
const auto kLinked =
    split("new.lst|hdr.txt|a.rpt|b.rpt|gone.txt|/prog/movrek.cfg|/prog/newfile.rpt", '|');
const auto kAreas = split("FILES|files|NODELIST|DOSUTILS|PRIVATE|X*||" + std::string(40, 'L'), '|');
const auto kNames = split("A.ZIP||a.zip|B.ZIP|LONG_FILE_NAME_OF_MANY.ZIP", '|');
const auto kSizes = split(
    "100|0||4294967296|18446744073709551615|18446744073709551616|12k| 7|99999999999999999999", '|');
const auto kTexts =
    split("|Archiver|A description long enough to wrap twice in a report of the usual width", '|');
const auto kWidths = split("0|20|40|132|-1|x|4294967375", '|');
const auto kBadLines =
    split("BOGUS line|ENDGROUP|DRUVODIR|REPORT x.rpt|; " + std::string(1100, 'x'), '|');

std::string joined(const std::vector<std::string>& lines, const std::string& end) {
  std::string out;
  for (const std::string& line : lines)
    out += line + end;
  return out;
}

struct Generator {
  std::mt19937 rng{22};

  std::size_t below(std::size_t n) { return rng() % n; }
  bool chance(unsigned percent) { return rng() % 100 < percent; }
  const std::string& pick(const std::vector<std::string>& from) { return from[below(from.size())]; }

  RunFiles next() {
    RunFiles s;
    s.links = {{"./a.rpt", "a.rpt"},     {"/work/a.rpt", "a.rpt"}, {"sub/../b.rpt", "b.rpt"},
               {"./hdr.txt", "hdr.txt"}, {"./new.lst", "new.lst"}, {"l.rpt", pick(kLinked)}};
    if (chance(90)) s.files["hdr.txt"] = "Header\r\n";
    if (chance(50)) s.files["ftr.txt"] = "Footer\n";
    if (chance(30)) s.files["header.txt"] = "Default header\n";
    if (chance(20)) s.files["b.rpt"] = "an old report\n";
    place(s, "/prog/movrek.cfg", config());
    // A template of one letter a line, now and then with lines left out,
    // added or of other letters.
    std::string tags = "AELFSDO";
    if (chance(25)) {
      tags.resize(1 + below(8), 'X');
      for (char& tag : tags)
        tag = chance(25) ? "AELFSDOX"[below(8)] : tag;
    }
    std::vector<std::string> entries;
    for (const char tag : tags)
      entries.push_back(std::string("@") + tag);
    std::string tmpl = joined(entries, chance(90) ? "\n" : "\r\n");
    if (chance(3)) tmpl = std::string("\0A\n", 3) + tmpl;
    place(s, "/prog/newfile.rpt", tmpl);
    if (chance(70)) s.files["tpl/newfile.rpt"] = tmpl;
    place(s, "new.lst", list(chance(85) ? tags : "AELFSDO"));
    s.args = {chance(80) ? "new.lst" : "./new.lst", pick(kReports)};
    s.fail_seed = rng();
    return s;
  }

  // A file that is there, or is not, or is a directory.
  void place(RunFiles& s, const std::string& name, const std::string& bytes) {
    const std::size_t how = below(100);
    if (how < 90) s.files[name] = bytes;
    if (how >= 95) s.directories.insert(name);
  }

  std::string areas() {
    std::string out;
    for (std::size_t n = below(4); n > 0; --n)
      out += " " + pick(kAreas);
    return out;
  }

  std::string config() {
    std::vector<std::string> lines;
    if (chance(5)) lines.push_back("\xEF\xBB\xBF; saved by an editor");
    if (chance(40)) lines.push_back("EXCLUDEAREAS" + areas());
    if (chance(20)) lines.push_back("REPORTWIDTH " + pick(kWidths));
    if (chance(30)) lines.push_back("HEADER " + pick(kFrames));
    if (chance(30)) lines.push_back("FOOTER " + pick(kFrames));
    if (chance(10)) lines.push_back("DRUVODIR tpl");
    for (std::size_t groups = below(4); groups > 0; --groups) {
      lines.push_back("GROUP" + areas());
      if (chance(90)) lines.push_back("REPORT " + pick(kReports));
      if (chance(30)) lines.push_back("HEADER " + pick(kFrames));
      if (chance(30)) lines.push_back("FOOTER " + pick(kFrames));
      if (chance(95)) lines.push_back("ENDGROUP");
    }
    if (chance(15)) lines.insert(lines.begin() + below(lines.size() + 1), pick(kBadLines));
    return joined(lines, chance(50) ? "\n" : "\r\n");
  }

  // Records written for `tags`, the last of them cut short now and then, with
  // a NUL byte, an end-of-file byte or without the last line end.
  std::string list(const std::string& tags) {
    std::vector<std::string> lines;
    for (std::size_t records = below(10); records > 0; --records) {
      for (const char tag : tags) {
        lines.push_back(tag == 'A'   ? pick(kAreas)
                        : tag == 'F' ? pick(kNames)
                        : tag == 'S' ? pick(kSizes)
                                     : pick(kTexts));
      }
    }
    if (chance(15)) lines.resize(lines.size() - std::min(lines.size(), below(tags.size()) + 1));
    const std::string end = chance(70) ? "\n" : "\r\n";
    std::string out = joined(lines, end);
    if (chance(10) && !out.empty()) out.insert(below(out.size()), 1, '\0');
    if (chance(3) && !out.empty()) out.insert(below(out.size()), 1, '\x1A');
    if (chance(15) && !out.empty()) out.resize(out.size() - end.size());
    return out;
  }
};

std::string area_line(std::string_view name, unsigned long long files, unsigned long long bytes) {
  return std::string(name) + ": " + std::to_string(files) + " files, " + std::to_string(bytes) +
         " bytes\n";
}

// The areas of a report as its area heads and total lines (" Total [of B
// bytes in ]N file(s)") tell them; a head that starts with the area name
// planned at its place shows as that name.
std::string areas_written(const std::string& report, const std::vector<AreaTotal>& planned) {
  std::string out, head;
  std::size_t index = 0;
  for (std::string line : split(report, '\n')) {
    if (line.ends_with('\r')) line.pop_back();
    if (line.starts_with(" Area ")) {
      head = line.substr(6);
      const std::string_view name =
          index < planned.size() ? std::string_view(planned[index++].name) : std::string_view();
      if (head.starts_with(name) && (head.size() == name.size() || head[name.size()] == ' '))
        head = name;
    } else if (line.starts_with(" Total ")) {
      char* files = line.data() + 7;
      const unsigned long long bytes =
          line.starts_with(" Total of ") ? std::strtoull(line.c_str() + 10, &files, 10) : 0;
      if (bytes != 0) files += std::string_view(" bytes in ").size();
      out += area_line(head, std::strtoull(files, nullptr, 10), bytes);
    }
  }
  return out;
}

// What one run shows of disagreement between the two programs, a line each.
std::string disagreements(const RunFiles& setup, int& exit) {
  testing::MemoryHost writer;
  setup.fill(writer.memory);
  exit = writer.run(setup.args);
  MemoryFiles checked;
  setup.fill(checked);
  const Request request{.config_path = "/prog/movrek.cfg",
                        .template_dir = "/prog/",
                        .template_name = std::string(kTemplateName),
                        .list_path = setup.args[0],
                        .report_path = setup.args[1],
                        .current_dir = "/work/"};
  const Result result = run_checks(request, checked);
  const Summary& summary = result.summary;
  std::string out;
  if (!checked.created.empty() || checked.files != setup.files) out += "the checks wrote\n";
  if (summary.exit_code && *summary.exit_code != exit)
    out += "predicted exit code " + std::to_string(*summary.exit_code) + "\n";
  if (exit != 0 && std::none_of(result.findings.begin(), result.findings.end(),
                                [](const Finding& f) { return f.level() == Level::kError; }))
    out += "no error found\n";
  if (exit == 0 && !summary.list_read) out += "the list was not read\n";
  // A file holds the areas of the last report with files written to it.
  std::map<std::string, const ReportPlan*> last;
  for (const ReportPlan& plan : summary.reports) {
    if (plan.report && plan.files > 0) last[writer.memory.resolve(*plan.report)] = &plan;
  }
  for (const std::string& file : writer.memory.created) {
    if (last.count(file) == 0) out += "unplanned report " + file + "\n";
  }
  for (const auto& [file, plan] : last) {
    if (exit != 0) break;
    std::string want;
    for (const AreaTotal& area : plan->areas)
      want += area_line(area.name, area.files, area.bytes);
    const std::string got = areas_written(writer.memory.files[file], plan->areas);
    if (writer.memory.created.count(file) == 0) out += "report " + file + " not written\n";
    if (got != want) out += "report " + file + ": planned\n" + want + "written\n" + got;
  }
  // Whatever call fails, the checks write nothing, and only memory running
  // out ends them early.
  for (const MemoryFiles::Fault fault : {MemoryFiles::Fault::kIo, MemoryFiles::Fault::kNoMemory}) {
    MemoryFiles failing;
    setup.fill(failing);
    failing.fault = fault;
    failing.fail_at = 1 + static_cast<long>(setup.fail_seed % std::max(1L, checked.calls()));
    try {
      run_checks(request, failing);
    } catch (const std::bad_alloc&) {
    }
    if (!failing.created.empty() || failing.files != setup.files)
      out += "the checks wrote after " + failing.failed() + " failed\n";
  }
  if (!out.empty())
    out += "movrek32 exits " + std::to_string(exit) + "\n" + testing::show(writer.console_bytes);
  return out;
}

TEST(Checker, PlansWhatMovrek32Writes) {
  Generator generate;
  std::map<int, int> exits;
  int failed = 0;
  for (int run = 0; run < kRuns; ++run) {
    const RunFiles setup = generate.next();
    int exit = 0;
    const std::string wrong = disagreements(setup, exit);
    ++exits[exit];
    if (!wrong.empty() && ++failed <= 3)
      ADD_FAILURE() << "run " << run << ":\n" << setup.shown() << wrong;
  }
  EXPECT_EQ(failed, 0) << "runs that disagree, of " << kRuns;
  // Every way a run ends is met: reports written, no list, a list refused,
  // a report not written, a group without a report, a template missing.
  for (const int code : {0, 2, 3, 5, 6, 7})
    EXPECT_GT(exits[code], kRuns / 100) << "runs that exit with " << code;
}

TEST(Checker, PlansWhatMovrek32WritesWithTheBundledExample) {
  // The program's own files beside it, the others in the current directory.
  RunFiles example;
  for (const std::string name : {"/prog/movrek.cfg", "/prog/newfile.rpt", "newfiles.lst",
                                 "header.txt", "footer.txt", "nodelist.hdr"}) {
    std::ifstream in(MOVREK_EXAMPLES_DIR + name.substr(name.rfind('/') + 1), std::ios::binary);
    ASSERT_TRUE(in) << name;
    example.files[name].assign(std::istreambuf_iterator<char>(in), {});
  }
  example.args = {"newfiles.lst", "newfiles.rpt"};
  int exit = -1;
  EXPECT_EQ(disagreements(example, exit), "");
  EXPECT_EQ(exit, 0);
}

}  // namespace
}  // namespace movrek::check
