#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fixture.h"

// Whole runs of movrek32 or movrek32-check on memory files, from the cases of
// runs.cases and checks.cases (see there for the sections).
namespace movrek::testing {

// The cases of a table, each completed with the sections of the table's case
// "defaults" that it neither has nor names in a "without" section.
std::vector<FixtureCase> run_cases(const char* table);

struct Outcome {
  int exit = 0;
  std::string console;  // after movrek32's banner
  std::map<std::string, std::string> files;
  std::set<std::string> created;
  long calls = 0;
  std::string failed;             // the call that failed, if one did
  std::size_t failed_offset = 0;  // of a failed read
};

// Runs a case; `replace` gives files other bytes, or removes them (nullopt).
using Replacements = std::map<std::string, std::optional<std::string>>;
Outcome run_case(const FixtureCase& c, std::size_t chunk = SIZE_MAX,
                 const Replacements& replace = {});

// Every file after the run of `c`: its files, and its "out NAME" sections
// over them.
std::map<std::string, std::string> files_after(const FixtureCase& c);

// What differs between two sets of files, a line each ("no file NAME",
// "unexpected file NAME", "file NAME: got ... want ..."); empty when nothing.
std::string file_differences(const std::map<std::string, std::string>& actual,
                             const std::map<std::string, std::string>& expected);

}  // namespace movrek::testing
