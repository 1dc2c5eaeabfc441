// Whole runs of the program on memory files. The input holds up to five
// parts split by kSeparator: the configuration, the record template, the
// list, and the header and footer of every report (a part left out is a file
// that does not exist).
//
// Besides crashes it checks that the size of the reads never changes a run,
// that reports keep the DOS line ends, and that a file call failing for lack
// of memory ends the run with exit code 8 and its message. movrek32-check
// checks the same files and must write nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "check/check_program.h"
#include "driver/messages.h"
#include "memory_files.h"

namespace {

using movrek::testing::MemoryFiles;
using movrek::testing::MemoryHost;

constexpr std::string_view kSeparator = "\n=====\n";
constexpr const char* kFileNames[] = {"/prog/movrek.cfg", "/prog/newfile.rpt", "list.lst",
                                      "header.txt", "footer.txt"};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct Outcome {
  int exit = 0;
  std::string console;
  std::map<std::string, std::string> files;
  std::set<std::string> created;
  bool operator==(const Outcome&) const = default;
};

Outcome run(std::string_view input, std::size_t chunk, long fail_at, MemoryFiles::Fault fault,
            MemoryHost::Program program = movrek::program_main) {
  MemoryHost host;
  for (const char* name : kFileNames) {
    const std::size_t at = input.find(kSeparator);
    host.memory.files[name] = std::string(input.substr(0, at));
    if (at == std::string_view::npos) break;
    input.remove_prefix(at + kSeparator.size());
  }
  host.memory.chunk = chunk;
  host.memory.fail_at = fail_at;
  host.memory.fault = fault;
  // A report beyond this is a full disk: wide rules make big reports fast.
  host.memory.capacity = 1 << 20;
  Outcome out;
  out.exit = host.run({"list.lst", "main.rpt"}, program);
  out.console = std::move(host.console_bytes);
  out.files = std::move(host.memory.files);
  out.created = std::move(host.memory.created);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const Outcome whole = run(input, SIZE_MAX, 0, MemoryFiles::Fault::kIo);
  if (whole.exit < 0 || whole.exit > 7 || whole.exit == 1 || whole.exit == 4)
    fail("an exit code the program does not have");
  for (const std::string& report : whole.created) {
    const std::string& bytes = whole.files.at(report);
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
      if (i == 0 || bytes[i - 1] != '\r') fail("a report LF without CR");
    }
  }
  const Outcome checked =
      run(input, SIZE_MAX, 0, MemoryFiles::Fault::kIo, movrek::check::check_main);
  if (checked.exit != 0 && checked.exit != 1) fail("a check exit code other than 0 or 1");
  if (!checked.created.empty()) fail("the check wrote a file");
  for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}}) {
    if (!(run(input, chunk, 0, MemoryFiles::Fault::kIo) == whole))
      fail("the size of the reads changed the run");
  }
  // Some call, picked by the input, fails for lack of memory.
  const long call = 1 + static_cast<long>((size * 2654435761u) % 64);
  const Outcome starved = run(input, 7, call, MemoryFiles::Fault::kNoMemory);
  const std::string_view oom = movrek::messages::kOutOfMemory;
  if (starved.exit != 8 && !(starved == run(input, 7, 0, MemoryFiles::Fault::kIo)))
    fail("a call that failed for lack of memory changed the run");
  if (starved.exit == 8 && !starved.console.ends_with(oom))
    fail("out of memory without its message");
  return 0;
}
