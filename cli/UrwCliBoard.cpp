// Opening boards and reading arguments for the commands of ramvel-cli.
#include "cli/UrwCliBoard.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "engine/UrwProgDirs.h"
#include "engine/UrwBrdDias.h"

namespace ramvel::cli {

namespace fs = std::filesystem;

namespace {
std::string gDiaArg;  // one command runs per process; tests set it through CliMain
}  // namespace

void SetDiaArg(const std::string& name) { gDiaArg = name; }

bool UseDiaArg(TBrdData& brd, std::ostream& err) {
  const TStatus st = SelectDiaByName(brd, gDiaArg);
  if (!st) err << "ramvel-cli: " << st.Msg() << "\n";
  return st.ok();
}

void SplitBoardPath(const std::string& board, std::string& root, std::string& name) {
  // Made absolute first, so that "." and "../B" name the folder they stand for.
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(board), ec).lexically_normal();
  if (ec) p = fs::path(board).lexically_normal();
  if (p.filename().empty()) p = p.parent_path();
  name = p.filename().string();
  root = p.parent_path().string();
  if (root.empty()) root = ".";
}

std::unique_ptr<TOpenBoard> OpenBoard(const std::string& path, std::ostream& err) {
  std::string root, name;
  SplitBoardPath(path, root, name);
  std::error_code ec;
  if (!fs::is_directory(path, ec)) {
    err << "ramvel-cli: " << path << ": no such board folder\n";
    return nullptr;
  }
  auto board = std::make_unique<TOpenBoard>();
  board->Folder = PathJoin(root, name);
  TScriptedHost host;
  TStatus st;
  {
    TUiHostScope scope(host);
    st = board->Brd.LoadBrd(root, name);
  }
  if (!st) {
    err << "ramvel-cli: " << st.Msg() << "\n";
    return nullptr;
  }
  if (!UseDiaArg(board->Brd, err)) return nullptr;
  for (const auto& e : host.Events) board->Notes.push_back(e.Text);
  for (const std::string& note : board->Brd.LoadNotes) board->Notes.push_back(note);
  return board;
}

TStaObj* FindStaByName(TBrdData& brd, const std::string& name, std::ostream& err) {
  for (auto& [key, sta] : brd.Stas) {
    if (SameNoCase(sta->Name, name)) return sta.get();
  }
  err << "ramvel-cli: no station named " << name << "\n";
  return nullptr;
}

std::vector<std::string> LineNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  const std::string dir = ResolveIn(folder, "line");
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& f = it->path();
    if (it->is_regular_file(ec) && SameNoCase(f.extension().string(), ".txt")) {
      names.push_back(f.stem().string());
    }
  }
  std::sort(names.begin(), names.end(), TLessNoCase());
  return names;
}

std::string FindLineName(const std::string& folder, const std::string& name, std::ostream& err) {
  for (const std::string& n : LineNames(folder)) {
    if (SameNoCase(n, name)) return n;
  }
  err << "ramvel-cli: no line named " << name << "\n";
  return {};
}

bool OpenLine(TOpenBoard& board, const std::string& name, std::ostream& err) {
  const std::string line = FindLineName(board.Folder, name, err);
  if (line.empty()) return false;
  TStatus st = board.Brd.SetLine(line);
  if (st) st = board.Brd.LoadLine(board.Folder);
  if (st) st = board.Brd.CheckLineRails();
  if (!st) err << "ramvel-cli: " << st.Msg() << "\n";
  return st.ok();
}

bool ParseTimeArg(const std::string& text, int32_t& t, std::ostream& err) {
  if (TextToTime(ToHalfWidth(text), t)) return true;
  err << "ramvel-cli: " << text << " is not a time from 400 to 2700\n";
  return false;
}

bool ParseIntArg(const std::string& text, const char* what, int32_t& v, std::ostream& err) {
  if (ParseInt(ToHalfWidth(text), v)) return true;
  err << "ramvel-cli: " << what << " " << text << " is not a number\n";
  return false;
}

std::string TenthsText(const std::string& tenths) {
  std::string out;
  for (const std::string& part : {TextBefore(tenths, ","), TextAfter(tenths, ',')}) {
    int64_t v = std::stoll(part.empty() ? "0" : part);
    const bool neg = v < 0;
    if (neg) v = -v;
    if (!out.empty()) out += ",";
    out += (neg ? "-" : "") + std::to_string(v / 10) + "." + std::to_string(v % 10);
  }
  return out;
}

std::string PieceDir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string exeDir = ec ? std::string(".") : exe.parent_path().string();
  return ResolveProgDirs(exeDir, RAMVEL_DATA_REL, std::getenv("HOME"), std::getenv("XDG_DATA_HOME"))
      .Data;
}

}  // namespace ramvel::cli
