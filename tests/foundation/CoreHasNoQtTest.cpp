// The core library must build without a window toolkit: none of its sources names a Qt header.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

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

}  // namespace
