#include "check/checker.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string_view>

#include "catalog/catalog.h"
#include "check/messages.h"
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
// The records of a list that does not fit its template shown by their lines.
constexpr std::size_t kShownRecords = 3;
// Headers and footers are read as the report copies them, and scanned for
// this many bytes at most: a device may never end.
constexpr std::size_t kFramePiece = 255;
constexpr std::uint64_t kFrameScanLimit = std::uint64_t{64} << 20;

bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return is_digit(static_cast<unsigned char>(c));
  });
}

// Whether a number of decimal digits is greater than `limit`, a number
// written without leading zeros.
bool greater_than(std::string_view digits, std::string_view limit) {
  while (digits.size() > 1 && digits.front() == '0')
    digits.remove_prefix(1);
  return digits.size() != limit.size() ? digits.size() > limit.size() : digits > limit;
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

// Where a failure that ends movrek32's run stands in the run: stages in the
// order the run meets them, and for the reports, each group's in turn.
using StageKey = std::size_t;
constexpr StageKey kGroupStage = 0;
constexpr StageKey kTemplateStage = 1;
constexpr StageKey kListOpenStage = 2;
constexpr StageKey kListReadStage = 3;
StageKey report_stage(std::size_t group, int step) {
  return 4 + 3 * group + static_cast<StageKey>(step);  // 0: created, 1: header, 2: footer
}
int exit_code_of(StageKey key) {
  static constexpr int kCodes[] = {6, 7, 2, 3};
  return key < 4 ? kCodes[key] : 5;
}

// A header or footer scanned for what a report makes of it.
struct Frame {
  FileError open_error = FileError::kNone;
  bool read_failed = false;
  bool endless = false;
  int utf8_line = 0;  // the first line that reads as UTF-8
};

class Checker final : public ConfigObserver, public ListObserver {
 public:
  Checker(const Request& request, FileSystem& files) : request_(request), files_(files) {}

  Result run();

  void piece_read(int number, std::string_view piece) override;
  void keyword_line(int number, std::string_view text, Keyword keyword, std::string_view argument,
                    const Group* group) override;
  void line_in_error(int number, std::string_view text, LineError why) override;
  void group_left_open(const Group& group) override;

  void record(const InputRecord& record, std::size_t line) override;
  void excluded(const InputRecord& record) override;
  void left_over(std::span<const std::string_view> lines) override;

 private:
  void add(Kind kind, const std::string& file, int line, std::vector<std::string> args = {}) {
    result_.findings.push_back({kind, file, line, std::move(args)});
  }
  // A finding about piece `number` of the configuration, at its editor line.
  void config_finding(Kind kind, int number, std::vector<std::string> args = {}) {
    add(kind, config_file_, line_of(number), std::move(args));
  }
  void list_finding(Kind kind, std::vector<std::string> args = {}) {
    add(kind, list_file_, 0, std::move(args));
  }
  // A finding of a failure that ends movrek32's run at `key`; its last
  // argument, how the run ends, is filled in once every check is done.
  void ending(StageKey key, Kind kind, const std::string& file, int line,
              std::vector<std::string> args = {}) {
    args.emplace_back();
    endings_.emplace_back(result_.findings.size(), key);
    add(kind, file, line, std::move(args));
  }
  int line_of(int piece) const {
    return piece > 0 && static_cast<std::size_t>(piece) <= piece_lines_.size()
               ? piece_lines_[static_cast<std::size_t>(piece) - 1]
               : piece;
  }
  // How movrek32's message numbers a piece whose editor line is another.
  std::string numbered_otherwise(int piece) const;

  void read_configuration();
  void plan_reports();
  void check_groups();
  void check_names(int number, std::string_view argument);
  void read_template();
  void check_width(std::string_view argument, int number);
  void check_width_room();
  void read_list();
  void check_shared_reports();
  void check_reports();
  void check_frames();
  Frame scan_frame(const std::string& name);
  void count_excluded();
  void check_files();
  void check_records();
  void end_the_run();

  std::string full_path(std::string_view name) const;
  std::string file_key(std::string_view name) const;
  std::string why_unreadable(FileError error) const;

  const Request& request_;
  FileSystem& files_;
  Settings settings_;
  Catalog catalog_;
  TemplateList tags_;
  std::string config_file_;    // the configuration as the sysop edits it
  std::string template_path_;  // as movrek32 opens it
  std::string list_file_;
  bool template_read_ = false;
  bool list_read_ = false;
  std::map<const Group*, GroupLines> lines_;
  std::map<std::string, int, NameLess> excluded_at_;  // name -> its first EXCLUDEAREAS line
  std::size_t excluded_seen_ = 0;
  // Groups writing the report of an earlier group (0: the main report).
  std::vector<std::pair<std::size_t, std::size_t>> shared_reports_;
  int open_group_line_ = 0;
  int width_line_ = 0;
  // The editor line of each piece of the configuration read so far.
  std::vector<int> piece_lines_;
  int next_line_ = 1;
  bool in_long_line_ = false;
  // What the list's excluded records hold: files and bytes by area name.
  std::map<std::string, AreaTotal, NameLess> excluded_totals_;
  std::size_t lines_lost_ = 0;  // at the end of the list, in no record
  // Records whose names or size do not look like a record's, and those with
  // an empty name, by the line they start at.
  std::size_t records_ = 0;
  std::vector<std::size_t> odd_records_;
  std::size_t odd_total_ = 0;
  std::size_t empty_names_ = 0;
  std::size_t first_empty_name_ = 0;
  bool template_misfits_ = false;  // the records do not look like records of the template
  std::vector<InputFile> inputs_;  // the configuration, template and list read
  std::vector<std::pair<std::size_t, StageKey>> endings_;  // finding, stage
  Result result_;
};

std::string Checker::numbered_otherwise(int piece) const {
  if (line_of(piece) == piece) return std::string();
  return format_message(messages::kNumberedOtherwise, {decimal_text(piece)});
}

void Checker::piece_read(int number, std::string_view piece) {
  piece_lines_.push_back(next_line_);
  if (number == 1 && piece.starts_with("\xEF\xBB\xBF")) add(Kind::kConfigBom, config_file_, 1);
  const bool whole = !piece.empty() && piece.back() == '\n';
  if (!whole && piece.size() == kLinePieceLimit && !in_long_line_) {
    in_long_line_ = true;
    add(Kind::kLongConfigLine, config_file_, next_line_);
  }
  if (whole) {
    ++next_line_;
    in_long_line_ = false;
  }
}

void Checker::keyword_line(int number, std::string_view text, Keyword keyword,
                           std::string_view argument, const Group* group) {
  const int line = line_of(number);
  switch (keyword) {
    case Keyword::kGroup:
      lines_[group].group = line;
      open_group_line_ = line;
      check_names(number, argument);
      break;
    case Keyword::kEndGroup:
      open_group_line_ = 0;
      break;
    case Keyword::kReport:
      if (group) {
        lines_[group].report = line;
      } else {
        config_finding(Kind::kReportOutsideGroup, number, {shown(text)});
      }
      break;
    case Keyword::kHeader:
      lines_[group].header = line;
      break;
    case Keyword::kFooter:
      lines_[group].footer = line;
      break;
    case Keyword::kNoDesc:
      if (utf8_letters(settings_.no_description)) config_finding(Kind::kUtf8Nodesc, number);
      break;
    case Keyword::kExcludeAreas: {
      const std::vector<std::string>& names = settings_.excluded_areas.added();
      for (; excluded_seen_ < names.size(); ++excluded_seen_)
        excluded_at_.emplace(names[excluded_seen_], line);
      check_names(number, argument);
      break;
    }
    case Keyword::kReportWidth:
      width_line_ = number;
      check_width(argument, number);
      break;
    case Keyword::kDruvoDir:
      break;
  }
}

// Area names of GROUP and EXCLUDEAREAS lines: movrek32 takes 32 bytes a name,
// and compares names byte for byte, masks included.
void Checker::check_names(int number, std::string_view argument) {
  std::string_view cursor = argument;
  while (const auto word = take_word(cursor, LONG_MAX)) {
    if (word->size() > static_cast<std::size_t>(kNameLimit)) {
      std::string pieces;
      for (std::string_view rest = *word; !rest.empty();
           rest.remove_prefix(std::min<std::size_t>(rest.size(), kNameLimit))) {
        if (!pieces.empty()) pieces += messages::kAnd;
        pieces += rest.substr(0, kNameLimit);
      }
      config_finding(Kind::kNameSplit, number, {std::string(*word), pieces});
    }
    if (word->find_first_of("*?") != std::string_view::npos) {
      config_finding(Kind::kNameWildcard, number, {std::string(*word)});
    }
  }
}

void Checker::check_width(std::string_view argument, int number) {
  std::string_view cursor = argument;
  const auto word = take_word(cursor, LONG_MAX);
  const std::string width = decimal_text(settings_.report_width);
  if (!word || !all_digits(*word)) {
    // "+80" is a number to movrek32 as well, but rarely meant: told as any other.
    config_finding(Kind::kWidthNotNumber, number, {std::string(word.value_or("")), width});
    return;
  }
  if (greater_than(*word, "2147483647")) {
    config_finding(Kind::kWidthWraps, number, {std::string(*word), width});
  }
}

void Checker::line_in_error(int number, std::string_view text, LineError why) {
  const std::string as_numbered = numbered_otherwise(number);
  switch (why) {
    case LineError::kUnknownKeyword: {
      std::string_view cursor = text;
      const std::string_view word = take_word(cursor, LONG_MAX).value_or("");
      if (const auto meant = meant_keyword(word)) {
        config_finding(Kind::kUnknownKeywordLike, number,
                       {shown(word), std::string(*meant), shown(text), as_numbered});
      } else {
        config_finding(Kind::kUnknownKeyword, number, {shown(word), shown(text), as_numbered});
      }
      break;
    }
    case LineError::kGroupInGroup:
      config_finding(Kind::kGroupInGroup, number,
                     {decimal_text(open_group_line_), shown(text), as_numbered});
      break;
    case LineError::kEndGroupOutside:
      config_finding(Kind::kEndGroupOutside, number, {shown(text), as_numbered});
      break;
    case LineError::kNoDirectory:
      config_finding(Kind::kNoDirectory, number, {shown(text), as_numbered});
      break;
    case LineError::kDirectoryTooLong:
      config_finding(
          Kind::kDirectoryTooLong, number,
          {decimal_text(static_cast<long long>(kTemplateDirLimit)), shown(text), as_numbered});
      break;
    case LineError::kNegativeWidth:
      config_finding(Kind::kNegativeWidth, number, {shown(text), as_numbered});
      break;
    case LineError::kReadFailed:
      // The piece being read when the read failed has not been told.
      if (static_cast<std::size_t>(number) > piece_lines_.size())
        piece_lines_.push_back(next_line_);
      config_finding(Kind::kConfigReadFailed, number, {numbered_otherwise(number)});
      break;
  }
}

void Checker::group_left_open(const Group& group) {
  std::string areas;
  for (const Area* area : group.areas()) {
    if (!areas.empty()) areas += ", ";
    areas += area->name();
  }
  add(Kind::kGroupLeftOpen, config_file_, lines_[&group].group, {areas});
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

std::string Checker::why_unreadable(FileError error) const {
  return std::string(error == FileError::kNotFound ? messages::kWhyMissing.view()
                                                   : messages::kWhyUnreadable.view());
}

void Checker::read_configuration() {
  config_file_ = files_.real_path(request_.config_path);
  settings_.template_dir = request_.template_dir;
  const ConfigResult result =
      read_config(files_, request_.config_path, request_.separator, settings_, catalog_, this);
  if (result.identity)
    inputs_.push_back({request_.config_path, {Identity::Kind::kFile, *result.identity, {}}});
  if (result.status != ConfigResult::Status::kCannotOpen) return;
  if (result.open_error != FileError::kNotFound) {
    add(Kind::kConfigUnreadable, config_file_, 0, {why_unreadable(result.open_error)});
  } else {
    add(request_.config_named ? Kind::kConfigCannotOpen : Kind::kConfigMissing, config_file_, 0);
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
  // Reports are one file when the system says so, or else when their names
  // are spelt alike.
  const auto key_of = [&](const std::string& report) {
    const Identity identity = files_.identify(report);
    if (identity.kind == Identity::Kind::kUnknown ||
        (identity.kind == Identity::Kind::kNoFile && identity.name.empty())) {
      return file_key(report);
    }
    return "#" + unsigned_decimal_text(identity.id.volume) + ":" +
           unsigned_decimal_text(identity.id.file) + "/" + identity.name;
  };
  std::map<std::string, std::size_t> report_of;  // file key -> the first group writing it
  if (request_.report_path) report_of.emplace(key_of(*request_.report_path), 0);
  std::map<std::string, std::size_t, NameLess> first_group;  // area -> the group that gets it
  for (std::size_t i = 1; i < groups.size(); ++i) {
    const Group& group = *groups[i];
    const GroupLines& at = lines_[&group];
    if (!group.report) {
      ending(kGroupStage, Kind::kGroupWithoutReport, config_file_, at.group,
             {decimal_text(static_cast<long long>(i))});
    } else {
      const auto [it, fresh] = report_of.emplace(key_of(*group.report), i);
      if (!fresh) shared_reports_.emplace_back(i, it->second);
    }
    for (const Area* area : group.areas()) {
      const std::string name(area->name());
      if (const auto excluded = excluded_at_.find(name); excluded != excluded_at_.end()) {
        add(Kind::kAreaExcludedAndGrouped, config_file_, at.group,
            {name, decimal_text(excluded->second)});
        continue;
      }
      const auto [it, fresh] = first_group.emplace(name, i);
      if (!fresh) {
        const Group& earlier = *groups[it->second];
        add(Kind::kAreaInTwoGroups, config_file_, at.group,
            {name, decimal_text(lines_[&earlier].group), earlier.report.value_or("")});
      }
    }
  }
}

void Checker::read_template() {
  template_path_ = join_path(settings_.template_dir, request_.template_name, request_.separator);
  const std::string file = files_.real_path(template_path_);
  const TemplateResult result = movrek::read_template(files_, template_path_, tags_);
  if (result.identity)
    inputs_.push_back({template_path_, {Identity::Kind::kFile, *result.identity, {}}});
  const std::string as_numbered =
      result.piece != result.line
          ? format_message(messages::kNumberedOtherwise, {decimal_text(result.piece)})
          : std::string();
  switch (result.status) {
    case TemplateResult::Status::kCannotOpen:
      if (result.open_error == FileError::kNotFound) {
        ending(kTemplateStage, Kind::kTemplateMissing, file, 0, {full_path(template_path_)});
      } else {
        ending(kTemplateStage, Kind::kTemplateUnreadable, file, 0,
               {why_unreadable(result.open_error)});
      }
      return;
    case TemplateResult::Status::kNulPiece:
      ending(kTemplateStage, Kind::kTemplateNul, file, result.line, {as_numbered});
      return;
    case TemplateResult::Status::kReadFailed:
      ending(kTemplateStage, Kind::kTemplateReadFailed, file, result.line, {as_numbered});
      return;
    case TemplateResult::Status::kRead:
      break;
  }
  template_read_ = true;
  // How the run ends is told with the list, in the last argument.
  const TemplateFault fault = template_fault(tags_);
  if (fault == TemplateFault::kEmpty) add(Kind::kTemplateEmpty, file, 0, {std::string()});
  if (fault == TemplateFault::kNoArea || fault == TemplateFault::kNoAreaNorFile) {
    add(Kind::kTemplateWithoutArea, file, 0, {std::string()});
  }
  if (fault == TemplateFault::kNoFile || fault == TemplateFault::kNoAreaNorFile) {
    add(Kind::kTemplateWithoutFile, file, 0, {std::string()});
  }
}

// A report that two groups write is the later group's alone when both get
// files: an error when this list gives both files, else a warning for the
// lists to come.
void Checker::check_shared_reports() {
  const auto& groups = catalog_.groups();
  for (const auto& [later, earlier] : shared_reports_) {
    const Group& group = *groups[later];
    const bool both = list_read_ && group.file_count() > 0 && groups[earlier]->file_count() > 0;
    const int line = lines_[&group].report;
    if (earlier == 0) {
      add(both ? Kind::kReportReplacesMain : Kind::kSameAsMainReport, config_file_, line,
          {*group.report});
    } else {
      add(both ? Kind::kReportReplacesGroup : Kind::kSameReportFile, config_file_, line,
          {*group.report, decimal_text(lines_[groups[earlier].get()].report)});
    }
  }
}

void Checker::check_width_room() {
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
  Opened<ByteSource> opened = files_.open(path);
  if (opened.error == FileError::kNoMemory) throw std::bad_alloc();
  list_file_ = opened.file ? path : files_.real_path(path);
  if (!opened.file) {
    if (opened.error == FileError::kNotFound) {
      ending(kListOpenStage, Kind::kListMissing, path, 0, {full_path(path)});
    } else {
      ending(kListOpenStage, Kind::kListUnreadable, path, 0, {why_unreadable(opened.error)});
    }
    return;
  }
  if (const auto id = opened.file->identity()) {
    inputs_.push_back({path, {Identity::Kind::kFile, *id, {}}});
  }
  switch (read_new_files(*opened.file, tags_, settings_.excluded_areas, catalog_, this)) {
    case ListResult::kRead:
      list_read_ = true;
      break;
    case ListResult::kReadFailed:
      ending(kListReadStage, Kind::kListReadFailed, path, 0);
      return;
    case ListResult::kEmptyTemplate:
    case ListResult::kRecordWithoutNames:
      // A template without the names refuses every list: its own finding
      // tells how the run ends.
      if (template_fault(tags_) != TemplateFault::kNone) {
        for (std::size_t i = 0; i < result_.findings.size(); ++i) {
          const Kind kind = result_.findings[i].kind;
          if (kind == Kind::kTemplateEmpty || kind == Kind::kTemplateWithoutArea ||
              kind == Kind::kTemplateWithoutFile) {
            endings_.emplace_back(i, kListReadStage);
          }
        }
      } else {
        ending(kListReadStage, Kind::kListRefused, path, 0);
      }
      return;
  }
  catalog_.arrange();
  if (lines_lost_ > 0) {
    list_finding(records_ == 0 ? Kind::kListWithoutRecords : Kind::kRecordsLost,
                 {decimal_text(lines_lost_)});
  }
  check_records();
}

void Checker::record(const InputRecord& record, std::size_t line) {
  ++records_;
  const auto odd_name = [](std::string_view name) {
    const std::string_view bare = trimmed(name);
    return bare.empty() || std::any_of(bare.begin(), bare.end(), [](char c) {
             return is_space(static_cast<unsigned char>(c));
           });
  };
  if (odd_name(*record.area_name) || odd_name(*record.file_name)) {
    if (odd_records_.size() < kShownRecords) odd_records_.push_back(line);
    ++odd_total_;
  }
  if (record.area_name->empty() || record.file_name->empty()) {
    if (empty_names_++ == 0) first_empty_name_ = line;
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

// A template that does not fit the list shifts the lines of every record
// after the first: names then come from descriptions, origins and empty
// lines. Real lists have hardly a name that is empty or has blanks in it, so
// a quarter of such records is no accident; lines left over at the end of
// the list back it up.
void Checker::check_records() {
  const bool misfit =
      odd_total_ > 0 && 4 * odd_total_ >= records_ && (odd_total_ >= 2 || lines_lost_ > 0);
  if (misfit) {
    std::string lines;
    for (const std::size_t line : odd_records_) {
      if (!lines.empty()) lines += ", ";
      lines += unsigned_decimal_text(line);
    }
    list_finding(Kind::kTemplateMismatch,
                 {unsigned_decimal_text(odd_total_), unsigned_decimal_text(records_), lines});
  } else if (empty_names_ > 0) {
    list_finding(Kind::kEmptyNames,
                 {unsigned_decimal_text(empty_names_), unsigned_decimal_text(first_empty_name_)});
  }
  template_misfits_ = misfit;
}

// The reports that movrek32 will fail to create or refuse to: of every group
// with files when the list was read, in the order it writes them; without the
// list, of every group, as those that get files will.
void Checker::check_reports() {
  std::vector<InputFile> inputs = inputs_;
  if (list_read_) {
    for (InputFile& frame : frame_files(catalog_, files_))
      inputs.push_back(std::move(frame));
  }
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const std::optional<std::string>& report = i == 0 ? request_.report_path : groups[i]->report;
    if (!report || (list_read_ && groups[i]->file_count() == 0)) continue;
    const std::string& file = i == 0 ? *report : config_file_;
    const int line = i == 0 ? 0 : lines_[groups[i].get()].report;
    bool unknown = false;
    if (const InputFile* input = replaced_input(files_, *report, inputs, unknown)) {
      ending(report_stage(i, 0), Kind::kReportReplacesInput, file, line, {*report, input->path});
    } else if (unknown) {
      ending(report_stage(i, 0), Kind::kReportUnidentified, file, line, {*report});
    } else if (const FileError error = files_.can_create(*report); error != FileError::kNone) {
      const std::string why(error == FileError::kNotFound ? messages::kWhyNoDirectory.view()
                                                          : messages::kWhyNotWritable.view());
      ending(report_stage(i, 0), Kind::kReportCannotCreate, file, line, {*report, why});
    }
  }
}

Frame Checker::scan_frame(const std::string& name) {
  Frame frame;
  Opened<ByteSource> opened = files_.open(name);
  if (opened.error == FileError::kNoMemory) throw std::bad_alloc();
  if (!opened.file) {
    frame.open_error = opened.error;
    return frame;
  }
  // Read as the report copies it, a piece at a time, and no further than a
  // frame of any use reaches: a device may never end.
  const bool regular = opened.file->size().has_value();
  TextReader reader(*opened.file);
  std::string piece;
  std::uint64_t read = 0;
  int line = 1;
  while (reader.read_piece(kFramePiece, piece)) {
    if (frame.utf8_line == 0 && utf8_letters(piece)) frame.utf8_line = line;
    if (piece.back() == '\n') ++line;
    read += piece.size();
    if (read > kFrameScanLimit) {
      frame.endless = !regular;
      return frame;
    }
  }
  frame.read_failed = reader.failed();
  return frame;
}

// The headers and footers of the reports, each file looked at once. A file
// that cannot be read to its end stops the run at the first report with
// files that copies it.
void Checker::check_frames() {
  std::map<std::string, Frame> frames;
  std::set<std::string> failed;
  const auto& groups = catalog_.groups();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const bool written = !list_read_ || groups[i]->file_count() > 0;
    const GroupLines& at = lines_[groups[i].get()];
    ReportPlan& plan = result_.summary.reports[i];
    for (const bool header : {true, false}) {
      const std::optional<std::string>& name = header ? plan.header : plan.footer;
      if (!name) continue;
      auto seen = frames.find(*name);
      const bool first = seen == frames.end();
      if (first) seen = frames.emplace(*name, scan_frame(*name)).first;
      const Frame& frame = seen->second;
      const int line = header ? at.header : at.footer;
      const std::string file = files_.real_path(*name);
      if (frame.open_error == FileError::kNotFound) {
        (header ? plan.header_problem : plan.footer_problem) =
            format_message(messages::kNotFoundAt, {full_path(*name)});
        // A default name that is not there is the usual way to go without.
        if (line == 0) continue;
        const std::string where =
            is_absolute_path(*name, request_.windows_names)
                ? std::string()
                : format_message(messages::kLookedForFrom, {full_path(*name)});
        add(header ? Kind::kHeaderNotFound : Kind::kFooterNotFound, config_file_, line,
            {*name, where});
      } else if (frame.open_error != FileError::kNone) {
        (header ? plan.header_problem : plan.footer_problem) =
            format_message(messages::kUnreadableBecause, {why_unreadable(frame.open_error)});
        if (first) {
          add(header ? Kind::kHeaderUnreadable : Kind::kFooterUnreadable, config_file_, line,
              {*name, why_unreadable(frame.open_error)});
        }
      } else if (frame.endless) {
        if (first) add(header ? Kind::kHeaderEndless : Kind::kFooterEndless, file, 0);
      } else if (frame.read_failed) {
        if (written && failed.insert(*name).second) {
          ending(report_stage(i, header ? 1 : 2),
                 header ? Kind::kHeaderReadFailed : Kind::kFooterReadFailed, file, 0);
        }
      } else if (frame.utf8_line > 0 && first) {
        add(header ? Kind::kUtf8Header : Kind::kUtf8Footer, file, frame.utf8_line);
      }
    }
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

// What the reports will show of the list: sizes that are no plain numbers,
// files listed twice, texts in UTF-8. Fills the summary's areas.
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
          } else if ((!all_digits(digits) || greater_than(digits, "18446744073709551615")) &&
                     !template_misfits_) {
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

// The failure that movrek32 meets first ends its run; every other finding of
// a failure says that the run ends before it. Without the list, a failure of
// a later stage than the template only ends the run if movrek32 gets there.
void Checker::end_the_run() {
  std::optional<StageKey> first;
  for (const auto& [index, key] : endings_) {
    if (!first || key < *first) first = key;
  }
  const bool known = list_read_ || (first && *first <= kTemplateStage) ||
                     (first && request_.list_path && *first <= kListReadStage);
  if (first && known) result_.summary.exit_code = exit_code_of(*first);
  if (!first && list_read_) result_.summary.exit_code = 0;
  for (const auto& [index, key] : endings_) {
    std::string& clause = result_.findings[index].args.back();
    const std::string code = decimal_text(exit_code_of(key));
    if (key == *first && known) {
      clause = format_message(messages::kEndsWith, {code});
    } else if (known || *first <= kTemplateStage) {
      clause = format_message(messages::kEndsEarlier, {decimal_text(exit_code_of(*first))});
    } else {
      clause = format_message(messages::kEndsIfReached, {code});
    }
  }
}

Result Checker::run() {
  read_configuration();
  plan_reports();
  check_groups();
  read_template();
  check_width_room();
  read_list();
  check_shared_reports();
  check_reports();
  check_frames();
  if (list_read_) check_files();
  count_excluded();
  end_the_run();

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
                     const bool a_config = a.file == config_file_;
                     const bool b_config = b.file == config_file_;
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
