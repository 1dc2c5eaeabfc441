// A whole run in memory: configuration, group check, record template,
// new-files list and reports, in the order and with the stops of a real run.
//
// The input holds three parts split by kSeparator: the configuration, the
// template and the list (missing parts are empty). Reports go to memory
// sinks; header and footer files are left out (a fuzzer must not read files
// that its input names).
//
// Report names steer the sinks: a name beginning with '!' cannot be created,
// one beginning with '#' fills up after 64 bytes (a full disk).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "config/config_reader.h"
#include "config/settings.h"
#include "fuzz_support.h"
#include "input/new_files_reader.h"
#include "input/template_reader.h"
#include "report/report_writer.h"
#include "text/byte_io.h"

namespace {

using namespace movrek;

constexpr std::string_view kSeparator = "\n=====\n";
// Wider reports only make the run slower, not different.
constexpr std::int32_t kWidthCap = 4096;

// A memory sink whose bytes outlive it, so they can be checked after the run.
class KeptSink final : public ByteSink {
 public:
  KeptSink(std::string& kept, std::size_t capacity) : kept_(kept), capacity_(capacity) {}
  bool write(const char* data, std::size_t n) override {
    const std::size_t room = capacity_ - kept_.size();
    kept_.append(data, n < room ? n : room);
    return n <= room;
  }
  bool close() override { return true; }

 private:
  std::string& kept_;
  std::size_t capacity_;
};

// Reports are written in the DOS convention: every line feed follows a CR.
void check_line_ends(std::string_view report) {
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (report[i] == '\n' && (i == 0 || report[i - 1] != '\r'))
      fuzz::fail("a report line feed without CR");
  }
}

std::string_view next_part(std::string_view& rest) {
  const std::size_t at = rest.find(kSeparator);
  std::string_view part = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + kSeparator.size());
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest = fuzz::as_text(data, size);
  const std::string_view config_text = next_part(rest);
  const std::string_view template_text = next_part(rest);
  const std::string_view list_text = rest;

  Settings settings;
  Catalog catalog;
  catalog.default_group().report = "main.rpt";

  MemorySource config(config_text);
  const int config_result = read_config(config, '/', settings, catalog);
  if (config_result < 0) fuzz::fail("a memory source cannot be missing");
  if (settings.report_width > kWidthCap) return -1;
  for (const auto& group : catalog.groups())
    group->header = group->footer = std::nullopt;

  // Every configured group needs a report name, or the run stops here.
  const auto& groups = catalog.groups();
  for (std::size_t i = 1; i < groups.size(); ++i) {
    if (!groups[i]->report) return 0;
  }

  TemplateList tags;
  MemorySource tmpl(template_text);
  if (read_template(tmpl, tags) != 0) return 0;

  MemorySource list(list_text);
  if (!read_new_files(list, tags, settings.excluded_areas, catalog)) return 0;

  std::size_t console_bytes = 0;
  const ConsoleOut console = [&](std::string_view line) {
    if (line.empty()) fuzz::fail("an empty console line");
    console_bytes += line.size();
  };
  std::deque<std::string> reports;  // a deque keeps every kept string in place
  const SinkFactory open_sink = [&](const std::string& name) -> std::unique_ptr<ByteSink> {
    if (!name.empty() && name[0] == '!') return nullptr;
    reports.emplace_back();
    return std::make_unique<KeptSink>(reports.back(),
                                      !name.empty() && name[0] == '#' ? 64 : SIZE_MAX);
  };
  const ReportResult result = write_reports(catalog, settings, console, open_sink);
  if (reports.size() > groups.size()) fuzz::fail("more reports than groups");
  for (const std::string& report : reports)
    check_line_ends(report);
  if (result.status == ReportResult::Status::kOk && console_bytes == 0)
    fuzz::fail("a run that wrote no console line");
  return 0;
}
