#pragma once
// Files of the .reg export and import: a new file created exclusively (never an existing
// file, never through a symbolic link), and a whole file read with a size limit. File
// names are UTF-8 (on Windows too, where the file calls take UTF-16).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zbx {

class RegFileWriter {
 public:
  RegFileWriter() = default;
  ~RegFileWriter() { Close(); }
  RegFileWriter(const RegFileWriter&) = delete;
  RegFileWriter& operator=(const RegFileWriter&) = delete;

  // Creates the file; false when anything (a file, a link, a folder) already has the name
  // or it cannot be created. The check and the creation are one step.
  bool CreateExclusive(const std::string& path);
  // Writes all the bytes; false on any failure.
  bool Write(std::string_view bytes);
  void Close();

 private:
  std::intptr_t fd_ = -1;  // a descriptor, or a Windows file handle
};

// Whether anything (a file, a folder, a link, also one that leads nowhere) has the name.
bool PathExists(const std::string& path);

// The limit on files read whole: a hostile file must not take unbounded memory.
inline constexpr std::size_t kMaxRegFileSize = 64u * 1024 * 1024;

// Reads the whole file into `content`; false when it is missing, unreadable, not a
// regular file's content (a folder) or larger than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::size_t limit, std::string& content);

}  // namespace zbx
