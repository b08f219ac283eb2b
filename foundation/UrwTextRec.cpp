// Record values: key lookup, number and truth forms, list joining and splitting, key numbering,
// name folding and the typed reader with its error messages.
#include "foundation/UrwTextRec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "foundation/UrwCmnDef.h"

namespace ramvel {

void TextRec::Add(std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + value.size() + 1);
  line.append(key).append("=").append(value);
  Lines.push_back(std::move(line));
}

// ---- Names -------------------------------------------------------------------------------------

namespace {

// The byte at s[i] with ASCII and full-width Latin small letters folded to capitals. A full-width
// small letter is EF BD 81..9A in UTF-8 and its capital EF BC A1..BA, so folding keeps lengths.
unsigned char FoldByte(std::string_view s, size_t i) {
  const auto at = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0; };
  const unsigned char b = at(i);
  if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
  const auto isSmall = [&](size_t lead) {
    return at(lead) == 0xEF && at(lead + 1) == 0xBD && at(lead + 2) >= 0x81 && at(lead + 2) <= 0x9A;
  };
  if (b == 0xBD && i >= 1 && isSmall(i - 1)) return 0xBC;
  if (b >= 0x81 && b <= 0x9A && i >= 2 && isSmall(i - 2)) return static_cast<unsigned char>(b + 0x20);
  return b;
}

}  // namespace

std::string UpperName(std::string_view s) {
  std::string out(s.size(), '\0');
  for (size_t i = 0; i < s.size(); ++i) out[i] = static_cast<char>(FoldByte(s, i));
  return out;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  // ASCII folds without context: the common case of keys made of digits runs here.
  for (; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x == y && x < 0x80) continue;
    if (x >= 0x80 || y >= 0x80) break;
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  a.remove_prefix(i);
  b.remove_prefix(i);
  const size_t m = std::min(a.size(), b.size());
  for (i = 0; i < m; ++i) {
    const unsigned char x = FoldByte(a, i), y = FoldByte(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

namespace {

// Only blanks: ASCII spaces and ideographic spaces (U+3000, E3 80 80 in UTF-8).
bool OnlyBlanks(std::string_view name) {
  for (size_t i = 0; i < name.size();) {
    if (name[i] == ' ') {
      ++i;
    } else if (name.substr(i, 3) == "\xE3\x80\x80") {
      i += 3;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

TStatus CheckObjName(std::string_view name, std::string_view what) {
  const std::string w(what);
  const std::string n(name);
  if (name.empty()) return TStatus::Error(w + "が空です");
  if (OnlyBlanks(name)) return TStatus::Error(w + "が空白だけです");
  if (name == "." || name == "..") return TStatus::Error(w + "に「" + n + "」は使えません");
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || c == '=' || b < 0x20 || b == 0x7F) {
      return TStatus::Error(w + "に使えない文字（/ \\ = 制御文字）が含まれています: " + n);
    }
  }
  std::string cp932;
  if (!Utf8ToCp932(name, cp932)) {
    return TStatus::Error(w + "にShift-JISで書けない文字が含まれています");
  }
  return TStatus::Ok();
}

TStatus CheckNewObjName(std::string_view name, std::string_view what) {
  TStatus st = CheckObjName(name, what);
  if (st && name[0] == '.') {
    st = TStatus::Error(std::string(what) + "を「.」で始めることはできません: " + std::string(name));
  }
  return st;
}

// ---- Values ------------------------------------------------------------------------------------

std::string GetVal(const TextRec& rec, std::string_view key) {
  for (const std::string& line : rec.Lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq != key.size()) continue;
    bool same = true;
    for (size_t i = 0; i < eq && same; ++i) {
      same = std::toupper(static_cast<unsigned char>(line[i])) ==
             std::toupper(static_cast<unsigned char>(key[i]));
    }
    if (same) return line.substr(eq + 1);
  }
  return {};
}

std::string IntText(int64_t v) { return std::to_string(v); }

std::string RealText(float v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", static_cast<double>(v));
  return buf;
}

const char* YNText(bool v) { return v ? "Y" : "N"; }
const char* Text10(bool v) { return v ? "1" : "0"; }

bool ParseInt(std::string_view s, int32_t& v) {
  s = TrimSpaceTab(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  int32_t out = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  if (ec != std::errc() || p != s.data() + s.size()) return false;
  v = out;
  return true;
}

int32_t IntOr0(std::string_view s) {
  int32_t v = 0;
  return ParseInt(s, v) ? v : 0;
}

bool ParseReal(std::string_view s, float& v) {
  s = TrimSpaceTab(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  double out = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(out)) return false;
  if (std::fabs(out) > 3.0e38) return false;
  v = static_cast<float>(out);
  return true;
}

// ---- Lists -------------------------------------------------------------------------------------

namespace {

bool NeedsQuotes(const std::string& item, char sep) {
  for (const char c : item) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '|' || c == sep) return true;
  }
  // A double-byte character whose second byte is "|" would split the item for readers that
  // work on the Shift-JIS bytes.
  std::string sj;
  for (const char c : item) {
    if (static_cast<unsigned char>(c) >= 0x80) return Utf8ToCp932(item, sj) && sj.find('|') != std::string::npos;
  }
  return false;
}

std::string Quote(const std::string& item) {
  std::string out = "\"";
  for (const char c : item) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

// A quoted item from s[i] (at the opening quote); i ends after the closing quote. Without a
// closing quote the item runs to the end of the text.
std::string ReadQuoted(std::string_view s, size_t& i) {
  std::string item;
  ++i;
  while (i < s.size()) {
    if (s[i] == '"') {
      if (i + 1 < s.size() && s[i + 1] == '"') {
        item += '"';
        i += 2;
        continue;
      }
      ++i;
      return item;
    }
    item += s[i++];
  }
  return item;
}

std::string Join(const std::vector<std::string>& items, char sep) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += sep;
    out += NeedsQuotes(items[i], sep) ? Quote(items[i]) : items[i];
  }
  return out;
}

// The first maxItems items of s; the rest of s is not looked at.
std::vector<std::string> Split(std::string_view s, char sep, size_t maxItems) {
  std::vector<std::string> items;
  size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < s.size() && IsBlank(s[i])) ++i;
  };
  skipBlanks();
  while (i < s.size() && items.size() < maxItems) {
    if (s[i] == '"') {
      items.push_back(ReadQuoted(s, i));
    } else {
      const size_t start = i;
      while (i < s.size() && !IsBlank(s[i]) && s[i] != sep) ++i;
      items.emplace_back(s.substr(start, i - start));
    }
    skipBlanks();
    if (i < s.size() && s[i] == sep) {
      if (i + 1 == s.size() && items.size() < maxItems) items.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return items;
}

}  // namespace

std::string JoinList(const std::vector<std::string>& items) { return Join(items, '|'); }

std::string JoinInts(std::span<const int32_t> items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += '|';
    out += std::to_string(items[i]);
  }
  return out;
}

std::vector<std::string> SplitList(std::string_view s, size_t maxItems) {
  return Split(s, '|', maxItems);
}

std::string JoinComma(const std::vector<std::string>& items) { return Join(items, ','); }

std::vector<std::string> SplitComma(std::string_view s, size_t maxItems) {
  return Split(s, ',', maxItems);
}

std::string CountedKey(std::string_view key, int32_t n) { return std::string(key) + std::to_string(n); }

std::string SideKey(std::string_view key, int32_t side) { return CountedKey(key, side); }

std::string MtrxKey(int32_t col, int32_t row) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "MTRX%02d%02d", col, row);
  return buf;
}

// ---- Reader ------------------------------------------------------------------------------------

std::string WhyOutOfRange(int64_t lo, int64_t hi) {
  return " が範囲外です（" + std::to_string(lo) + " から " + std::to_string(hi) + " まで）";
}

namespace {

unsigned char AsciiUpper(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 32) : b;
}

}  // namespace

size_t TRecReader::TKeyHash::operator()(std::string_view s) const {
  size_t h = 1469598103934665603ull;
  for (const char c : s) h = (h ^ AsciiUpper(c)) * 1099511628211ull;
  return h;
}

bool TRecReader::TKeyEq::operator()(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

TRecReader::TRecReader(const TextRec& rec, std::string fileName)
    : rec_(rec), fileName_(std::move(fileName)) {
  index_.reserve(rec.Lines.size());
  for (size_t i = 0; i < rec.Lines.size(); ++i) {
    const size_t eq = rec.Lines[i].find('=');
    if (eq != std::string::npos) index_.try_emplace(std::string_view(rec.Lines[i]).substr(0, eq), i);
  }
}

bool TRecReader::Has(std::string_view key) const { return index_.count(key) > 0; }

std::string_view TRecReader::View(std::string_view key) const {
  const auto it = index_.find(key);
  if (it == index_.end()) return {};
  const std::string_view line = rec_.Lines[it->second];
  return line.substr(line.find('=') + 1);
}

void TRecReader::Fail(std::string_view key, std::string_view reason) {
  if (failed_) return;
  failed_ = true;
  msg_ = fileName_ + ": " + std::string(key) + std::string(reason);
}

TStatus TRecReader::Status() const { return failed_ ? TStatus::Error(msg_) : TStatus::Ok(); }

int32_t TRecReader::Int(std::string_view key) {
  if (failed_) return 0;
  if (!Has(key)) {
    Fail(key, kWhyMissing);
    return 0;
  }
  int32_t v = 0;
  if (!ParseInt(View(key), v)) Fail(key, kWhyNotNumber);
  return failed_ ? 0 : v;
}

float TRecReader::Real(std::string_view key) {
  if (failed_) return 0;
  if (!Has(key)) {
    Fail(key, kWhyMissing);
    return 0;
  }
  float v = 0;
  if (!ParseReal(View(key), v)) Fail(key, kWhyNotNumber);
  return failed_ ? 0 : v;
}

int32_t TRecReader::Count(std::string_view key, int32_t max) {
  const int32_t n = Int(key);
  if (failed_) return 0;
  if (n < 0 || n > max) {
    Fail(key, WhyOutOfRange(0, max));
    return 0;
  }
  return n;
}

std::vector<std::string> TRecReader::List(std::string_view key, size_t minItems,
                                          size_t maxItems) {
  if (failed_) return std::vector<std::string>(minItems);
  if (!Has(key)) {
    Fail(key, kWhyMissing);
    return std::vector<std::string>(minItems);
  }
  std::vector<std::string> items = SplitList(View(key), std::max(minItems, maxItems));
  if (items.size() < minItems) {
    Fail(key, " の項目が " + std::to_string(items.size()) + " 個しかありません（" +
                  std::to_string(minItems) + " 個必要）");
    items.resize(minItems);
  }
  return items;
}

int32_t TRecReader::IntItem(const std::vector<std::string>& items, size_t i, std::string_view key) {
  if (failed_) return 0;
  int32_t v = 0;
  if (i >= items.size() || !ParseInt(items[i], v)) {
    Fail(key, " の " + std::to_string(i + 1) + " 番目の項目が数値ではありません");
    return 0;
  }
  return v;
}

std::vector<int32_t> TRecReader::Ints(std::string_view key, size_t n) {
  const std::vector<std::string> items = List(key, n, n);
  std::vector<int32_t> out(n);
  for (size_t i = 0; i < n; ++i) out[i] = IntItem(items, i, key);
  return out;
}

}  // namespace ramvel
