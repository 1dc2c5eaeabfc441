#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/names.h"

namespace movrek {

// Areas whose files are never announced. Names are compared with compare_names.
class ExcludedAreas {
 public:
  void add(std::string_view name) {
    names_.emplace_back(name);
    set_.emplace(names_.back());
  }
  bool contains(std::string_view area_name) const { return set_.count(area_name) != 0; }
  // The names in the order added.
  const std::vector<std::string>& added() const { return names_; }
  bool empty() const { return names_.empty(); }

 private:
  std::vector<std::string> names_;  // in the order added
  std::unordered_set<std::string, NameHash, NameEqual> set_;
};

// The settings of one run. The configuration reader changes them; the input
// reader and the report writer read them.
struct Settings {
  static constexpr std::int32_t kDefaultReportWidth = 79;

  std::int32_t report_width = kDefaultReportWidth;
  std::string no_description = "No description found";
  // Where newfile.rpt is looked for; ends in a directory separator.
  std::string template_dir;
  ExcludedAreas excluded_areas;
};

}  // namespace movrek
