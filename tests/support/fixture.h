#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"

// Data-driven unit tests: cases live in tests/unit/data/*.cases, each a named
// set of sections (inputs and expected dumps), so that a table of cases is data,
// not code. File format:
//
//   any text before the first case is a comment
//   === name of the case
//   --- section name
//   lines of the section ... (every line up to the next --- or ===)
//
// Input sections are decoded: \r \n \t \0 \\ and \xHH stand for their bytes, and
// a backslash at the very end of a line joins it to the next without a line
// feed (so "abc\" as the last line of a section means no final line feed).
// Sections compared with dumps are taken literally.
namespace movrek::testing {

struct FixtureCase {
  std::string name;
  int line = 0;                            // where the case starts, for failure messages
  std::map<std::string, std::string> raw;  // section name -> text as written

  bool has(const std::string& section) const { return raw.count(section) != 0; }
  // The decoded bytes of an input section (empty when it is missing).
  std::string bytes(const std::string& section) const;
  // A file of a whole run: UTF-8 characters stand for their CP866 bytes,
  // {N*c} for N bytes c, and every line end of the section for CR LF.
  std::string file(const std::string& section) const;
  // Console output: as file(), but a line end stays a line feed.
  std::string console(const std::string& section) const;
  // The literal text of a section (empty when it is missing).
  std::string text(const std::string& section) const;
  std::string where() const { return "case '" + name + "' at line " + std::to_string(line); }
};

std::vector<FixtureCase> load_fixture(std::string_view file_name);

// How gtest shows a case: by its name.
inline void PrintTo(const FixtureCase& c, std::ostream* os) {
  *os << c.name;
}

// A case's name as a test name: letters and digits, the rest as '_'.
std::string test_name(std::string_view case_name);

// A text as the dumps show it: "..." with control and high bytes as \xHH, or none.
std::string show(Text text);

// One line per group, area and file, in report order.
std::string dump_catalog(const Catalog& catalog);
// The settings, one per line.
std::string dump_settings(const Settings& settings);

// Expands each "{N*c}" into N copies of the byte c, so that long lines stay
// short in the data files. Anything else is kept as it is.
std::string expand_runs(std::string_view in);

// The pieces of `text` between the `separator` bytes; a separator at the very end
// ends the last piece (so the lines of a section are split(text, '\n')).
std::vector<std::string> split(std::string_view text, char separator);

// A table: one row per line of `text`, its fields separated by '|' (an empty
// last field counts) and decoded like an input section.
std::vector<std::vector<std::string>> rows(std::string_view text);

// Runs catalog steps and returns the dumps. `groups`: one configured group per
// line, its area names separated by '|', appended in order, except that a line
// starting with "*|" is a group appended only at a "*" step or at the end.
// `steps`, one per line: a record "area|file|size|area description|link|file
// description|origin" (~ or a field left off at the end is a missing text),
// "+|group|area|description|link" (insert_area; group 0 is the default group,
// then the groups in order), or "=" (dump the catalog here). The catalog is
// dumped once more at the end.
std::string run_catalog_steps(std::string_view groups, std::string_view steps);

}  // namespace movrek::testing
