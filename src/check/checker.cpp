#include "check/checker.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string_view>

#include "catalog/catalog.h"
#include "config/config_reader.h"
#include "config/settings.h"
#include "input/new_files_reader.h"
#include "input/template_reader.h"
#include "report/report_writer.h"
#include "text/char_class.h"
#include "text/decimal.h"
#include "text/format.h"
#include "text/names.h"
#include "text/paths.h"
#include "text/take_word.h"
#include "text/text_reader.h"

namespace movrek::check {

namespace {

// A line in error is shown up to this many bytes.
constexpr std::size_t kShownLine = 60;

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return is_digit(static_cast<unsigned char>(c));
  });
}

std::string_view trimmed(std::string_view text) {
  skip_space(text);
  while (!text.empty() && is_space(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// True when the text's bytes from 0x80 up are all well-formed UTF-8 and spell
// at least two Cyrillic letters (U+0400 to U+045F): Russian typed in a UTF-8
// editor. In CP866 those would be a box-drawing byte before each letter,
// which real texts hardly ever hold; other UTF-8 letters are left alone, as
// CP866 box drawing forms them all the time (the rule byte and a corner, C4
// BF, read as U+013F).
bool utf8_letters(std::string_view text) {
  int letters = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len = 0;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > text.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
    if (cp >= 0x400 && cp <= 0x45F) ++letters;
    i += len;
  }
  return letters >= 2;
}

// A line as a finding quotes it: control bytes as '?', a long line cut.
std::string shown(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, kShownLine)) {
    const unsigned char b = static_cast<unsigned char>(c);
    out.push_back(b == '\t' ? ' ' : b < 0x20 ? '?' : c);
  }
  if (text.size() > kShownLine) out += "...";
  return out;
}

// Edit distance over folded ASCII letters.
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = fold_case(static_cast<unsigned char>(a[i - 1])) ==
                        fold_case(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The keyword that a word which is none was probably meant to be: one that
// begins it (HEADER=x), or one within two typing slips of it.
std::optional<std::string_view> meant_keyword(std::string_view word) {
  std::optional<std::string_view> prefix, near;
  std::size_t near_distance = 3;
  for (int i = 0; i <= static_cast<int>(Keyword::kReportWidth); ++i) {
    const std::string_view keyword = keyword_text(static_cast<Keyword>(i));
    if (word.size() > keyword.size() && names_equal(word.substr(0, keyword.size()), keyword)) {
      if (!prefix || keyword.size() > prefix->size()) prefix = keyword;
    } else if (const std::size_t d = distance(word, keyword); d < near_distance) {
      near = keyword;
      near_distance = d;
    }
  }
  return prefix ? prefix : near;
}

struct NameLess {
  bool operator()(std::string_view a, std::string_view b) const { return compare_names(a, b) < 0; }
};

// The lines of the configuration that made a group what it is.
struct GroupLines {
  int group = 0;
  int report = 0;
  int header = 0;
  int footer = 0;
};

class Checker final : public ConfigObserver, public ListObserver {
 public:
  Checker(const Request& request, FileSystem& files) : request_(request), files_(files) {}

  Result run();

  void keyword_line(int number, std::string_view text, Keyword keyword, std::string_view argument,
                    const Group* group) override;
  void line_in_error(int number, std::string_view text, LineError why) override;
  void group_left_open(const Group& group) override;

  void excluded(const InputRecord& record) override;
  void left_over(std::span<const std::string_view> lines) override;

 private:
  void add(Kind kind, const std::string& file, int line, std::vector<std::string> args = {}) {
    result_.findings.push_back({kind, file, line, std::move(args)});
  }
  void config_finding(Kind kind, int line, std::vector<std::string> args = {}) {
    add(kind, request_.config_path, line, std::move(args));
  }
  void list_finding(Kind kind, std::vector<std::string> args = {}) {
    add(kind, *request_.list_path, 0, std::move(args));
  }

  void read_configuration();
  void plan_reports();
  void check_groups();
  void check_headers();
  void read_template();
  void check_width();
  void read_list();
  void count_excluded();
  void check_files();
  void check_replaced_inputs();

  std::string full_path(std::string_view name) const;
  std::string file_key(std::string_view name) const;
  // The first line of a file that reads as UTF-8, 0 when none does, -1 when
  // the file cannot be opened.
  int first_utf8_line(const std::string& name);

  const Request& request_;
  FileSystem& files_;
  Settings settings_;
  Catalog catalog_;
  TemplateList tags_;
  std::string template_path_;
  bool template_read_ = false;
  bool list_read_ = false;
  std::map<const Group*, GroupLines> lines_;
  std::map<std::string, int, NameLess> excluded_at_;  // name -> its first EXCLUDEAREAS line
  std::size_t excluded_seen_ = 0;
  int open_group_line_ = 0;
  int width_line_ = 0;
  // What the list's excluded records hold: files and bytes by area name.
  std::map<std::string, AreaTotal, NameLess> excluded_totals_;
  std::size_t lines_lost_ = 0;     // at the end of the list, in no record
  std::vector<InputFile> inputs_;  // the configuration, template and list read
  Result result_;
};

void Checker::keyword_line(int number, std::string_view text, Keyword keyword,
                           std::string_view argument, const Group* group) {
  switch (keyword) {
    case Keyword::kGroup:
      lines_[group].group = number;
      open_group_line_ = number;
      break;
    case Keyword::kEndGroup:
      open_group_line_ = 0;
      break;
    case Keyword::kReport:
      if (group) {
        lines_[group].report = number;
      } else {
        config_finding(Kind::kReportOutsideGroup, number, {shown(text)});
      }
      break;
    case Keyword::kHeader:
      lines_[group].header = number;
      break;
    case Keyword::kFooter:
      lines_[group].footer = number;
      break;
    case Keyword::kNoDesc:
      if (utf8_letters(settings_.no_description)) config_finding(Kind::kUtf8Nodesc, number);
      break;
    case Keyword::kExcludeAreas: {
      const std::vector<std::string>& names = settings_.excluded_areas.added();
      for (; excluded_seen_ < names.size(); ++excluded_seen_)
        excluded_at_.emplace(names[excluded_seen_], number);
      break;
    }
    case Keyword::kReportWidth: {
      width_line_ = number;
      std::string_view cursor = argument;
      const auto word = take_word(cursor, LONG_MAX);
      if (!word || !all_digits(*word)) {
        config_finding(Kind::kWidthNotNumber, number,
                       {std::string(word.value_or("")), decimal_text(settings_.report_width)});
      }
      break;
    }
    case Keyword::kDruvoDir:
      break;
  }
}

void Checker::line_in_error(int number, std::string_view text, LineError why) {
  switch (why) {
    case LineError::kUnknownKeyword: {
      std::string_view cursor = text;
      const std::string_view word = take_word(cursor, LONG_MAX).value_or("");
      if (const auto meant = meant_keyword(word)) {
        config_finding(Kind::kUnknownKeywordLike, number,
                       {shown(word), std::string(*meant), shown(text)});
      } else {
        config_finding(Kind::kUnknownKeyword, number, {shown(word), shown(text)});
      }
      break;
    }
    case LineError::kGroupInGroup:
      config_finding(Kind::kGroupInGroup, number, {decimal_text(open_group_line_), shown(text)});
      break;
    case LineError::kEndGroupOutside:
      config_finding(Kind::kEndGroupOutside, number, {shown(text)});
      break;
    case LineError::kNoDirectory:
      config_finding(Kind::kNoDirectory, number, {shown(text)});
      break;
    case LineError::kDirectoryTooLong:
      config_finding(Kind::kDirectoryTooLong, number,
                     {decimal_text(static_cast<long long>(kTemplateDirLimit)), shown(text)});
      break;
    case LineError::kNegativeWidth:
      config_finding(Kind::kNegativeWidth, number, {shown(text)});
      break;
    case LineError::kReadFailed:
      config_finding(Kind::kConfigReadFailed, number);
      break;
  }
}

void Checker::group_left_open(const Group& group) {
  std::string areas;
  for (const Area* area : group.areas()) {
    if (!areas.empty()) areas += ", ";
    areas += area->name();
  }
  config_finding(Kind::kGroupLeftOpen, lines_[&group].group, {areas});
  lines_.erase(&group);  // the group is gone once the reading returns
}

std::string Checker::full_path(std::string_view name) const {
  if (request_.current_dir.empty() || is_absolute_path(name, request_.windows_names)) {
    return std::string(name);
  }
  return join_path(request_.current_dir, name, request_.separator);
}

std::string Checker::file_key(std::string_view name) const {
  std::string key = full_path(name);
  if (request_.windows_names) {
    for (char& c : key)
      c = c == '\\' ? '/' : static_cast<char>(fold_case(static_cast<unsigned char>(c)));
  }
  // "a//b" and "a/./b" name the file "a/b" names.
  for (std::size_t at; (at = key.find("/./")) != std::string::npos;)
    key.erase(at, 2);
  for (std::size_t at; (at = key.find("//", 1)) != std::string::npos;)
    key.erase(at, 1);
  if (key.starts_with("./")) key.erase(0, 2);
  return key;
}

int Checker::first_utf8_line(const std::string& name) {
  const auto source = file_or_null(files_.open(name));
  if (!source) return -1;
  TextReader reader(*source);
  std::string_view line;
  for (int number = 1; reader.read_lines(1, &line) == 1; ++number) {
    if (utf8_letters(line)) return number;
  }
  return 0;
}

void Checker::read_configuration() {
  settings_.template_dir = request_.template_dir;
  const ConfigResult result =
      read_config(files_, request_.config_path, request_.separator, settings_, catalog_, this);
  if (result.identity) inputs_.push_back({request_.config_path, *result.identity});
  if (result.status == ConfigResult::Status::kCannotOpen) {
    if (request_.config_named) {
      config_finding(Kind::kConfigCannotOpen, 0);
    } else {
      config_finding(Kind::kConfigMissing, 0);
    }
    return;
  }
  // A byte-order mark makes the first line a comment.
  if (const auto source = file_or_null(files_.open(request_.config_path))) {
    char head[3] = {};
    std::size_t got = 0;
    for (long n; got < sizeof head && (n = source->read(head + got, sizeof head - got)) > 0;)
      got += static_cast<std::size_t>(n);
    if (std::string_view(head, got) == "\xEF\xBB\xBF") config_finding(Kind::kConfigBom, 1);
  }
}

void Checker::plan_reports() {
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const Group& group = *groups[i];
    ReportPlan plan;
    plan.group = static_cast<int>(i);
    plan.line = lines_[&group].group;
    plan.report = i == 0 ? request_.report_path : group.report;
    plan.header = group.header;
    plan.footer = group.footer;
    if (i > 0) {
      for (const Area* area : group.areas())
        plan.named_areas.emplace_back(area->name());
    }
    result_.summary.reports.push_back(std::move(plan));
  }
}

void Checker::check_groups() {
  const auto& groups = catalog_.groups();
  std::map<std::string, std::size_t> report_of;  // file key -> the first group writing it
  if (request_.report_path) report_of.emplace(file_key(*request_.report_path), 0);
  std::map<std::string, std::size_t, NameLess> first_group;  // area -> the group that gets it
  for (std::size_t i = 1; i < groups.size(); ++i) {
    const Group& group = *groups[i];
    const GroupLines& at = lines_[&group];
    if (!group.report) {
      config_finding(Kind::kGroupWithoutReport, at.group,
                     {decimal_text(static_cast<long long>(i))});
    } else {
      const std::string key = file_key(*group.report);
      const auto [it, fresh] = report_of.emplace(key, i);
      if (!fresh && it->second == 0) {
        config_finding(Kind::kSameAsMainReport, at.report, {*group.report});
      } else if (!fresh) {
        config_finding(Kind::kSameReportFile, at.report,
                       {*group.report, decimal_text(lines_[groups[it->second].get()].report)});
      }
    }
    for (const Area* area : group.areas()) {
      const std::string name(area->name());
      if (const auto excluded = excluded_at_.find(name); excluded != excluded_at_.end()) {
        config_finding(Kind::kAreaExcludedAndGrouped, at.group,
                       {name, decimal_text(excluded->second)});
        continue;
      }
      const auto [it, fresh] = first_group.emplace(name, i);
      if (!fresh) {
        const Group& earlier = *groups[it->second];
        config_finding(Kind::kAreaInTwoGroups, at.group,
                       {name, decimal_text(lines_[&earlier].group), earlier.report.value_or("")});
      }
    }
  }
}

void Checker::check_headers() {
  // Each file is looked at once, whichever groups name it.
  std::map<std::string, std::optional<std::string>> missing;  // name -> the path looked at
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const GroupLines& at = lines_[groups[i].get()];
    ReportPlan& plan = result_.summary.reports[i];
    for (const bool header : {true, false}) {
      const std::optional<std::string>& name = header ? plan.header : plan.footer;
      if (!name) continue;
      auto seen = missing.find(*name);
      if (seen == missing.end()) {
        std::optional<std::string> looked_at;
        const int line = first_utf8_line(*name);
        if (line < 0) {
          looked_at = full_path(*name);
        } else if (line > 0) {
          add(header ? Kind::kUtf8Header : Kind::kUtf8Footer, *name, line);
        }
        seen = missing.emplace(*name, looked_at).first;
      }
      if (!seen->second) continue;
      (header ? plan.header_missing : plan.footer_missing) = seen->second;
      // A default name that is not there is the usual way to go without.
      const int line = header ? at.header : at.footer;
      if (line != 0) {
        config_finding(header ? Kind::kHeaderNotFound : Kind::kFooterNotFound, line,
                       {*name, *seen->second});
      }
    }
  }
}

void Checker::read_template() {
  template_path_ = join_path(settings_.template_dir, request_.template_name, request_.separator);
  const TemplateResult result = movrek::read_template(files_, template_path_, tags_);
  if (result.identity) inputs_.push_back({template_path_, *result.identity});
  switch (result.status) {
    case TemplateResult::Status::kCannotOpen:
      add(Kind::kTemplateMissing, template_path_, 0, {full_path(template_path_)});
      return;
    case TemplateResult::Status::kNulPiece:
      add(Kind::kTemplateNul, template_path_, result.piece);
      return;
    case TemplateResult::Status::kReadFailed:
      add(Kind::kTemplateReadFailed, template_path_, result.piece);
      return;
    case TemplateResult::Status::kRead:
      break;
  }
  template_read_ = true;
  switch (template_fault(tags_)) {
    case TemplateFault::kNone:
      break;
    case TemplateFault::kEmpty:
      add(Kind::kTemplateEmpty, template_path_, 0);
      break;
    case TemplateFault::kNoArea:
      add(Kind::kTemplateWithoutArea, template_path_, 0);
      break;
    case TemplateFault::kNoFile:
      add(Kind::kTemplateWithoutFile, template_path_, 0);
      break;
    case TemplateFault::kNoAreaNorFile:
      add(Kind::kTemplateWithoutArea, template_path_, 0);
      add(Kind::kTemplateWithoutFile, template_path_, 0);
      break;
  }
}

void Checker::check_width() {
  const std::int32_t width = settings_.report_width;
  const bool sizes = !template_read_ || std::find(tags_.begin(), tags_.end(), 'S') != tags_.end();
  const long least = layout::min_width_for_description(false);
  const long least_with_size = layout::min_width_for_description(true);
  if (width < least) {
    config_finding(Kind::kWidthNoRoom, width_line_, {decimal_text(width), decimal_text(least)});
  } else if (width < least_with_size && sizes) {
    config_finding(Kind::kWidthNoRoomWithSize, width_line_,
                   {decimal_text(width), decimal_text(least_with_size)});
  }
}

void Checker::read_list() {
  if (!request_.list_path || !template_read_) return;
  const std::string& path = *request_.list_path;
  const auto source = file_or_null(files_.open(path));
  if (!source) {
    add(Kind::kListCannotOpen, path, 0, {full_path(path)});
    return;
  }
  if (const auto id = source->identity()) inputs_.push_back({path, *id});
  switch (read_new_files(*source, tags_, settings_.excluded_areas, catalog_, this)) {
    case ListResult::kRead:
      list_read_ = true;
      break;
    case ListResult::kReadFailed:
      add(Kind::kListReadFailed, path, 0);
      return;
    case ListResult::kEmptyTemplate:
    case ListResult::kRecordWithoutNames:
      add(Kind::kListRefused, path, 0);
      return;
  }
  catalog_.arrange();
  if (lines_lost_ > 0) list_finding(Kind::kRecordsLost, {decimal_text(lines_lost_)});
}

// The reports that movrek32 will not create, since each would replace a file
// that the run reads: the list, the configuration, the template, or a header
// or footer of a report with files. It stops at the first.
void Checker::check_replaced_inputs() {
  std::vector<InputFile> inputs = inputs_;
  for (InputFile& frame : frame_files(catalog_, files_))
    inputs.push_back(std::move(frame));
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const std::optional<std::string>& report = i == 0 ? request_.report_path : groups[i]->report;
    if (groups[i]->file_count() == 0 || !report) continue;
    bool unknown = false;
    const InputFile* input = replaced_input(files_, *report, inputs, unknown);
    if (!input && !unknown) continue;
    const std::string& file = i == 0 ? *request_.list_path : request_.config_path;
    const int line = i == 0 ? 0 : lines_[groups[i].get()].report;
    if (input) {
      add(Kind::kReportReplacesInput, file, line, {*report, input->path});
    } else {
      add(Kind::kReportUnidentified, file, line, {*report});
    }
    return;
  }
}

void Checker::excluded(const InputRecord& record) {
  AreaTotal& total = excluded_totals_[std::string(*record.area_name)];
  ++total.files;
  if (record.size) total.bytes += layout::size_value(*record.size);
}

void Checker::left_over(std::span<const std::string_view> lines) {
  // Lines of blanks only are the usual end of a list.
  if (std::any_of(lines.begin(), lines.end(),
                  [](std::string_view line) { return !trimmed(line).empty(); })) {
    lines_lost_ = lines.size();
  }
}

// The files of each excluded area, in the order the configuration names
// them, each name once.
void Checker::count_excluded() {
  std::set<std::string, NameLess> done;
  for (const std::string& name : settings_.excluded_areas.added()) {
    if (!done.insert(name).second) continue;
    AreaTotal total{name};
    if (const auto it = excluded_totals_.find(name); it != excluded_totals_.end()) {
      total.files = it->second.files;
      total.bytes = it->second.bytes;
    }
    result_.summary.excluded.push_back(std::move(total));
  }
}

// What the reports will show of the list: names cut to 12 bytes, sizes that
// are no plain numbers or are cut to 8 bytes, files listed twice, totals
// beyond 32 bits, texts in UTF-8. Fills the summary's areas.
void Checker::check_files() {
  long long utf8_texts = 0;
  long long empty_sizes = 0;
  std::vector<std::string> first_utf8;  // file name, area
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    ReportPlan& plan = result_.summary.reports[i];
    for (const Area* area_ptr : groups[i]->areas()) {
      const Area& area = *area_ptr;
      if (area.file_count() == 0) continue;
      const std::string area_name(area.name());
      const std::span<const FileEntry> files = area.files();
      AreaTotal total{area_name};
      const auto note_utf8 = [&](Text text, std::string_view file) {
        if (!text || !utf8_letters(*text)) return;
        if (utf8_texts++ == 0) first_utf8 = {std::string(file), area_name};
      };
      note_utf8(area.name(), files.front().name());
      note_utf8(area.description(), files.front().name());
      note_utf8(area.link(), files.front().name());
      for (std::size_t k = 0; k < files.size(); ++k) {
        const FileEntry& file = files[k];
        const std::string name(file.name());
        ++total.files;
        if (const Text size = file.size()) {
          total.bytes += layout::size_value(*size);
          const std::string_view digits = trimmed(*size);
          if (size->empty()) {
            ++empty_sizes;  // a list without sizes: told once
          } else if (!all_digits(digits) || digits.size() > 19) {
            list_finding(Kind::kSizeNotDecimal, {std::string(*size), name, area_name,
                                                 unsigned_decimal_text(layout::size_value(*size))});
          }
        }
        note_utf8(file.name(), name);
        note_utf8(file.description(), name);
        note_utf8(file.origin(), name);
        // Equal names stand together: count each run once, at its start.
        if (k > 0 && names_equal(files[k - 1].name(), file.name())) continue;
        std::size_t same = 1;
        while (k + same < files.size() && names_equal(files[k + same].name(), file.name()))
          ++same;
        if (same > 1) {
          list_finding(Kind::kDuplicateFile,
                       {name, area_name, decimal_text(static_cast<long long>(same))});
        }
      }
      plan.files += total.files;
      plan.bytes += total.bytes;
      plan.areas.push_back(std::move(total));
    }
  }
  if (empty_sizes > 0) list_finding(Kind::kSizesEmpty, {decimal_text(empty_sizes)});
  if (utf8_texts > 0) {
    list_finding(Kind::kUtf8List, {decimal_text(utf8_texts), first_utf8[0], first_utf8[1]});
  }
}

Result Checker::run() {
  read_configuration();
  plan_reports();
  check_groups();
  check_headers();
  read_template();
  check_width();
  read_list();
  if (list_read_) {
    check_replaced_inputs();
    check_files();
  }
  count_excluded();

  Summary& summary = result_.summary;
  summary.list_read = list_read_;
  summary.width = settings_.report_width;
  summary.no_description = settings_.no_description;
  summary.template_path = template_path_;
  summary.template_tags.assign(tags_.begin(), tags_.end());
  // The configuration's findings in the order of its lines, then the others
  // kind by kind.
  std::stable_sort(result_.findings.begin(), result_.findings.end(),
                   [&](const Finding& a, const Finding& b) {
                     const bool a_config = a.file == request_.config_path;
                     const bool b_config = b.file == request_.config_path;
                     if (a_config != b_config) return a_config;
                     return a_config ? a.line < b.line : a.kind < b.kind;
                   });
  return std::move(result_);
}

}  // namespace

Result run_checks(const Request& request, FileSystem& files) {
  Checker checker(request, files);
  return checker.run();
}

}  // namespace movrek::check
