// Helpers for the fuzz targets: a private scratch folder and raw file writing.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace ramvel::fuzz {

// One scratch folder per fuzzing process, emptied for every input.
inline std::string ScratchDir() {
  static const std::string dir = [] {
    const auto p = std::filesystem::temp_directory_path() /
                   ("ramvel-fuzz-" + std::to_string(::getpid()));
    return p.string();
  }();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return dir;
}

inline void WriteRaw(const std::string& path, const uint8_t* data, size_t size) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A round trip that changed the bytes is a fault: stop the fuzzer there.
inline void CheckSame(const std::string& a, const std::string& b) {
  if (a != b) std::abort();
}

}  // namespace ramvel::fuzz
