// ramvel-mksample: writes the sample board into the folder given. The stations are designed
// through the station designer, placed and joined on the board, the lines made with the line
// editor's operations, and every train entered section by section through the diagram editor,
// so that the board holds nothing a user could not have made and no conflict.
//
//   ramvel-mksample OUT_FOLDER [--pieces DIR]
//
// DIR holds rw_panel.txt and rw_tbl.txt (by default the program's own folder). OUT_FOLDER must
// be missing, empty, or a board folder made before, whose board files are then replaced.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "tools/MkSample.h"

namespace ramvel::mksample {

namespace {

namespace fs = std::filesystem;

const char* const kBoardEntries[] = {"Board.txt", "Land.bmp", "station", "rail", "car", "line"};

std::string ProgramDir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

// An empty folder to write into: made when missing; a board made before is cleared of its board
// files; anything else is refused, so that nothing of the user's is ever deleted.
TStatus PrepareFolder(const fs::path& out) {
  std::error_code ec;
  if (fs::exists(out, ec) && !fs::is_empty(out, ec)) {
    if (!fs::exists(out / "Board.txt", ec)) {
      return TStatus::Error(out.string() + ": the folder is not empty and holds no board");
    }
    for (const fs::directory_entry& e : fs::directory_iterator(out, ec)) {
      const std::string name = e.path().filename().string();
      if (std::find(std::begin(kBoardEntries), std::end(kBoardEntries), name) ==
          std::end(kBoardEntries)) {
        return TStatus::Error(out.string() + ": holds " + name + ", which is not a board file");
      }
    }
    for (const char* name : kBoardEntries) fs::remove_all(out / name, ec);
  }
  fs::create_directories(out / "station", ec);
  if (ec) return TStatus::Error(out.string() + ": " + ec.message());
  return TStatus::Ok();
}

TStatus DesignStations(const TStaPanels& panels, const std::string& folder, int32_t& idSta) {
  for (const TStaPicture& pic : SampleStations()) {
    if (TStatus st = SavePictureSta(pic, panels, folder, idSta); !st) return st;
  }
  return TStatus::Ok();
}

TStatus MakeLayout(TBrdData& brd, const std::string& folder, const TLandGrid& land) {
  if (TStatus st = BuildLayout(brd, folder); !st) return st;
  const std::vector<std::string> bad = CheckLayout(brd, land);
  if (!bad.empty()) return TStatus::Error("the layout breaks a placing rule: " + bad.front());
  return BuildLines(brd, folder);
}

void Summary(TBrdData& brd, int32_t late, std::ostream& out) {
  out << brd.Stas.size() << " stations, " << brd.Rails.size() << " rails, " << brd.Cars.size()
      << " train sets, " << brd.TrainNos.size() << " trains (" << late
      << " leaving later than planned)\n";
}

// Writes the whole board into folder; late counts the trains that left later than planned.
TStatus Generate(const TStaPanels& panels, const std::string& folder, TBrdData& brd,
                 int32_t& late) {
  TScriptedHost quiet;  // the board's own lookups must find everything; any box is a failure
  TStatus st;
  {
    TUiHostScope scope(quiet);
    st = DesignStations(panels, folder, brd.ID_STA);
  }
  const TLandGrid land = SampleLand();
  if (st) st = WriteBmp24(land, folder + "/Land.bmp");
  if (st) {
    TUiHostScope scope(quiet);
    st = MakeLayout(brd, folder, land);
  }
  if (st && !quiet.Events.empty()) st = TStatus::Error(quiet.Events.front().Text);
  if (st) st = EnterTimetables(brd, folder, SamplePlans(brd), late);
  if (st) {
    const std::vector<std::string> problems = CheckLines(brd, folder);
    if (!problems.empty()) st = TStatus::Error(problems.front());
  }
  if (!st) return st;
  brd.SCR_XLEFT = 0;  // the whole network at 27 m per pixel
  brd.SCR_YTOP = 0;
  brd.SCR_MPERP = 27;
  return brd.SaveBrd(folder, false);
}

int Run(const std::string& outDir, const std::string& piecesDir) {
  TStaPanels panels;
  TStatus st = panels.Load(piecesDir);
  if (st) st = PrepareFolder(outDir);
  if (!st) {
    std::cerr << "ramvel-mksample: " << st.Msg() << "\n";
    return 2;
  }
  TBrdData brd;
  int32_t late = 0;
  if (st = Generate(panels, fs::path(outDir).string(), brd, late); !st) {
    std::cerr << "ramvel-mksample: " << st.Msg() << "\n";
    return 1;
  }
  Summary(brd, late, std::cout);
  return 0;
}

}  // namespace

}  // namespace ramvel::mksample

int main(int argc, char** argv) {
  std::string out, pieces = ramvel::mksample::ProgramDir();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pieces" && i + 1 < argc) {
      pieces = argv[++i];
    } else if (out.empty() && !a.empty() && a[0] != '-') {
      out = a;
    } else {
      out.clear();
      break;
    }
  }
  if (out.empty()) {
    std::cerr << "usage: ramvel-mksample OUT_FOLDER [--pieces DIR]\n";
    return 2;
  }
  return ramvel::mksample::Run(out, pieces);
}
