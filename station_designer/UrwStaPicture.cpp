// Station designs from cell pictures, built through the designer model.
#include "station_designer/UrwStaPicture.h"

#include <sstream>

#include "station_designer/UrwStaGeom.h"

namespace ramvel {

namespace {

bool IsBlankToken(const std::string& t) { return t == "." || t == "-" || t == "|"; }

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string t; in >> t;) out.push_back(t);
  return out;
}

std::string CellName(int32_t col, int32_t row) {
  return "column " + std::to_string(col) + ", row " + std::to_string(row);
}

// "n" or "n:h"; false when the token is neither.
bool ParseToken(const std::string& t, int32_t& panel, int32_t& homeNo) {
  const size_t colon = t.find(':');
  homeNo = -1;
  if (colon != std::string::npos && !ParseInt(t.substr(colon + 1), homeNo)) return false;
  return ParseInt(t.substr(0, colon), panel);
}

TStatus PlaceToken(TStaEditor& ed, const std::string& t, int32_t col, int32_t row) {
  int32_t panel = 0, homeNo = -1;
  if (!ParseToken(t, panel, homeNo)) {
    return TStatus::Error(CellName(col, row) + ": \"" + t + "\" is not a piece");
  }
  if (!ed.PlacePanel(panel, col, row)) {
    return TStatus::Error(CellName(col, row) + ": piece " + t + " cannot be placed there");
  }
  if (homeNo >= 0) ed.SetHomeNo(col, row, homeNo);
  return TStatus::Ok();
}

TStatus PlaceRow(TStaEditor& ed, const std::string& line, int32_t row) {
  const std::vector<std::string> tokens = Tokens(line);
  if (tokens.size() != static_cast<size_t>(kStaCols)) {
    return TStatus::Error("row " + std::to_string(row) + " has " + std::to_string(tokens.size()) +
                          " cells, not 20");
  }
  for (int32_t col = 1; col <= kStaCols; ++col) {
    const std::string& t = tokens[static_cast<size_t>(col - 1)];
    if (IsBlankToken(t)) continue;
    if (TStatus st = PlaceToken(ed, t, col, row); !st) return st;
  }
  return TStatus::Ok();
}

// Sets a crossing the way a user clicks it: the first inner entry, the further inner entries,
// then the first outer entry.
TStatus SetCrossing(TStaEditor& ed, int32_t side, const TEntCrs& want) {
  if (want.CrsCnt == 0) return TStatus::Ok();
  using TCol = TStaEntConn::TColumn;
  ed.SetHooks({[&want](TStaEntConn& conn) {
                 conn.ClickCircle({TCol::kInner, want.CrsFrom});
                 for (int32_t g = 1; g < want.CrsCnt; ++g) {
                   conn.ClickCircle({TCol::kInner, want.CrsFrom + g});
                 }
                 conn.ClickCircle({TCol::kOuter, want.CrsTo});
                 return true;
               },
               nullptr});
  ed.EditEntCrs(side);
  ed.SetHooks({});
  const TEntCrs got = ed.Sta().SplitEntCrs(side);
  if (got.CrsFrom == want.CrsFrom && got.CrsTo == want.CrsTo && got.CrsCnt == want.CrsCnt) {
    return TStatus::Ok();
  }
  return TStatus::Error("side " + std::to_string(side) + ": the crossing cannot be set");
}

}  // namespace

TStatus DesignPictureSta(const TStaPicture& pic, const TStaPanels& panels, TStaEditor& ed,
                         const std::string& brdDir, int32_t idSta) {
  ed.Open(panels, brdDir, idSta);
  TStaFields& f = ed.Fields();
  f.Name = pic.Name;
  f.EntL = std::to_string(pic.Ent[0]);
  f.EntR = std::to_string(pic.Ent[1]);
  if (!ed.CommitFields()) return TStatus::Error("the entry counts were refused");
  for (int32_t side = 0; side < 2; ++side) {
    if (TStatus st = SetCrossing(ed, side, pic.Crs[side]); !st) return st;
  }
  for (size_t i = 0; i < pic.Rows.size(); ++i) {
    if (TStatus st = PlaceRow(ed, pic.Rows[i], pic.FirstRow + static_cast<int32_t>(i)); !st) {
      return st;
    }
  }
  return TStatus::Ok();
}

TStatus MakePictureSta(const TStaPicture& pic, const TStaPanels& panels, TStaObj& out) {
  TStaEditor ed;
  if (TStatus st = DesignPictureSta(pic, panels, ed); !st) return st;
  ed.CheckAndDisplay();
  out = ed.Sta();
  CompileSta(out, panels);
  return TStatus::Ok();
}

TStatus SavePictureSta(const TStaPicture& pic, const TStaPanels& panels,
                       const std::string& brdDir, int32_t& idSta) {
  TScriptedHost host;  // a question about errors is answered No
  TUiHostScope scope(host);
  TStaEditor ed;
  if (TStatus st = DesignPictureSta(pic, panels, ed, brdDir, idSta); !st) return st;
  const bool saved = ed.Save();
  if (!host.Events.empty()) return TStatus::Error(pic.Name + ": " + host.Events.front().Text);
  if (!saved) return TStatus::Error(pic.Name + ": not saved");
  idSta = ed.IdSta();
  return TStatus::Ok();
}

}  // namespace ramvel
