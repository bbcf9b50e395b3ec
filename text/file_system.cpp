#include "text/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
