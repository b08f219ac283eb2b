// Temporary folders and raw file access for tests.
#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ramvel::test {

namespace fs = std::filesystem;

TTempDir::TTempDir() {
  static std::atomic<int> counter{0};
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    const fs::path p = base / ("ramvel-test-" + std::to_string(::getpid()) + "-" +
                               std::to_string(counter++));
    if (fs::create_directory(p)) {
      path_ = p.string();
      return;
    }
  }
}

TTempDir::~TTempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::map<std::string, std::string> DirTree(const std::string& dir) {
  std::map<std::string, std::string> tree;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.path().filename() == ".ramvel-lock") continue;  // a board's lock holds nothing
    const std::string rel = std::filesystem::relative(e.path(), dir).string();
    tree[rel] = e.is_directory() ? "<dir>" : ReadBytes(e.path().string());
  }
  return tree;
}

namespace {

std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& scratchDir) {
  const std::string errFile = scratchDir + "/stderr.txt";
  std::string cmd = ShellQuote(program);
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  cmd += " 2>" + ShellQuote(errFile);
  TProgramRun run;
  FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return run;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) run.Out.append(buf, n);
  const int status = pclose(pipe);
  run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Err = ReadBytes(errFile);
  return run;
}

}  // namespace ramvel::test
