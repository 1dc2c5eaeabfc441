#include "memory_files.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "driver/run.h"
#include "text/char_class.h"

namespace movrek::testing {

long MemorySource::read(char* buf, std::size_t n) {
  std::size_t want = std::min({n, chunk_, data_.size() - pos_});
  if (fail_at_ != SIZE_MAX && pos_ + want > fail_at_) {
    if (pos_ >= fail_at_) return -1;
    want = fail_at_ - pos_;
  }
  // An empty view may have no data pointer at all, which memcpy must not see.
  if (want > 0) std::memcpy(buf, data_.data() + pos_, want);
  pos_ += want;
  return static_cast<long>(want);
}

bool StringSink::write(const char* data, std::size_t n) {
  const std::size_t room = capacity_ - bytes_.size();
  bytes_.append(data, std::min(n, room));
  return n <= room;
}

bool MemoryFiles::fails(const char* call, const std::string& path, bool can_say_no_memory) {
  if (++calls_ != fail_at) return false;
  failed_ = std::string(call) + " " + path;
  if (fault == Fault::kNoMemory && !can_say_no_memory) throw std::bad_alloc();
  return true;
}

class OpenedSource final : public ByteSource {
 public:
  OpenedSource(MemoryFiles& files, std::string path, std::string data)
      : files_(files), path_(std::move(path)), data_(std::move(data)) {}
  // Closing a file that was only read can fail, and nothing may come of it.
  ~OpenedSource() override {
    try {
      files_.fails("close", path_);
    } catch (const std::bad_alloc&) {
    }
  }
  long read(char* buf, std::size_t n) override {
    if (files_.fails("read", path_)) {
      files_.failed_offset_ = pos_;
      return -1;
    }
    const std::size_t got = std::min({n, files_.chunk, data_.size() - pos_});
    if (got > 0) std::memcpy(buf, data_.data() + pos_, got);
    pos_ += got;
    return static_cast<long>(got);
  }
  std::optional<std::uint64_t> size() const override { return data_.size(); }
  std::optional<FileId> identity() const override { return id_; }
  FileId id_;

 private:
  MemoryFiles& files_;
  std::string path_;
  std::string data_;
  std::size_t pos_ = 0;
};

namespace {

class Sink final : public ByteSink {
 public:
  Sink(MemoryFiles& files, std::string path, std::string& bytes)
      : files_(files), path_(std::move(path)), bytes_(bytes) {}
  bool write(const char* data, std::size_t n) override {
    if (files_.fails("write", path_)) {
      bytes_.append(data, n / 2);
      return false;
    }
    const std::size_t room = files_.capacity - std::min(files_.capacity, bytes_.size());
    bytes_.append(data, std::min(n, room));
    return n <= room;
  }
  bool close() override { return !files_.fails("close", path_); }

 private:
  MemoryFiles& files_;
  std::string path_;
  std::string& bytes_;
};

template <typename File>
Opened<File> refused(MemoryFiles::Fault fault) {
  return {nullptr, fault == MemoryFiles::Fault::kIo ? FileError::kOther : FileError::kNoMemory};
}

}  // namespace

std::string MemoryFiles::resolve(const std::string& path) const {
  std::string name = path;
  for (auto link = links.find(name); link != links.end(); link = links.find(name))
    name = link->second;
  return name;
}

Identity MemoryFiles::identify(const std::string& name) {
  const std::string path = resolve(name);
  const auto id_of = [&](const std::string& key) {
    return FileId{0, ids_.emplace(key, ids_.size() + 1).first->second};
  };
  if (files.count(path) != 0 || directories.count(path) != 0) {
    return {Identity::Kind::kFile, id_of(path), {}};
  }
  // Where it would be created: the directory part of the name, as written.
  if (can_create(path) != FileError::kNone) return {Identity::Kind::kNoFile, {}, {}};
  const std::size_t end = path.find_last_of("/\\");
  const std::string dir = end == std::string::npos ? std::string(".") : path.substr(0, end);
  std::string last = end == std::string::npos ? path : path.substr(end + 1);
  if (windows_names) {
    for (char& c : last)
      c = static_cast<char>(fold_case(static_cast<unsigned char>(c)));
  }
  return {Identity::Kind::kNoFile, id_of(dir + "/"), last};
}

Opened<ByteSource> MemoryFiles::open(const std::string& name) {
  if (fails("open", name, true)) return refused<ByteSource>(fault);
  const std::string path = resolve(name);
  if (directories.count(path) != 0) return {nullptr, FileError::kOther};
  const auto it = files.find(path);
  if (it == files.end()) return {nullptr, FileError::kNotFound};
  auto source = std::make_unique<OpenedSource>(*this, path, it->second);
  source->id_ = identify(path).id;
  return {std::move(source)};
}

FileError MemoryFiles::can_create(const std::string& name) {
  const std::string path = resolve(name);
  if (directories.count(path) != 0) return FileError::kOther;
  // A file goes into a directory that is listed or holds a file already.
  if (const std::size_t end = path.find_last_of("/\\"); end != std::string::npos) {
    const std::string dir = path.substr(0, end);
    if (dir == ".") return FileError::kNone;
    const auto in_dir = [&](const auto& file) { return file.first.starts_with(dir + path[end]); };
    if (directories.count(dir) == 0 && std::none_of(files.begin(), files.end(), in_dir))
      return FileError::kNotFound;
  }
  return FileError::kNone;
}

Opened<ByteSink> MemoryFiles::create(const std::string& name) {
  if (fails("create", name, true)) return refused<ByteSink>(fault);
  const std::string path = resolve(name);
  if (const FileError error = can_create(path); error != FileError::kNone) return {nullptr, error};
  created.insert(path);
  std::string& bytes = files[path];
  bytes.clear();
  return {std::make_unique<Sink>(*this, path, bytes)};
}

int MemoryHost::run(const std::vector<std::string>& args, Program program) {
  std::vector<const char*> argv{"movrek32"};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  return program(static_cast<int>(argv.size()), argv.data(), *this);
}

}  // namespace movrek::testing
