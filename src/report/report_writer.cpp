#include "report/report_writer.h"

#include <cstring>

#include "text/decimal.h"
#include "text/format.h"
#include "text/take_word.h"
#include "text/text_reader.h"

namespace movrek {

namespace {

constexpr char kRuleByte = static_cast<char>(0xC4);
constexpr long kNameColumns = 13;  // "%-12.12s "
constexpr long kSizeColumns = 9;   // "%8.8s "
// Headers and footers are copied through a 256-byte buffer.
constexpr std::size_t kCopyPiece = 255;

// A line feed and the indentation under the first description column.
void new_line_indent(TextWriter& out, long indent) {
  out.put('\n');
  out.fill(' ', indent);
}

// Writes the words of `text`, each after one space, breaking the line before a
// word that does not fit, with its space, into what is left of `available`.
void wrap(std::string_view text, long available, long indent, TextWriter& out) {
  long column = 0;
  std::string_view cursor = text;
  while (const auto word = take_word(cursor, available)) {
    const long n = static_cast<long>(word->size());
    if (n + 1 > available - column) {
      new_line_indent(out, indent);
      column = 0;
    }
    out.put(' ');
    out.write_plain(*word);
    column += n + 1;
  }
}

void write_file_entry(const FileEntry& file, const Settings& settings, TextWriter& out,
                      std::uint32_t& byte_total) {
  const std::string_view name = file.name().substr(0, 12);
  out.write_plain(name);
  out.fill(' ', static_cast<long>(12 - name.size()) + 1);

  const long width = settings.report_width;
  long available = width - kNameColumns;
  if (const Text size = file.size()) {
    const std::string_view shown = size->substr(0, 8);
    out.fill(' ', static_cast<long>(8 - shown.size()));
    out.write_plain(shown);
    out.put(' ');
    byte_total += decimal_value(*size);
    available -= kSizeColumns;
  }
  const long indent = width - available;  // 13, or 22 with a size column
  const Text description = file.description();
  if (description) {
    wrap(description->empty() ? std::string_view(settings.no_description) : *description, available,
         indent, out);
  }
  if (const Text origin = file.origin(); origin && !origin->empty()) {
    if (description) new_line_indent(out, indent);
    out.write_plain(" Origin: ");
    out.write_plain(*origin);
  }
  out.put('\n');
}

}  // namespace

void write_area_block(const Area& area, const Settings& settings, TextWriter& out) {
  out.write("\n Area ");
  out.write_plain(area.name());
  if (const Text d = area.description(); d && !d->empty()) {
    out.write_plain(" (");
    out.write_plain(*d);
    out.put(')');
  }
  if (const Text l = area.link(); l && !l->empty()) {
    out.write_plain(" from ");
    out.write_plain(*l);
  }
  out.put('\n');
  out.fill(kRuleByte, settings.report_width);
  out.put('\n');

  std::uint32_t byte_total = 0;
  std::int32_t file_counter = 0;
  for (const FileEntry& file : area.files()) {
    write_file_entry(file, settings, out, byte_total);
    ++file_counter;
  }

  out.fill(kRuleByte, settings.report_width);
  out.write("\n Total ");
  if (byte_total != 0) {
    out.write_plain("of ");
    out.write_plain(decimal_text(byte_total));
    out.write_plain(" bytes in ");
  }
  out.write_plain(decimal_text(file_counter));
  const bool singular = file_counter % 100 != 11 && file_counter % 10 == 1;
  out.write(singular ? " file\n" : " files\n");
}

CopyResult copy_text_file(FileSystem& files, const std::optional<std::string>& name,
                          TextWriter& report) {
  if (!name) return CopyResult::kLeftOut;
  const auto source = file_or_null(files.open(*name));
  if (!source) return CopyResult::kLeftOut;
  TextReader reader(*source);
  std::string piece;
  while (reader.read_piece(kCopyPiece, piece)) {
    // A NUL byte drops itself and the rest of its piece.
    const void* nul = std::memchr(piece.data(), '\0', piece.size());
    const std::size_t n =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - piece.data()) : piece.size();
    report.write(std::string_view(piece.data(), n));
  }
  // A piece cut short by the failure is not written.
  return reader.failed() ? CopyResult::kReadFailed : CopyResult::kCopied;
}

ReportResult write_reports(const Catalog& catalog, const Settings& settings, FileSystem& files,
                           const ReportProgress& progress) {
  for (const auto& group : catalog.groups()) {
    const std::string report = group->report.value_or(std::string());
    if (group->file_count() == 0) {
      progress(ReportStep::kNothingToWrite, report);
      continue;
    }
    const std::unique_ptr<ByteSink> sink = file_or_null(files.create(report));
    if (!sink) return {ReportResult::Status::kCannotCreate, report};
    progress(ReportStep::kWriting, report);

    TextWriter out(*sink);
    // A header or footer that cannot be read to its end stops the walk; the
    // report keeps what was written before.
    if (copy_text_file(files, group->header, out) == CopyResult::kReadFailed) {
      out.close();
      return {ReportResult::Status::kReadFailed, *group->header};
    }
    group->for_each_area([&](const Area& area) {
      if (area.file_total() > 0 && out.ok()) write_area_block(area, settings, out);
    });
    if (copy_text_file(files, group->footer, out) == CopyResult::kReadFailed) {
      out.close();
      return {ReportResult::Status::kReadFailed, *group->footer};
    }
    if (!out.close()) return {ReportResult::Status::kWriteFailed, report};
  }
  return {};
}

}  // namespace movrek
