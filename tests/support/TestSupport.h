// Helpers shared by all test folders: temporary folders and raw file access.
#pragma once

#include <string>

namespace ramvel::test {

// A fresh empty folder removed again when the object goes away.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Writes bytes, creating missing parent folders.
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace ramvel::test
