// CP932 <-> UTF-8 through tables built once from the C library's converter, so that every file
// converts exactly as the library would, at the speed of a table lookup.
#include <iconv.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

// UTF-8 of one character packed as bytes in the low 3 bytes and the length in the top byte;
// 0 = no character.
using TPacked = uint32_t;

TPacked Pack(const char* p, size_t n) {
  TPacked v = static_cast<TPacked>(n) << 24;
  for (size_t i = 0; i < n; ++i) v |= static_cast<TPacked>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}

void Append(std::string& out, TPacked v) {
  const size_t n = v >> 24;
  for (size_t i = 0; i < n; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

class TConv {
 public:
  TConv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TConv() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // The whole of in converted, or an empty text when it does not convert.
  std::string Run(std::string_view in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[16];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) {
      return {};
    }
    return std::string(buf, sizeof buf - dstLeft);
  }

 private:
  iconv_t cd_;
};

char32_t CodePoint(std::string_view u, size_t& i);

struct TTables {
  std::array<TPacked, 256> Single{};
  std::vector<TPacked> Double = std::vector<TPacked>(65536, 0);
  std::unordered_map<char32_t, uint16_t> Encode;  // code point -> CP932 (1 or 2 bytes)

  TTables() {
    TConv dec("UTF-8", "CP932"), enc("CP932", "UTF-8");
    if (!dec.ok() || !enc.ok()) return;
    for (int b = 0x80; b < 0x100; ++b) {
      const char c = static_cast<char>(b);
      const std::string u = dec.Run(std::string_view(&c, 1));
      if (!u.empty()) Add(b, u, enc);
    }
    for (int lead = 0x81; lead < 0x100; ++lead) {
      if (Single[static_cast<size_t>(lead)] != 0) continue;
      for (int trail = 0x40; trail < 0x100; ++trail) {
        const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::string u = dec.Run(std::string_view(two, 2));
        if (!u.empty()) Add(lead << 8 | trail, u, enc);
      }
    }
    AddOneWay(enc);
  }

  // Characters that the library encodes although no code decodes to them (〜 U+301C to 81 60,
  // ¥ to 5C ...): without them a text typed with such a character could not be saved.
  void AddOneWay(TConv& enc) {
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
      if ((cp >= 0xD800 && cp < 0xE000) || Encode.count(cp) > 0) continue;
      const std::string back = enc.Run(Utf8Of(cp));
      if (back.size() == 1 || back.size() == 2) Encode.emplace(cp, Code(back));
    }
  }

  static uint16_t Code(const std::string& b) {
    uint16_t v = static_cast<unsigned char>(b[0]);
    if (b.size() == 2) v = static_cast<uint16_t>(v << 8 | static_cast<unsigned char>(b[1]));
    return v;
  }

  // UTF-8 of a code point of the basic plane.
  static std::string Utf8Of(char32_t cp) {
    std::string u;
    if (cp < 0x800) {
      u += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      u += static_cast<char>(0xE0 | (cp >> 12));
      u += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    u += static_cast<char>(0x80 | (cp & 0x3F));
    return u;
  }

  void Add(int code, const std::string& u, TConv& enc) {
    if (u.size() > 3) return;
    (code < 0x100 ? Single[static_cast<size_t>(code)] : Double[static_cast<size_t>(code)]) =
        Pack(u.data(), u.size());
    size_t i = 0;
    const char32_t cp = CodePoint(u, i);
    if (Encode.count(cp) > 0) return;
    // The library's own choice among codes that stand for the same character.
    const std::string back = enc.Run(u);
    if (back.size() == 1 || back.size() == 2) Encode.emplace(cp, Code(back));
  }
};

const TTables& Tables() {
  static const TTables tables;
  return tables;
}

// The code point at u[i] (i moves past it); U+FFFFFFFF for a malformed sequence.
char32_t CodePoint(std::string_view u, size_t& i) {
  const auto b = static_cast<unsigned char>(u[i]);
  const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > u.size()) {
    i = u.size();
    return 0xFFFFFFFF;
  }
  char32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(u[i + k]);
    if ((c & 0xC0) != 0x80) {
      i = u.size();
      return 0xFFFFFFFF;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += n;
  return cp;
}

}  // namespace

bool Cp932ToUtf8(std::string_view cp932, std::string& utf8) {
  const TTables& t = Tables();
  utf8.clear();
  utf8.reserve(cp932.size() + cp932.size() / 2);
  for (size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (b < 0x80) {
      // ASCII reads the same in both: copy the whole run at once.
      size_t end = i + 1;
      while (end < cp932.size() && static_cast<unsigned char>(cp932[end]) < 0x80) ++end;
      utf8.append(cp932.substr(i, end - i));
      i = end - 1;
    } else if (t.Single[b] != 0) {
      Append(utf8, t.Single[b]);
    } else if (i + 1 < cp932.size() &&
               t.Double[b << 8 | static_cast<unsigned char>(cp932[i + 1])] != 0) {
      Append(utf8, t.Double[b << 8 | static_cast<unsigned char>(cp932[i + 1])]);
      ++i;
    } else {
      utf8.clear();
      return false;
    }
  }
  return true;
}

bool Utf8ToCp932(std::string_view utf8, std::string& cp932) {
  const TTables& t = Tables();
  cp932.clear();
  cp932.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      size_t end = i + 1;
      while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
      cp932.append(utf8.substr(i, end - i));
      i = end;
      continue;
    }
    const auto it = t.Encode.find(CodePoint(utf8, i));
    if (it == t.Encode.end()) {
      cp932.clear();
      return false;
    }
    if (it->second > 0xFF) cp932 += static_cast<char>(it->second >> 8);
    cp932 += static_cast<char>(it->second & 0xFF);
  }
  return true;
}

}  // namespace ramvel
