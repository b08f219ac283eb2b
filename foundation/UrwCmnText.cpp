// Small text functions and the text form of times of day.
#include <charconv>
#include <cstdio>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

std::string PtToText(TPoint p) { return IntText(p.x) + "," + IntText(p.y); }

// Laid for every body point at every clock tick: written in one buffer, one string made.
std::string PtToTenthsText(float x, float y) {
  char buf[48];
  char* end = std::to_chars(buf, buf + 20, RoundInt64(double{x} * 10)).ptr;
  *end++ = ',';
  end = std::to_chars(end, end + 20, RoundInt64(double{y} * 10)).ptr;
  return std::string(buf, end);
}

std::string TextBefore(std::string_view s, std::string_view delim) {
  const size_t i = s.find(delim);
  return i == std::string_view::npos ? std::string() : std::string(s.substr(0, i));
}

std::string TextAfter(std::string_view s, char delim) {
  const size_t i = s.find(delim);
  return i == std::string_view::npos ? std::string() : std::string(s.substr(i + 1));
}

namespace {

// Decodes one UTF-8 sequence at s[i]; returns its length, or 1 with cp = the byte when invalid.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp) {
  const auto b = static_cast<unsigned char>(s[i]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) {
    cp = b;
    return 1;
  }
  cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return n;
}

}  // namespace

std::string ToHalfWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    const size_t n = DecodeUtf8(s, i, cp);
    if (cp >= 0xFF01 && cp <= 0xFF5E) {
      out += static_cast<char>(cp - 0xFF01 + 0x21);
    } else if (cp == 0x3000) {
      out += ' ';
    } else if (cp == 0x2212) {  // MINUS SIGN, which Japanese input methods often give for "-"
      out += '-';
    } else {
      out.append(s.substr(i, n));
    }
    i += n;
  }
  return out;
}

std::string TimeToText(int32_t t, bool withSec) {
  const int32_t a = t + kDayOffset;
  char buf[32];
  if (withSec) {
    std::snprintf(buf, sizeof buf, "%2d%02d.%02d", a / 3600, a % 3600 / 60, a % 60);
  } else {
    std::snprintf(buf, sizeof buf, "%2d%02d", a / 3600, a % 3600 / 60);
  }
  return buf;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TrimSpaceTab(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool TextToTime(std::string_view s, int32_t& t) {
  s = TrimBlanks(s);
  if (s.empty()) return false;
  int32_t sec = 0;
  const size_t dot = s.find('.');
  if (dot != std::string_view::npos) {
    if (!ParseInt(s.substr(dot + 1), sec)) return false;
    s = s.substr(0, dot);
  }
  int32_t v = 0;
  if (!ParseInt(s, v) || v < 0 || v % 100 > 59) return false;
  const int64_t total = int64_t{v / 100} * 3600 + int64_t{v % 100} * 60 + sec;
  if (total < kDayOffset || total > kDayOffset + kDayEnd) return false;
  t = static_cast<int32_t>(total - kDayOffset);
  return true;
}

}  // namespace ramvel
