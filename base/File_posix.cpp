#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/File.h"
#include "base/Utf.h"

namespace base {

bool FileExists(const std::u16string& path) {
  struct stat st;
  return stat(Utf16ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// Owns a file descriptor.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Everything up to maxBytes; nothing when there is more (a file that grows while it is read) or
// a read fails.
std::optional<std::vector<uint8_t>> ReadAll(int fd, uint64_t maxBytes) {
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return data;
    data.insert(data.end(), buf, buf + n);
    if (data.size() > maxBytes) return std::nullopt;
  }
}

std::optional<std::vector<uint8_t>> Read(const std::u16string& path, uint64_t maxBytes, int flags,
                                         bool regularOnly) {
  // Compared, never bound to a reference: an odr-used inline constant is a unique symbol, and a
  // shared library holding one (the simulator) can no longer be unloaded.
  if (maxBytes > kMaxFileBytes) maxBytes = kMaxFileBytes;
  const Descriptor fd(open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | flags));
  if (fd.get() < 0) return std::nullopt;
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return std::nullopt;
  if (regularOnly && !S_ISREG(st.st_mode)) return std::nullopt;
  if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxBytes) return std::nullopt;
  return ReadAll(fd.get(), maxBytes);
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path, uint64_t maxBytes) {
  return Read(path, maxBytes, 0, false);
}

std::optional<std::vector<uint8_t>> ReadPlainFile(const std::u16string& path, uint64_t maxBytes) {
  // O_NONBLOCK: opening a FIFO would wait for a writer; the descriptor is dropped at once.
  return Read(path, maxBytes, O_NOFOLLOW | O_NONBLOCK, true);
}

FileBytes::FileBytes(const std::u16string& path, uint64_t maxBytes) {
  const Descriptor fd(open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return;
  struct stat st;
  if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  tooLarge_ = static_cast<uint64_t>(st.st_size) > maxBytes;
  if (tooLarge_ || static_cast<uint64_t>(st.st_size) > kMaxFileBytes) return;
  if (st.st_size == 0) {
    opened_ = true;
    return;
  }
  // Read into pages of their own, never mapped: a mapped file that shrinks while it is parsed
  // ends the process with SIGBUS.
  const auto n = static_cast<size_t>(st.st_size);
  void* pages = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return;
  data_ = static_cast<const uint8_t*>(pages);
  pagesBytes_ = n;
  for (size_t done = 0; done < n;) {
    const ssize_t got = read(fd.get(), static_cast<uint8_t*>(pages) + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;  // shrunk or failed: the destructor gives the pages back
    done += static_cast<size_t>(got);
  }
  size_ = n;
  opened_ = true;
}

FileBytes::~FileBytes() {
  if (data_) munmap(const_cast<uint8_t*>(data_), pagesBytes_);
}

}  // namespace base
