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

// Writes the parts of one input, separated by lines "====", to the given paths below base, in
// order; the parts after the last separator found are not written.
template <size_t N>
void WriteParts(const std::string& base, const std::string& in, const char* const (&paths)[N]) {
  size_t start = 0;
  for (const char* path : paths) {
    const size_t cut = in.find("\n====\n", start);
    const std::string chunk =
        in.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
    WriteRaw(base + "/" + path, reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
    if (cut == std::string::npos) break;
    start = cut + 6;
  }
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
