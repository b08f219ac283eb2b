// Helpers shared by all test folders: temporary folders and raw file access.
#pragma once

#include <map>
#include <string>
#include <vector>

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
// Every file and folder below dir: path relative to dir -> bytes ("<dir>" for folders); the
// lock files of boards, which programs make when they first read a board, are left out.
std::map<std::string, std::string> DirTree(const std::string& dir);

// What a program run printed and how it ended.
struct TProgramRun {
  int Exit = -1;  // exit status; -1 when it did not end normally
  std::string Out;
  std::string Err;
};

// Runs program with args, capturing standard output and error (through a file in scratchDir).
TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& scratchDir);

}  // namespace ramvel::test
