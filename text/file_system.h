#pragma once
// The file-system operations, on GBK paths. Each converts its path to the
// file system's encoding (UTF-8) at the system call; a path character
// without a UTF-8 form cannot occur, since every GBK character has one.

#include "text/text_types.h"

namespace orvendel {

// The separator between a folder and a name in a path, on this platform.
inline constexpr const char* path_separator = "/";

// folder + path_separator + name: join_path("/a", "b") == "/a/b".
Text join_path(const Text& folder, const Text& name);

// The process's working directory, however long, in GBK; "" when it cannot
// be read. A character of the directory's name that GBK lacks reads as "?".
Text current_directory();

// Creates one directory level; true when it was created, false when it
// existed already, its parent is missing or it cannot be made.
bool create_directory(const Text& path);

// true when a file or directory exists at path. "" gives false.
bool file_exists(const Text& path);

// Creates path, or truncates it, and writes each buffer in order.
// false at once for an empty path; false when it cannot be opened or a write
// fails (a file created before the failure stays).
template <typename... Buffers>
bool write_file(const Text& path, const Buffers&... buffers);

// Renames from to to, replacing to when it exists; true on success.
bool rename_file(const Text& from, const Text& to);

// Removes the file at path; true when it was removed.
bool remove_file(const Text& path);

// A file written in pieces under a temporary name beside its target, and put
// in place only when it is whole: the target is never seen half-written, and
// an existing target stays byte for byte as it was until commit succeeds.
// The temporary file is removed on destruction unless committed, and by
// remove_unfinished_files() when the process ends early.
class TemporaryFile {
 public:
  // Creates a new, empty file with a unique name in folder; ok() tells
  // whether it could.
  explicit TemporaryFile(const Text& folder);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  // Appends bytes; false once any write failed.
  bool write(std::string_view bytes);
  // Flushes the file to disk, closes it and renames it to target, replacing
  // a file there. false (and the temporary file removed) when any write,
  // the flush or the rename failed.
  bool commit(const Text& target);

 private:
  void discard();
  int fd_ = -1;
  bool failed_ = false;
  std::string native_path_;
};

// Removes the temporary files of every TemporaryFile not yet committed or
// destroyed. For a process that is about to end without running destructors.
void remove_unfinished_files();

// --- Implementation details. ---
namespace internal {
bool write_file_parts(const Text& path, const ByteBuffer* const* parts, std::size_t count);
}

template <typename... Buffers>
bool write_file(const Text& path, const Buffers&... buffers) {
  const ByteBuffer* parts[] = {&buffers..., nullptr};
  return internal::write_file_parts(path, parts, sizeof...(buffers));
}

}  // namespace orvendel
