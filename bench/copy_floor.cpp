// Times what the system alone charges for the work of a run, beside the copy
// that `cat list > file` makes, so that the program's own figures can be read
// against them:
//   copy   the list read 64 KiB at a time into one reused buffer and written
//          to a new file, as cat does;
//   keep1  the list read into one fresh block of its size, as a program that
//          must hold every record until the last one is read does, on one
//          thread;
//   keep2  the same, the two halves read on two threads at once;
//   write  BYTES written from one reused buffer to a new file: a report's
//          write without making its text.
// Each is timed RUNS times after a sync; it prints the medians and the
// median run-by-run ratios to copy.
//
//   copy_floor LIST BYTES DIR [RUNS]

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kPiece = 64 * 1024;

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[(v.size() - 1) / 2];
}

bool write_all(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t put = ::write(fd, p, n);
    if (put <= 0) return false;
    p += put;
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

// Reads [from, to) of the file into block + from through a small buffer.
bool read_range(int fd, char* block, std::size_t from, std::size_t to) {
  const auto piece = std::make_unique_for_overwrite<char[]>(kPiece);
  while (from < to) {
    const ssize_t got =
        ::pread(fd, piece.get(), std::min(kPiece, to - from), static_cast<off_t>(from));
    if (got <= 0) return false;
    std::memcpy(block + from, piece.get(), static_cast<std::size_t>(got));
    from += static_cast<std::size_t>(got);
  }
  return true;
}

bool copy(int list, const std::string& to) {
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return false;
  const auto piece = std::make_unique_for_overwrite<char[]>(kPiece);
  bool ok = true;
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(list, piece.get(), kPiece, at);
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    if (!write_all(out, piece.get(), static_cast<std::size_t>(got))) {
      ok = false;
      break;
    }
    at += got;
  }
  return ::close(out) == 0 && ok;
}

bool keep(int list, std::size_t size, int threads) {
  const auto block = std::make_unique_for_overwrite<char[]>(size);
  if (threads == 1) return read_range(list, block.get(), 0, size);
  bool other = false;
  std::thread half([&] { other = read_range(list, block.get(), size / 2, size); });
  const bool mine = read_range(list, block.get(), 0, size / 2);
  half.join();
  return mine && other;
}

bool write_bytes(std::size_t n, const std::string& to) {
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) return false;
  std::vector<char> piece(kPiece, ' ');
  bool ok = true;
  while (ok && n > 0) {
    const std::size_t m = std::min(n, kPiece);
    ok = write_all(out, piece.data(), m);
    n -= m;
  }
  return ::close(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: copy_floor LIST BYTES DIR [RUNS]\n");
    return 2;
  }
  const int list = ::open(argv[1], O_RDONLY);
  struct stat st;
  if (list < 0 || ::fstat(list, &st) != 0) {
    std::perror(argv[1]);
    return 2;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  const std::size_t bytes = std::strtoull(argv[2], nullptr, 10);
  const std::string dir = argv[3];
  const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;

  const char* const names[] = {"copy", "keep1", "keep2", "write"};
  std::vector<double> times[4];
  std::vector<double> ratios[4];
  for (int run = 0; run < runs; ++run) {
    double t[4];
    for (int k = 0; k < 4; ++k) {
      ::sync();  // the last step's write-back must not fall into this one
      const auto start = std::chrono::steady_clock::now();
      bool ok = false;
      switch (k) {
        case 0:
          ok = copy(list, dir + "/copy");
          break;
        case 1:
          ok = keep(list, size, 1);
          break;
        case 2:
          ok = keep(list, size, 2);
          break;
        case 3:
          ok = write_bytes(bytes, dir + "/write");
          break;
      }
      t[k] = seconds_since(start);
      if (!ok) {
        std::fprintf(stderr, "copy_floor: %s failed\n", names[k]);
        return 1;
      }
    }
    ::unlink((dir + "/copy").c_str());
    ::unlink((dir + "/write").c_str());
    for (int k = 0; k < 4; ++k) {
      times[k].push_back(t[k]);
      ratios[k].push_back(t[k] / t[0]);
    }
  }
  for (int k = 0; k < 4; ++k)
    std::printf("%-6s %7.3f s %6.2fx copy\n", names[k], median(times[k]), median(ratios[k]));
  return 0;
}
