#include "whole_run.h"

#include <algorithm>

#include "check/check_program.h"
#include "driver/messages.h"
#include "memory_files.h"
#include "text/format.h"
#include "version.h"

namespace movrek::testing {

std::vector<FixtureCase> run_cases(const char* table) {
  std::vector<FixtureCase> cases = load_fixture(table);
  const FixtureCase defaults = cases.front();
  cases.erase(cases.begin());
  for (FixtureCase& c : cases) {
    for (const auto& [name, text] : defaults.raw) {
      if (!c.has("without " + name.substr(name.find(' ') + 1))) c.raw.emplace(name, text);
    }
  }
  return cases;
}

// "file NAME" sections are files, "dir NAME" directories, "link NAME" a name
// that stands for the name it holds, "args" the
// arguments (one a line), "windows" makes the host a Windows one, "fail" names
// the call to fail ("N io" or "N memory"), "check" runs movrek32-check instead
// of movrek32.
Outcome run_case(const FixtureCase& c, std::size_t chunk, const Replacements& replace) {
  MemoryHost host;
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("file ")) host.memory.files[name.substr(5)] = c.file(name);
    if (name.starts_with("dir ")) host.memory.directories.insert(name.substr(4));
    if (name.starts_with("link "))
      host.memory.links[name.substr(5)] = c.text(name).substr(0, c.text(name).find('\n'));
  }
  for (const auto& [name, bytes] : replace) {
    if (bytes) host.memory.files[name] = *bytes;
    if (!bytes) host.memory.files.erase(name);
  }
  if (c.has("windows")) {
    host.system = {"C:\\prog\\", '\\', "-/", true};
    host.current_dir = "C:\\work\\";
    host.memory.windows_names = true;
  }
  if (c.has("fail")) {
    host.memory.fail_at = std::stol(c.text("fail"));
    if (c.text("fail").find("memory") != std::string::npos)
      host.memory.fault = MemoryFiles::Fault::kNoMemory;
  }
  host.memory.chunk = chunk;
  Outcome out;
  out.exit =
      host.run(split(c.text("args"), '\n'), c.has("check") ? check::check_main : program_main);
  const std::string banner =
      c.has("check") ? std::string()
                     : format_message(messages::kBanner,
                                      {decimal_text(kVersionMajor), decimal_text(kVersionMinor)});
  out.console = host.console_bytes.starts_with(banner) ? host.console_bytes.substr(banner.size())
                                                       : "(no banner) " + host.console_bytes;
  out.files = std::move(host.memory.files);
  out.created = std::move(host.memory.created);
  out.calls = host.memory.calls();
  out.failed = host.memory.failed();
  out.failed_offset = host.memory.failed_offset();
  return out;
}

std::map<std::string, std::string> files_after(const FixtureCase& c) {
  std::map<std::string, std::string> files;
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("file ")) files[name.substr(5)] = c.file(name);
  }
  for (const auto& [name, text] : c.raw) {
    if (name.starts_with("out ")) files[name.substr(4)] = c.file(name);
  }
  return files;
}

std::string file_differences(const std::map<std::string, std::string>& actual,
                             const std::map<std::string, std::string>& expected) {
  std::string out;
  for (const auto& [name, bytes] : expected) {
    const auto it = actual.find(name);
    if (it == actual.end()) {
      out += "no file " + name + "\n";
    } else if (it->second != bytes) {
      out += "file " + name + ": got " + show(it->second) + " want " + show(bytes) + "\n";
    }
  }
  for (const auto& [name, bytes] : actual) {
    if (expected.count(name) == 0) out += "unexpected file " + name + "\n";
  }
  return out;
}

}  // namespace movrek::testing
