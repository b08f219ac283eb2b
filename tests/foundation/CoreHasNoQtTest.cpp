// The core library must build and run without a window toolkit: none of its sources names a Qt
// header, its test program loads no Qt library, and includes run one way only: core, then the
// drawing, then the windows, then the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool IncludesQt(const std::string& source) {
  static const std::regex kQtInclude(R"(#\s*include\s*[<"](Qt|Q[A-Z])[A-Za-z/]*(\.h)?[>"])");
  return std::regex_search(source, kQtInclude);
}

TEST(CoreHasNoQt, DetectorRecognisesQtIncludes) {
  EXPECT_TRUE(IncludesQt("#include <QString>\n"));
  EXPECT_TRUE(IncludesQt("#  include \"QtWidgets/QWidget\"\n"));
  EXPECT_TRUE(IncludesQt("#include <QtCore>\n"));
  EXPECT_FALSE(IncludesQt("#include <queue>\n#include \"foundation/UrwCmnDef.h\"\n"));
}

TEST(CoreHasNoQt, NoCoreSourceIncludesQt) {
  std::ifstream list(RAMVEL_BINARY_DIR "/ramvel_core_sources.txt");
  ASSERT_TRUE(list) << "the build lists the core sources";
  std::string path;
  int files = 0;
  bool sawFoundation = false, sawInterop = false;
  while (std::getline(list, path)) {
    if (path.empty()) continue;
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(IncludesQt(text.str())) << path;
    sawFoundation |= path.find("UrwCmnDef.cpp") != std::string::npos;
    sawInterop |= path.find("/interop/") != std::string::npos;
    ++files;
  }
  EXPECT_GT(files, 5);
  EXPECT_TRUE(sawFoundation);
  EXPECT_TRUE(sawInterop) << "the exchange formats belong to the core";
}

// This program links the core and not Qt; had a core unit pulled Qt in, its libraries would be
// mapped into the running process.
TEST(CoreHasNoQt, TheCoreTestProgramRunsWithNoQtLibraryLoaded) {
  std::ifstream maps("/proc/self/maps");
  ASSERT_TRUE(maps) << "Linux shows the mapped libraries";
  std::string line;
  int lines = 0;
  bool sawLibc = false;
  while (std::getline(maps, line)) {
    ++lines;
    sawLibc |= line.find("libc.so") != std::string::npos || line.find("libc-") != std::string::npos;
    EXPECT_EQ(line.find("libQt"), std::string::npos) << line;
  }
  EXPECT_GT(lines, 0);
  EXPECT_TRUE(sawLibc) << "the check sees shared libraries at all";
}

// The layer of a top folder: a file may include from its own layer and those below. The core
// folders share the lowest layers; cli and tools stand beside shell.
int LayerOf(const std::string& folder) {
  static const std::map<std::string, int> kLayers = {
      {"foundation", 0},  {"model", 1},       {"engine", 2},           {"station_designer", 3},
      {"timetable", 3},   {"interop", 3},     {"analysis", 3},         {"view", 4},
      {"windows", 5},     {"shell", 6},       {"diagnostics", 6},      {"cli", 7},
      {"tools", 7}};
  const auto it = kLayers.find(folder);
  return it == kLayers.end() ? -1 : it->second;
}

// The top folders named by a file's quoted includes ("engine/UrwBrdData.h" -> engine).
std::vector<std::string> IncludedFolders(const std::string& source) {
  static const std::regex kInclude(R"(#\s*include\s*"([a-z_]+)/)");
  std::vector<std::string> out;
  for (auto it = std::sregex_iterator(source.begin(), source.end(), kInclude);
       it != std::sregex_iterator(); ++it) {
    out.push_back((*it)[1]);
  }
  return out;
}

TEST(LayersPointDown, DetectorReadsTheFolderOfEachInclude) {
  const std::vector<std::string> want = {"engine", "windows", "view"};
  EXPECT_EQ(IncludedFolders("#include \"engine/UrwBrdData.h\"\n#include <QImage>\n"
                            "#  include \"windows/common/UrwQtHost.h\"\n#include \"TestSupport.h\"\n"
                            "#include \"view/UrwDrawKit.h\"\n"),
            want);
  EXPECT_LT(LayerOf("engine"), LayerOf("view"));
  EXPECT_LT(LayerOf("view"), LayerOf("windows"));
  EXPECT_LT(LayerOf("windows"), LayerOf("shell"));
  EXPECT_EQ(LayerOf("tests"), -1);
}

TEST(LayersPointDown, NoSourceIncludesFromALayerAboveItsOwn) {
  namespace fs = std::filesystem;
  const fs::path root = RAMVEL_SOURCE_DIR;
  int files = 0;
  for (const auto& top : fs::directory_iterator(root)) {
    const std::string folder = top.path().filename().string();
    const int layer = LayerOf(folder);
    if (!top.is_directory() || layer < 0) continue;
    for (const auto& e : fs::recursive_directory_iterator(top.path())) {
      const std::string ext = e.path().extension().string();
      if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      std::ifstream in(e.path());
      std::ostringstream text;
      text << in.rdbuf();
      for (const std::string& inc : IncludedFolders(text.str())) {
        const int to = LayerOf(inc);
        EXPECT_LE(to, layer) << fs::relative(e.path(), root).string() << " includes from " << inc
                             << "/, a layer above " << folder << "/";
      }
      ++files;
    }
  }
  EXPECT_GT(files, 100);
}

// Windows live in windows/<area>/; a *Form unit in a core folder would drag Qt into the core.
TEST(LayersPointDown, NoWindowUnitInACoreFolder) {
  namespace fs = std::filesystem;
  for (const char* core : {"foundation", "model", "engine", "station_designer", "timetable",
                           "interop", "analysis"}) {
    const fs::path dir = fs::path(RAMVEL_SOURCE_DIR) / core;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string stem = e.path().stem().string();
      EXPECT_FALSE(stem.size() > 4 && stem.compare(stem.size() - 4, 4, "Form") == 0)
          << core << "/" << e.path().filename().string() << " belongs in windows/";
    }
  }
}

}  // namespace
