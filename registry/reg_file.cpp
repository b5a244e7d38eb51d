#include "registry/reg_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zbx {
namespace {

// Closes a descriptor when the scope ends.
struct FdGuard {
  int fd;
  ~FdGuard() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

bool RegFileWriter::CreateExclusive(const std::string& path) {
  Close();
  if (path.empty()) return false;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  return fd_ >= 0;
}

bool RegFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(fd_), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void RegFileWriter::Close() {
  if (fd_ >= 0) ::close(static_cast<int>(fd_));
  fd_ = -1;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& content) {
  content.clear();
  if (path.empty()) return false;
  FdGuard file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return false;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (S_ISREG(st.st_mode)) {
    if (static_cast<std::size_t>(st.st_size) > limit) return false;
    content.reserve(static_cast<std::size_t>(st.st_size));
  }
  // Read up to one byte past the limit, so that a file that grows, or a device without a
  // size, is refused all the same.
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (content.size() + static_cast<std::size_t>(n) > limit) return false;
    content.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace zbx
