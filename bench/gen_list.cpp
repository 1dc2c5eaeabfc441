// Writes a synthetic new-files list (and for one shape a movrek.cfg) for the
// benchmarks. The output depends only on the arguments.
//
//   gen_list --shape standard|one-area|many-areas|many-groups --records N
//            [--seed S] --out DIR
//
// DIR/list.lst holds N records of seven CR LF lines each in the order
// A E L F S D O, 300 to 350 bytes a record, with descriptions of 3 to 40
// words (about 20), one word in five Cyrillic. The shapes: standard, files in
// batches over 200 areas; one-area; many-areas, 100,000 areas in shuffled
// order; many-groups, which also writes DIR/movrek.cfg with 1,000 groups of
// ten areas each and sends three records in four to those areas.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "list_gen.h"

namespace {

using movrek::bench::decimal;
using movrek::bench::SplitMix64;
using movrek::bench::TextMaker;

enum class Shape { kStandard, kOneArea, kManyAreas, kManyGroups };

constexpr std::uint32_t kStandardAreas = 200;
constexpr std::uint32_t kManyAreas = 100000;
constexpr std::uint32_t kGroups = 1000;
constexpr std::uint32_t kAreasPerGroup = 10;
constexpr std::uint32_t kConfiguredAreas = kGroups * kAreasPerGroup;
constexpr std::uint32_t kUnconfiguredAreas = 2000;

// Buffers output and writes it in large chunks; remembers any failure.
class Output {
 public:
  explicit Output(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) std::fprintf(stderr, "gen_list: cannot create %s\n", path.c_str());
    buffer_.reserve(kChunk + 4096);
  }
  ~Output() {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr && ok_; }

  std::string& buffer() { return buffer_; }
  void line_end() { buffer_ += "\r\n"; }
  // Between records: writes the buffer out once it is large.
  void end_record() {
    if (buffer_.size() >= kChunk) flush();
  }
  bool close() {
    flush();
    if (file_ != nullptr && std::fclose(file_) != 0) ok_ = false;
    file_ = nullptr;
    if (!ok_) std::fprintf(stderr, "gen_list: cannot write %s\n", path_.c_str());
    return ok_;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  void flush() {
    if (file_ != nullptr && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      ok_ = false;
    }
    buffer_.clear();
  }

  std::string path_;
  std::FILE* file_;
  std::string buffer_;
  bool ok_ = true;
};

// Chooses the area of every record.
class AreaPicker {
 public:
  AreaPicker(Shape shape, std::uint64_t records, SplitMix64& rng) : shape_(shape), rng_(rng) {
    if (shape == Shape::kManyAreas) {
      // Every area in turn, as far as the records go, in shuffled order.
      const std::uint64_t areas = kManyAreas;
      order_.resize(records);
      for (std::uint64_t i = 0; i < records; ++i)
        order_[i] = static_cast<std::uint32_t>(i % areas);
      for (std::uint64_t i = records; i > 1; --i) {
        const std::uint64_t j = rng_.next() % i;
        std::swap(order_[i - 1], order_[j]);
      }
    }
  }

  std::uint32_t next(std::uint64_t index) {
    switch (shape_) {
      case Shape::kStandard:
        // Files arrive in batches per area, as a file processor writes them.
        if (run_left_ == 0) {
          current_ = rng_.below(kStandardAreas);
          run_left_ = rng_.between(1, 30);
        }
        --run_left_;
        return current_;
      case Shape::kOneArea:
        return 0;
      case Shape::kManyAreas:
        return order_[index];
      case Shape::kManyGroups:
        // Three in four records go to configured areas.
        return rng_.percent(75) ? rng_.below(kConfiguredAreas)
                                : kConfiguredAreas + rng_.below(kUnconfiguredAreas);
    }
    return 0;
  }

 private:
  Shape shape_;
  SplitMix64& rng_;
  std::vector<std::uint32_t> order_;
  std::uint32_t current_ = 0;
  std::uint32_t run_left_ = 0;
};

// Records are 300 to 350 bytes with their line ends: the description gets
// what the other fields leave of a length chosen for the record, and a short
// description leaves the rest to the origin.
constexpr std::size_t kShortestRecord = 300;
constexpr std::size_t kLongestRecord = 350;

std::size_t count_words(std::string_view text) {
  std::size_t words = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    words += text[i] != ' ' && (i == 0 || text[i - 1] == ' ');
  return words;
}

bool write_list(const std::string& path, Shape shape, std::uint64_t records, std::uint64_t seed) {
  Output out(path);
  if (!out.ok()) return false;
  TextMaker maker(seed);
  SplitMix64 order_rng(seed * 0x2545F4914F6CDD1DULL + 1);
  AreaPicker picker(shape, records, order_rng);

  std::string previous_name;
  std::uint32_t previous_area = UINT32_MAX;
  std::string& b = out.buffer();
  std::string description;
  std::string origin;
  for (std::uint64_t i = 0; i < records; ++i) {
    const std::size_t record_start = b.size();
    const std::uint32_t area = picker.next(i);
    maker.area_name(area, b);
    out.line_end();
    maker.area_description(area, b);
    out.line_end();
    maker.link(area, b);
    out.line_end();
    // Now and then a file is announced again in the same area.
    if (area == previous_area && maker.rng().percent(2)) {
      b += previous_name;
    } else {
      const std::size_t start = b.size();
      maker.file_name(b);
      previous_name.assign(b, start, std::string::npos);
    }
    previous_area = area;
    out.line_end();
    maker.size(b);
    out.line_end();
    // The record so far, with the line ends of the two fields to come.
    const std::size_t used = b.size() - record_start + 4;
    const std::size_t length = maker.rng().between(kShortestRecord, kLongestRecord);
    origin.clear();
    maker.origin(origin);
    const std::size_t room = length > used + origin.size() ? length - used - origin.size() : 0;
    description.clear();
    maker.description(maker.word_count(), room, description);
    // Too long after all: drop words from the end, down to three.
    for (std::size_t words = count_words(description);
         used + origin.size() + description.size() > kLongestRecord && words > 3; --words) {
      description.resize(description.find_last_not_of(' ', description.rfind(' ')) + 1);
    }
    if (used + description.size() < length)
      maker.pad_origin(length - used - description.size(), origin);
    b += description;
    b += "\r\n";
    b += origin;
    out.line_end();
    out.end_record();
  }
  return out.close();
}

bool write_config(const std::string& path, std::uint64_t seed) {
  Output out(path);
  if (!out.ok()) return false;
  TextMaker maker(seed);
  std::string& b = out.buffer();
  b += "; benchmark configuration: one report per group of ten areas";
  out.line_end();
  for (std::uint32_t g = 0; g < kGroups; ++g) {
    b += "GROUP";
    for (std::uint32_t k = 0; k < kAreasPerGroup; ++k) {
      b += ' ';
      maker.area_name(g * kAreasPerGroup + k, b);
    }
    out.line_end();
    b += "REPORT g";
    std::string number;
    decimal(g, number);
    b.append(4 - number.size(), '0');
    b += number;
    b += ".txt";
    out.line_end();
    b += "ENDGROUP";
    out.line_end();
  }
  return out.close();
}

bool parse_number(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0') return false;
  value = v;
  return true;
}

int usage() {
  std::fprintf(stderr,
               "usage: gen_list --shape standard|one-area|many-areas|many-groups --records N "
               "[--seed S] --out DIR\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Shape shape = Shape::kStandard;
  bool have_shape = false;
  std::uint64_t records = 0;
  bool have_records = false;
  std::uint64_t seed = 1;
  std::string out_dir;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return usage();
    const char* value = argv[++i];
    if (arg == "--shape") {
      const std::string_view v = value;
      have_shape = true;
      if (v == "standard") {
        shape = Shape::kStandard;
      } else if (v == "one-area") {
        shape = Shape::kOneArea;
      } else if (v == "many-areas") {
        shape = Shape::kManyAreas;
      } else if (v == "many-groups") {
        shape = Shape::kManyGroups;
      } else {
        return usage();
      }
    } else if (arg == "--records") {
      if (!parse_number(value, records) || records > UINT32_MAX) return usage();
      have_records = true;
    } else if (arg == "--seed") {
      if (!parse_number(value, seed)) return usage();
    } else if (arg == "--out") {
      out_dir = value;
    } else {
      return usage();
    }
  }
  if (!have_shape || !have_records || out_dir.empty()) return usage();

  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    std::fprintf(stderr, "gen_list: cannot create directory %s\n", out_dir.c_str());
    return 1;
  }
  if (!write_list(out_dir + "/list.lst", shape, records, seed)) return 1;
  if (shape == Shape::kManyGroups && !write_config(out_dir + "/movrek.cfg", seed)) return 1;
  return 0;
}
