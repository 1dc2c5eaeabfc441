#include "report/report_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "report/area_blocks.h"
#include "text/byte_scan.h"
#include "text/char_class.h"
#include "text/decimal.h"
#include "text/format.h"
#include "text/text_reader.h"

namespace movrek {

namespace {

constexpr char kRuleByte = static_cast<char>(0xC4);
constexpr std::size_t kNameColumns = 13;  // "%-12.12s "
constexpr std::size_t kSizeColumns = 9;   // "%8.8s "
// Entries whose texts are fetched ahead of the one being written.
constexpr std::size_t kPrefetchAhead = 16;
// Headers and footers are copied through a 256-byte buffer.
constexpr std::size_t kCopyPiece = 255;

// What a byte is to the wrap: part of a word, whitespace, or the NUL that
// ends the text.
enum ByteClass : unsigned char { kWordByte, kSpaceByte, kEndByte };
constexpr std::array<ByteClass, 256> kByteClasses = [] {
  std::array<ByteClass, 256> classes{};
  for (int c = 0; c < 256; ++c)
    classes[c] = c == 0                                    ? kEndByte
                 : is_space(static_cast<unsigned char>(c)) ? kSpaceByte
                                                           : kWordByte;
  return classes;
}();

ByteClass byte_class(char c) {
  return kByteClasses[static_cast<unsigned char>(c)];
}

// The end of the word that starts at `p`: its first whitespace or NUL byte,
// or `end`. Sixteen bytes are looked at a time for a byte up to 0x20, which
// every byte that ends a word is.
const char* word_end(const char* p, const char* end) {
  while (end - p >= static_cast<std::ptrdiff_t>(Bytes16::kSize)) {
    const ByteMarks low = Bytes16(p).below(0x21);
    if (!low.any()) {
      p += Bytes16::kSize;
      continue;
    }
    // A control byte other than whitespace belongs to the word.
    p += low.first();
    if (byte_class(*p) != kWordByte) return p;
    ++p;
  }
  while (p != end && byte_class(*p) == kWordByte)
    ++p;
  return p;
}

// True when the text holds no byte below 0x20 (so no whitespace but the
// space and no NUL) and no two spaces in a row: then its words stand as
// they are written, each after one space.
bool plain_text(const char* p, const char* end) {
  for (; end - p > static_cast<std::ptrdiff_t>(Bytes16::kSize); p += Bytes16::kSize) {
    // Two spaces in a row: one here, and one at the next offset.
    const Bytes16 here(p);
    const Bytes16 next(p + 1);
    if ((here.below(0x20) | (here.equal(' ') & next.equal(' '))).any()) return false;
  }
  for (; p != end; ++p) {
    if (static_cast<unsigned char>(*p) < 0x20 || (*p == ' ' && p + 1 != end && p[1] == ' ')) {
      return false;
    }
  }
  return true;
}

void write_file_entry(const FileEntry& file, const Settings& settings, TextWriter& out,
                      std::uint32_t& byte_total) {
  // The name column and, for an entry with a size, the size column, written
  // in one piece.
  char head[kNameColumns + kSizeColumns];
  std::memset(head, ' ', sizeof head);
  const std::string_view name = file.name().substr(0, 12);
  if (!name.empty()) std::memcpy(head, name.data(), name.size());
  std::size_t head_size = kNameColumns;
  const long width = settings.report_width;
  long available = width - static_cast<long>(kNameColumns);
  if (const Text size = file.size()) {
    const std::string_view shown = size->substr(0, 8);
    if (!shown.empty())
      std::memcpy(head + kNameColumns + 8 - shown.size(), shown.data(), shown.size());
    head_size += kSizeColumns;
    byte_total += decimal_value(*size);
    available -= static_cast<long>(kSizeColumns);
  }
  out.write_plain(std::string_view(head, head_size));
  const long indent = width - available;  // 13, or 22 with a size column
  const Text description = file.description();
  if (description) {
    wrap_words(description->empty() ? std::string_view(settings.no_description) : *description,
               available, indent, out);
  }
  if (const Text origin = file.origin(); origin && !origin->empty()) {
    if (description) out.new_line(indent);
    out.write_plain(" Origin: ");
    out.write_plain(*origin);
  }
  out.put('\n');
}

}  // namespace

void wrap_words(std::string_view text, long available, long indent, TextWriter& out) {
  if (available <= 0) return;
  const std::size_t width = static_cast<std::size_t>(available);
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t column = 0;
  // The words taken but not yet written: one space, then the bytes from
  // `run` to `run_end`, where single spaces separate them as in the output.
  const char* run = nullptr;
  const char* run_end = nullptr;
  const auto write_run = [&] {
    if (run == nullptr) return;
    if (run != text.data() && run[-1] == ' ') {
      out.write_plain(std::string_view(run - 1, static_cast<std::size_t>(run_end - run) + 1));
    } else {
      out.put(' ');
      out.write_plain(std::string_view(run, static_cast<std::size_t>(run_end - run)));
    }
    run = nullptr;
  };
  const auto skip_space = [&] {
    while (p != end && byte_class(*p) == kSpaceByte)
      ++p;
    return p != end && byte_class(*p) != kEndByte;
  };
  if (plain_text(p, end)) {
    // Lines of words between single spaces are written as they stand: each
    // takes the words up to the last space that leaves its words room, and
    // the word after it does not fit. A word as long as the width, or
    // longer, is left to the word by word loop below.
    const char* words_end = end;
    if (p != end && *p == ' ') ++p;
    if (words_end != p && words_end[-1] == ' ') --words_end;
    while (p != words_end) {
      const char* line_end = words_end;
      if (static_cast<std::size_t>(words_end - p) >= width) {
        line_end = p + width - 1;
        while (line_end != p && *line_end != ' ')
          --line_end;
        if (line_end == p) break;
      }
      if (column > 0) out.new_line(indent);
      run = p;
      run_end = line_end;
      write_run();
      column = static_cast<std::size_t>(line_end - p) + 1;
      p = line_end == words_end ? words_end : line_end + 1;
    }
  }
  while (skip_space()) {
    const char* word = p;
    p = word_end(p, end);
    std::size_t n = static_cast<std::size_t>(p - word);
    if (n + 1 + column > width) {
      write_run();
      out.new_line(indent);
      column = 0;
      // A word as long as the width or longer comes in pieces of the width; a
      // piece needs one column more than its length, so one of the full width
      // never fits and stands on a line of its own.
      while (n > width) {
        out.put(' ');
        out.write_plain(std::string_view(word, width));
        out.new_line(indent);
        word += width;
        n -= width;
      }
      if (n == width) {
        // Its last piece too: the next word starts a line.
        out.put(' ');
        out.write_plain(std::string_view(word, width));
        column = width + 1;
        continue;
      }
    }
    if (run != nullptr && word == run_end + 1 && *run_end == ' ') {
      run_end = p;
    } else {
      write_run();
      run = word;
      run_end = p;
    }
    column += n + 1;
  }
  write_run();
}

void write_area_head(const Area& area, const Settings& settings, TextWriter& out) {
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
}

std::uint32_t write_file_entries(std::span<const FileEntry> files, const Settings& settings,
                                 TextWriter& out) {
  std::uint32_t byte_total = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i + kPrefetchAhead < files.size()) files[i + kPrefetchAhead].prefetch();
    write_file_entry(files[i], settings, out, byte_total);
  }
  return byte_total;
}

void write_area_tail(std::uint32_t byte_total, std::size_t file_count, const Settings& settings,
                     TextWriter& out) {
  // Counted as the 32-bit signed counter of the report format.
  const auto file_counter = static_cast<std::int32_t>(file_count);
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

void write_area_block(const Area& area, const Settings& settings, TextWriter& out) {
  write_area_head(area, settings, out);
  const std::span<const FileEntry> files = area.files();
  write_area_tail(write_file_entries(files, settings, out), files.size(), settings, out);
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
  // What was read before a failure is in the report; the copy stops there.
  return reader.failed() ? CopyResult::kReadFailed : CopyResult::kCopied;
}

ReportResult write_reports(const Catalog& catalog, const Settings& settings, FileSystem& files,
                           const ReportProgress& progress) {
  // Made ahead, in memory, while the reports are written here.
  AreaBlocks blocks(catalog, settings);
  const auto& groups = catalog.groups();
  for (std::size_t index = 0; index < groups.size(); ++index) {
    const Group& group = *groups[index];
    const std::string report = group.report.value_or(std::string());
    if (group.file_count() == 0) {
      progress(ReportStep::kNothingToWrite, report);
      continue;
    }
    const std::unique_ptr<ByteSink> sink = file_or_null(files.create(report));
    if (!sink) return {ReportResult::Status::kCannotCreate, report};
    progress(ReportStep::kWriting, report);

    TextWriter out(*sink);
    // A header or footer that cannot be read to its end stops the walk; the
    // report keeps what was written before.
    if (copy_text_file(files, group.header, out) == CopyResult::kReadFailed) {
      out.close();
      return {ReportResult::Status::kReadFailed, *group.header};
    }
    blocks.write_group(index, out);
    if (copy_text_file(files, group.footer, out) == CopyResult::kReadFailed) {
      out.close();
      return {ReportResult::Status::kReadFailed, *group.footer};
    }
    if (!out.close()) return {ReportResult::Status::kWriteFailed, report};
  }
  return {};
}

}  // namespace movrek
