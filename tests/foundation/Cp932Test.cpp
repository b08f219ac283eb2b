// The CP932 converter against the C library's own over the whole code table, both ways.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "TestSupport.h"
#include "engine/UrwShellState.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {
namespace {

// The library's conversion of a whole text; false when it refuses any of it.
class TIconv {
 public:
  TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TIconv() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  bool Run(const std::string& in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[32];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
      return false;
    }
    // Flush any pending state, as a whole-text conversion would.
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.assign(buf, sizeof buf - dstLeft);
    return true;
  }

 private:
  iconv_t cd_;
};

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

std::string Utf8(char32_t cp) {
  std::string u;
  if (cp < 0x80) {
    u += static_cast<char>(cp);
  } else if (cp < 0x800) {
    u += static_cast<char>(0xC0 | (cp >> 6));
    u += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    u += static_cast<char>(0xE0 | (cp >> 12));
    u += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    u += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    u += static_cast<char>(0xF0 | (cp >> 18));
    u += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    u += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    u += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return u;
}

TEST(Cp932Table, EncodesEveryCharacterExactlyAsTheLibrary) {
  TIconv lib("CP932", "UTF-8");
  ASSERT_TRUE(lib.Ok());
  int differences = 0;
  int encodable = 0;
  for (char32_t cp = 1; cp <= 0x10FFFF && differences < 10; ++cp) {
    if (cp >= 0xD800 && cp < 0xE000) continue;
    const std::string u = Utf8(cp);
    std::string ours, theirs;
    const bool okOurs = Utf8ToCp932(u, ours);
    const bool okTheirs = lib.Run(u, theirs);
    // The library drops some characters (the tag characters U+E0000..U+E007F) without output;
    // we refuse them, since a text saved without them would change without a word.
    const bool dropped = okTheirs && theirs.empty();
    encodable += okTheirs && !dropped ? 1 : 0;
    if (dropped ? okOurs : (okOurs != okTheirs || (okOurs && ours != theirs))) {
      ++differences;
      ADD_FAILURE() << "U+" << std::hex << static_cast<uint32_t>(cp) << ": ours "
                    << (okOurs ? Hex(ours) : "refused") << ", library "
                    << (okTheirs ? Hex(theirs) : "refused");
    }
  }
  EXPECT_EQ(0, differences);
  // JIS X 0208 and the vendor extensions hold well over seven thousand characters.
  EXPECT_GT(encodable, 7000);
}

TEST(Cp932Table, DecodesEveryCodeExactlyAsTheLibrary) {
  TIconv lib("UTF-8", "CP932");
  ASSERT_TRUE(lib.Ok());
  int differences = 0;
  const auto check = [&](const std::string& bytes) {
    std::string ours, theirs;
    const bool okOurs = Cp932ToUtf8(bytes, ours);
    const bool okTheirs = lib.Run(bytes, theirs);
    if (okOurs != okTheirs || (okOurs && ours != theirs)) {
      ++differences;
      ADD_FAILURE() << Hex(bytes) << ": ours " << (okOurs ? ours : "refused") << ", library "
                    << (okTheirs ? theirs : "refused");
    }
  };
  for (int b = 1; b < 0x100 && differences < 10; ++b) check(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead < 0x100 && differences < 10; ++lead) {
    std::string single;
    if (!Cp932ToUtf8(std::string(1, static_cast<char>(lead)), single)) {
      for (int trail = 0x40; trail < 0x100 && differences < 10; ++trail) {
        check(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
  }
  EXPECT_EQ(0, differences);
}

// Characters typed on other systems that have a CP932 code although reading gives back its usual
// form: each one can be saved.
TEST(Cp932Table, OneWayCharactersCanBeSaved) {
  const struct {
    const char* utf8;
    const char* cp932;
    const char* readBack;
  } cases[] = {
      {"〜", "\x81\x60", "～"}, {"−", "\x81\x7C", "－"}, {"‖", "\x81\x61", "∥"},
      {"¢", "\x81\x91", "￠"},  {"£", "\x81\x92", "￡"}, {"¬", "\x81\xCA", "￢"},
      {"—", "\x81\x5C", "―"},   {"¥", "\x5C", "\\"},
  };
  for (const auto& c : cases) {
    std::string bytes, back;
    ASSERT_TRUE(Utf8ToCp932(c.utf8, bytes)) << c.utf8;
    EXPECT_EQ(Hex(c.cp932), Hex(bytes)) << c.utf8;
    ASSERT_TRUE(Cp932ToUtf8(bytes, back));
    EXPECT_EQ(c.readBack, back);
  }
}

TEST(Cp932Table, ABoardNamedWithAWaveDashIsKeptInTheRecentList) {
  test::TTempDir dir;
  const std::string path = dir.Path() + "/latest.txt";
  ASSERT_TRUE(WriteRecentBrds(path, {"東京〜大阪", "B"}).ok());
  EXPECT_EQ("\x93\x8C\x8B\x9E\x81\x60\x91\xE5\x8D\xE3\r\nB\r\n", test::ReadBytes(path));
}

}  // namespace
}  // namespace ramvel
