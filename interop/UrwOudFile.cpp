// The node tree of OuDia files: decoding, parsing with line numbers, and writing.
#include "interop/UrwOudFile.h"

#include "foundation/UrwCmnDef.h"
#include "foundation/UrwTextRec.h"

namespace ramvel {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Whether s is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
      return false;
    }
    i += n + 1;
  }
  return true;
}

bool IsKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsName(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (!IsKeyChar(c)) return false;
  }
  return true;
}

std::string LineError(int32_t line, const std::string& what) {
  return "OuDiaファイルの" + IntText(line) + "行目: " + what;
}

// A line shown in a message: at most 40 bytes, cut at a character boundary.
std::string Excerpt(std::string_view s) {
  if (s.size() <= 40) return std::string(s);
  size_t n = 40;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return std::string(s.substr(0, n)) + "…";
}

void WriteNode(const TOudNode& node, std::string& out) {
  for (const TOudEntry& e : node.Entries) {
    if (e.Child.empty()) {
      out += e.Key + "=" + e.Value + "\r\n";
      continue;
    }
    out += e.Child.front().Type + ".\r\n";
    WriteNode(e.Child.front(), out);
    out += ".\r\n";
  }
}

}  // namespace

void TOudNode::Add(std::string key, std::string value) {
  Entries.push_back(TOudEntry{std::move(key), std::move(value), {}, 0});
}

TOudNode& TOudNode::AddNode(std::string type) {
  Entries.push_back(TOudEntry{});
  Entries.back().Child.push_back(TOudNode{std::move(type), {}, 0});
  return Entries.back().Child.front();
}

const TOudEntry* TOudNode::Find(std::string_view key) const {
  for (const TOudEntry& e : Entries) {
    if (e.Child.empty() && e.Key == key) return &e;
  }
  return nullptr;
}

std::string TOudNode::Get(std::string_view key) const {
  const TOudEntry* e = Find(key);
  return e != nullptr ? e->Value : std::string();
}

TStatus DecodeOudBytes(std::string_view bytes, bool second, std::string& utf8) {
  if (bytes.size() > kMaxOudBytes) {
    return TStatus::Error("OuDiaファイルが大きすぎます (" + IntText(kMaxOudBytes / 1024 / 1024) +
                          " MB まで)");
  }
  const bool bom = bytes.substr(0, kBom.size()) == kBom;
  if (bom) bytes.remove_prefix(kBom.size());
  if (second || bom || IsValidUtf8(bytes)) {
    if (!IsValidUtf8(bytes)) return TStatus::Error("OuDiaファイルが UTF-8 として読めません");
    utf8.assign(bytes);
    return TStatus::Ok();
  }
  if (!Cp932ToUtf8(bytes, utf8)) {
    return TStatus::Error("OuDiaファイルが Shift-JIS (CP932) として読めません");
  }
  return TStatus::Ok();
}

TStatus ParseOudTree(std::string_view text, TOudNode& root) {
  TOudNode tree;
  std::vector<TOudNode*> open{&tree};
  int32_t lineNo = 0;
  size_t from = 0;
  while (from < text.size()) {
    size_t nl = text.find('\n', from);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(from, nl - from);
    from = nl + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      if (!IsName(line.substr(0, eq))) {
        return TStatus::Error(LineError(lineNo, "キーの名前が正しくありません: " + Excerpt(line)));
      }
      TOudNode& cur = *open.back();
      cur.Add(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
      cur.Entries.back().Line = lineNo;
    } else if (line == ".") {
      if (open.size() == 1) {
        return TStatus::Error(LineError(lineNo, "開いていないノードを閉じる「.」があります"));
      }
      open.pop_back();
    } else if (line.back() == '.' && IsName(line.substr(0, line.size() - 1))) {
      if (static_cast<int32_t>(open.size()) > kMaxOudDepth) {
        return TStatus::Error(LineError(lineNo, "ノードの入れ子が深すぎます"));
      }
      TOudNode& child = open.back()->AddNode(std::string(line.substr(0, line.size() - 1)));
      child.Line = lineNo;
      open.back()->Entries.back().Line = lineNo;
      open.push_back(&child);
    } else {
      return TStatus::Error(LineError(lineNo, "読めない行です: " + Excerpt(line)));
    }
  }
  if (open.size() > 1) {
    return TStatus::Error(LineError(open.back()->Line, "ノード「" + open.back()->Type +
                                                           ".」が閉じられていません"));
  }
  root = std::move(tree);
  return TStatus::Ok();
}

std::string OudTreeText(const TOudNode& root) {
  std::string out;
  WriteNode(root, out);
  return out;
}

bool IsOud2Path(std::string_view path) {
  if (path.size() < 5) return false;
  std::string ext(path.substr(path.size() - 5));
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext == ".oud2";
}

TStatus LoadOudFile(const std::string& path, TOudDoc& doc) {
  std::string bytes;
  if (TStatus st = ReadFileBytes(path, bytes); !st) return st;
  TStatus st = ReadOudDoc(bytes, IsOud2Path(path), doc);
  if (!st) return TStatus::Error(path + ": " + st.Msg());
  return st;
}

}  // namespace ramvel
