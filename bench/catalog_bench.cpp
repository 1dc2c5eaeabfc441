// Micro-benchmarks of the catalog and the list reader. Each case runs in a
// child process of its own, so that its peak resident set is its own; the
// table shows the resident set after the input was prepared ("input") and the
// peak, so the difference is what the catalog (and reader) cost.
//
//   catalog_bench [--records N] [--areas M] [--seed S] [--list FILE]
//
// FILE is a new-files list in the order A E L F S D O, as gen_list writes it.
// POSIX only (fork, wait4).

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "driver/host.h"
#include "input/new_files_reader.h"
#include "input/template_reader.h"
#include "list_gen.h"
#include "text/byte_io.h"

namespace {

using movrek::Catalog;
using movrek::InputRecord;
using movrek::bench::SplitMix64;
using movrek::bench::TextMaker;
using Clock = std::chrono::steady_clock;

// What a case reports back to the parent through a pipe.
struct CaseResult {
  double fill_seconds = 0;
  double fill_cpu_seconds = 0;
  double list_seconds = 0;
  std::uint64_t files = 0;
  long input_rss_kib = 0;
  int ok = 0;
};

long own_peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// User and system time of this process so far.
double own_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto sec = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return sec(usage.ru_utime) + sec(usage.ru_stime);
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Walks the catalog as the report writer does (which sorts each area's
// files once) and counts the files.
std::uint64_t walk(const Catalog& catalog) {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  for (const auto& group : catalog.groups()) {
    group->for_each_area([&](const movrek::Area& area) {
      for (const movrek::FileEntry& f : area.files()) {
        ++files;
        bytes += f.name().size();
      }
    });
  }
  // Keeps the walk from being optimised away.
  if (bytes == UINT64_MAX) std::fputc(' ', stderr);
  return files;
}

// Texts of the synthetic records, held compactly: file names are unique per
// record, the other file texts come from a small pool (the catalog copies
// them anyway), area texts exist once per area.
class RecordSet {
 public:
  RecordSet(std::uint64_t records, std::uint32_t areas, std::uint64_t seed) : maker_(seed) {
    name_offsets_.reserve(records + 1);
    for (std::uint64_t i = 0; i < records; ++i) {
      name_offsets_.push_back(static_cast<std::uint32_t>(names_.size()));
      maker_.file_name(names_);
    }
    name_offsets_.push_back(static_cast<std::uint32_t>(names_.size()));
    for (std::size_t i = 0; i < kPool; ++i) {
      maker_.size(sizes_[i]);
      maker_.description(descriptions_[i]);
      maker_.origin(origins_[i]);
    }
    area_names_.resize(areas);
    area_descriptions_.resize(areas);
    links_.resize(areas);
    for (std::uint32_t a = 0; a < areas; ++a) {
      maker_.area_name(a, area_names_[a]);
      maker_.area_description(a, area_descriptions_[a]);
      maker_.link(a, links_[a]);
    }
  }

  InputRecord record(std::uint64_t i, std::uint32_t area) const {
    const std::size_t p = i % kPool;
    return InputRecord{
        area_names_[area],
        area_descriptions_[area],
        links_[area],
        std::string_view(names_).substr(name_offsets_[i], name_offsets_[i + 1] - name_offsets_[i]),
        sizes_[p],
        descriptions_[p],
        origins_[p]};
  }

 private:
  static constexpr std::size_t kPool = 4096;
  TextMaker maker_;
  std::string names_;
  std::vector<std::uint32_t> name_offsets_;
  std::string sizes_[kPool];
  std::string descriptions_[kPool];
  std::string origins_[kPool];
  std::vector<std::string> area_names_;
  std::vector<std::string> area_descriptions_;
  std::vector<std::string> links_;
};

CaseResult place_records(std::uint64_t records, std::uint32_t areas, std::uint64_t seed) {
  const RecordSet set(records, areas, seed);
  // Every area gets records / areas files, the areas in shuffled order.
  std::vector<std::uint32_t> order(records);
  for (std::uint64_t i = 0; i < records; ++i)
    order[i] = static_cast<std::uint32_t>(i % areas);
  SplitMix64 rng(seed + 7);
  for (std::uint64_t i = records; i > 1; --i)
    std::swap(order[i - 1], order[rng.next() % i]);

  CaseResult result;
  result.input_rss_kib = own_peak_rss_kib();
  Catalog catalog;
  const double cpu = own_cpu_seconds();
  auto start = Clock::now();
  for (std::uint64_t i = 0; i < records; ++i)
    catalog.add_input_record(set.record(i, order[i]));
  result.fill_seconds = seconds_since(start);
  result.fill_cpu_seconds = own_cpu_seconds() - cpu;
  start = Clock::now();
  result.files = walk(catalog);
  result.list_seconds = seconds_since(start);
  result.ok = 1;
  return result;
}

CaseResult read_list(const std::string& path) {
  CaseResult result;
  result.input_rss_kib = own_peak_rss_kib();
  const movrek::TemplateList tags = {'A', 'E', 'L', 'F', 'S', 'D', 'O'};
  const movrek::ExcludedAreas excluded;
  const auto host = movrek::make_system_host("catalog_bench");
  const auto source = movrek::file_or_null(host->files().open(path));
  if (!source) {
    std::fprintf(stderr, "catalog_bench: cannot open %s\n", path.c_str());
    return result;
  }
  Catalog catalog;
  const double cpu = own_cpu_seconds();
  auto start = Clock::now();
  const bool ok = movrek::read_new_files(*source, tags, excluded, catalog);
  result.fill_seconds = seconds_since(start);
  result.fill_cpu_seconds = own_cpu_seconds() - cpu;
  start = Clock::now();
  result.files = walk(catalog);
  result.list_seconds = seconds_since(start);
  result.ok = ok ? 1 : 0;
  return result;
}

// Runs `body` in a child process and prints one table row.
void run_case(const char* label, const std::function<CaseResult()>& body) {
  std::fflush(stdout);
  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("pipe");
    return;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    return;
  }
  if (pid == 0) {
    close(fds[0]);
    const CaseResult r = body();
    const bool written = write(fds[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    _exit(written ? 0 : 1);
  }
  close(fds[1]);
  CaseResult r;
  const bool got = read(fds[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!got) {
    std::printf("%-34s  (the case failed, status %d)\n", label, status);
    return;
  }
  std::printf("%-34s %10llu %9.3f %9.3f %9.3f %9.1f %9.1f%s\n", label,
              static_cast<unsigned long long>(r.files), r.fill_seconds, r.fill_cpu_seconds,
              r.list_seconds, r.input_rss_kib / 1024.0, usage.ru_maxrss / 1024.0,
              r.ok ? "" : "  (reader returned false)");
}

bool parse_number(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') return false;
  value = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t records = 1000000;
  std::uint64_t areas = 100000;
  std::uint64_t seed = 1;
  std::string list;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--records" && has_value && parse_number(argv[i + 1], records)) {
      ++i;
    } else if (arg == "--areas" && has_value && parse_number(argv[i + 1], areas)) {
      ++i;
    } else if (arg == "--seed" && has_value && parse_number(argv[i + 1], seed)) {
      ++i;
    } else if (arg == "--list" && has_value) {
      list = argv[++i];
    } else {
      records = 0;
      break;
    }
  }
  // Name offsets are 32-bit: 100 million records keep well inside them.
  if (records == 0 || records > 100000000 || areas == 0 || areas > records) {
    std::fprintf(stderr,
                 "usage: catalog_bench [--records N] [--areas M] [--seed S] [--list FILE]\n"
                 "       (1 <= M <= N <= 100000000)\n");
    return 2;
  }

  std::printf("%-34s %10s %9s %9s %9s %9s %9s\n", "case", "files", "fill s", "fill cpu", "list s",
              "input MiB", "peak MiB");
  const std::string one = "add_input_record, 1 area";
  run_case(one.c_str(), [&] { return place_records(records, 1, seed); });
  const std::string many = "add_input_record, " + std::to_string(areas) + " areas";
  run_case(many.c_str(),
           [&] { return place_records(records, static_cast<std::uint32_t>(areas), seed); });
  if (list.empty()) {
    std::printf("%-34s  (skipped: no --list FILE)\n", "read_new_files");
  } else {
    run_case("read_new_files, list file", [&] { return read_list(list); });
  }
  std::printf(
      "fill: placing the records (for the reader case: reading the list), wall and CPU seconds;\n"
      "list: walking every area's files in order, as the report writer does;\n"
      "input: resident set before the fill; peak: the case's peak resident set.\n");
  return 0;
}
