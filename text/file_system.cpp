#include "text/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "text/encoding.h"

namespace orvendel {
namespace {

std::string native(const Text& path) {
  return convert_encoding(path, Encoding::kGbk, Encoding::kUtf8);
}

bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// The native paths of the temporary files in use, for remove_unfinished_files.
std::mutex unfinished_mutex;
std::set<std::string>& unfinished() {
  static auto* paths = new std::set<std::string>;  // never destroyed: used at exit
  return *paths;
}

}  // namespace

Text join_path(const Text& folder, const Text& name) { return folder + path_separator + name; }

Text current_directory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(buffer.find('\0'));
      return convert_encoding(buffer, Encoding::kUtf8, Encoding::kGbk);
    }
    if (errno != ERANGE) return {};
    buffer.assign(buffer.size() * 2, '\0');
  }
}

bool create_directory(const Text& path) {
  return !path.empty() && ::mkdir(native(path).c_str(), 0777) == 0;
}

bool file_exists(const Text& path) {
  struct stat info;
  return !path.empty() && ::stat(native(path).c_str(), &info) == 0;
}

bool rename_file(const Text& from, const Text& to) {
  return !from.empty() && !to.empty() && std::rename(native(from).c_str(), native(to).c_str()) == 0;
}

bool remove_file(const Text& path) {
  return !path.empty() && ::unlink(native(path).c_str()) == 0;
}

TemporaryFile::TemporaryFile(const Text& folder) {
  std::string pattern = native(join_path(folder, ".orvendel-XXXXXX.part"));
  std::lock_guard lock(unfinished_mutex);
  fd_ = ::mkostemps(pattern.data(), 5, O_CLOEXEC);
  if (fd_ < 0) return;
  native_path_ = pattern;
  unfinished().insert(native_path_);
}

TemporaryFile::~TemporaryFile() { discard(); }

bool TemporaryFile::write(std::string_view bytes) {
  if (fd_ < 0 || failed_) return false;
  if (!write_all(fd_, bytes.data(), bytes.size())) failed_ = true;
  return !failed_;
}

bool TemporaryFile::commit(const Text& target) {
  if (fd_ < 0) return false;
  bool ok = !failed_ && ::fsync(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && !target.empty() && std::rename(native_path_.c_str(), native(target).c_str()) == 0;
  if (ok) {
    std::lock_guard lock(unfinished_mutex);
    unfinished().erase(native_path_);
    native_path_.clear();
  }
  discard();
  return ok;
}

void TemporaryFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (native_path_.empty()) return;
  ::unlink(native_path_.c_str());
  std::lock_guard lock(unfinished_mutex);
  unfinished().erase(native_path_);
  native_path_.clear();
}

void remove_unfinished_files() {
  std::lock_guard lock(unfinished_mutex);
  for (const std::string& path : unfinished()) ::unlink(path.c_str());
  unfinished().clear();
}

namespace internal {

bool write_file_parts(const Text& path, const ByteBuffer* const* parts, std::size_t count) {
  if (path.empty()) return false;
  const int fd = ::open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t i = 0; i < count && ok; ++i) ok = write_all(fd, parts[i]->data(), parts[i]->size());
  if (::close(fd) != 0) ok = false;
  return ok;
}

}  // namespace internal
}  // namespace orvendel
