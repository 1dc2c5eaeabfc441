#include "report/report_writer.h"

#include <cstring>
#include <set>
#include <vector>

#include "report/area_blocks.h"
#include "text/text_reader.h"

namespace movrek {

namespace {
// Headers and footers are copied through a 256-byte buffer.
constexpr std::size_t kCopyPiece = 255;
}  // namespace

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

std::vector<InputFile> frame_files(const Catalog& catalog, FileSystem& files) {
  std::vector<InputFile> frames;
  std::set<std::string> seen;
  for (const auto& group : catalog.groups()) {
    if (group->file_count() == 0) continue;
    for (const std::optional<std::string>* name : {&group->header, &group->footer}) {
      if (!*name || !seen.insert(**name).second) continue;
      // One that is not there yet is read too, if a report creates it first.
      const Identity identity = files.identify(**name);
      if (identity.kind != Identity::Kind::kUnknown) frames.push_back({**name, identity});
    }
  }
  return frames;
}

const InputFile* replaced_input(FileSystem& files, const std::string& report,
                                std::span<const InputFile> inputs, bool& unknown) {
  const Identity identity = files.identify(report);
  unknown = identity.kind == Identity::Kind::kUnknown;
  for (const InputFile& input : inputs) {
    if (same_file(input.id, identity)) return &input;
  }
  return nullptr;
}

ReportResult write_reports(const Catalog& catalog, const Settings& settings, FileSystem& files,
                           std::span<const InputFile> read, const ReportProgress& progress) {
  std::vector<InputFile> inputs(read.begin(), read.end());
  for (InputFile& frame : frame_files(catalog, files))
    inputs.push_back(std::move(frame));
  // A report is written for each group with files placed into it.
  std::vector<const Group*> written;
  for (const auto& group : catalog.groups()) {
    if (group->file_count() > 0) written.push_back(group.get());
  }
  // Their area blocks are made ahead, in memory, while they are written here.
  AreaBlocks blocks(written, settings);
  std::size_t index = 0;
  for (const auto& group_ptr : catalog.groups()) {
    const Group& group = *group_ptr;
    const std::string report = group.report.value_or(std::string());
    if (group.file_count() == 0) {
      progress(ReportStep::kNothingToWrite, report);
      continue;
    }
    bool unknown = false;
    if (replaced_input(files, report, inputs, unknown) != nullptr || unknown) {
      return {ReportResult::Status::kWouldReplace, report};
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
    blocks.write_group(index++, out);
    if (copy_text_file(files, group.footer, out) == CopyResult::kReadFailed) {
      out.close();
      return {ReportResult::Status::kReadFailed, *group.footer};
    }
    if (!out.close()) return {ReportResult::Status::kWriteFailed, report};
  }
  return {};
}

}  // namespace movrek
