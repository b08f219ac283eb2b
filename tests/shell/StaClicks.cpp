// Driving the station designer window with real input events.
#include "StaClicks.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "windows/station_designer/UrwStaEntConnForm.h"

namespace ramvel::test {

namespace fs = std::filesystem;

TStaPicture Terminus(const std::string& name) {
  TStaPicture pic;
  pic.Name = name;
  pic.FirstRow = 9;
  pic.Ent[0] = 1;
  pic.Ent[1] = 0;
  pic.Rows = {
      ". . . . . . . . 13 - - - . . . . . . . .",
      "1 1 1 1 1 4 1 1 14 - - - . . . . . . . .",
      ". . . . . | 1 1 14 - - - . . . . . . . .",
      ". . . . . . . . 13 - - - . . . . . . . .",
  };
  return pic;
}

TStaPicture TerminusWest(const std::string& name) {
  TStaPicture pic = Terminus(name);
  pic.Ent[0] = 0;
  pic.Ent[1] = 1;
  pic.Rows = {
      ". . . . . . . . 13 - - - . . . . . . . .",
      ". . . . . . . . 14 - - - 1 1 6 1 1 1 1 1",
      ". . . . . . . . 14 - - - 1 1 | . . . . .",
      ". . . . . . . . 13 - - - . . . . . . . .",
  };
  return pic;
}

TStaPicture PassingLoop() {
  TStaPicture pic;
  pic.Name = "待避";
  pic.FirstRow = 9;
  pic.Rows = {
      ". . . . . . . . 13 - - - . . . . . . . .",
      "1 1 1 1 1 4 1 1 14 - - - 1 1 6 1 1 1 1 1",
      ". . . . . | 1 1 14 - - - 1 1 | . . . . .",
      ". . . . . . . . 13 - - - . . . . . . . .",
  };
  return pic;
}

TStaPicture Crossing() {
  TStaPicture pic = ThreeHomeSta("立体");
  pic.Rows[3] = ". . . | 1 1 1 1 14:7 - - - 1 1 1 1 | . . .";
  pic.Crs[0] = {1, 2, 1};
  pic.Crs[1] = {2, 1, 1};
  return pic;
}

void CopyPieces(const std::string& progDir) {
  for (const char* f : {"rw_panel.txt", "rw_tbl.txt"}) {
    fs::copy_file(DataDir() + "/" + f, progDir + "/" + f, fs::copy_options::overwrite_existing);
  }
}

QPoint TStaClicks::CellPt(int32_t col, int32_t row) {
  return {kMatrixX + kStaCellW * (col - 1) + kStaCellW / 2, kStaCellH * (row - 1) + kStaCellH / 2};
}

QPoint TStaClicks::PalettePt(int32_t col, int32_t row) {
  return {kPaletteX + kStaCellW * (col - 1) + kStaCellW / 2, kStaCellH * (row - 1) + kStaCellH / 2};
}

void TStaClicks::Move(QPoint pt) { QTest::mouseMove(win_.ImgSta, pt); }

void TStaClicks::Click(QPoint pt, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
  Move(pt);
  QTest::mouseClick(win_.ImgSta, button, mods, pt);
}

bool TStaClicks::Pick(int32_t piece) {
  const TStaPanels& panels = win_.Ed.Panels();
  for (int32_t r = kTblRows; r >= 1; --r) {
    for (int32_t c = kTblCols; c >= 1; --c) {
      if (panels.PanelAtTbl(c, r) != piece) continue;
      Click(PalettePt(c, r));
      return win_.Ed.Held() == piece;
    }
  }
  return false;
}

void TStaClicks::Release() { Click(PalettePt(1, 1), Qt::RightButton); }

void TStaClicks::Type(QWidget* field, const std::string& text) {
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Delete);
  // Japanese text arrives from the input method as a committed string, ASCII as keys.
  for (const QChar ch : QString::fromStdString(text)) {
    if (ch.unicode() < 0x80) {
      QTest::keyClicks(field, QString(ch));
    } else {
      QInputMethodEvent commit;
      commit.setCommitString(QString(ch));
      QApplication::sendEvent(field, &commit);
    }
  }
  QTest::keyClick(field, Qt::Key_Return);
}

void TStaClicks::SetEntries(int32_t left, int32_t right) {
  Type(win_.CbxEntL->lineEdit(), std::to_string(left));
  Type(win_.CbxEntR->lineEdit(), std::to_string(right));
}

void TStaClicks::SetCrossing(int32_t side, const TEntCrs& crs) {
  bool shown = false;
  OnModal([&shown, crs](QWidget* w) {
    auto* dlg = qobject_cast<TFrmStaEnt*>(w);
    if (dlg == nullptr) {
      ADD_FAILURE() << "the crossing dialog did not open";
      if (w != nullptr) w->close();
      return;
    }
    shown = true;
    const TStaEntConn& layout = *dlg->Conn();
    using TCol = TStaEntConn::TColumn;
    const auto at = [&layout](TCol col, int32_t e) {
      return QPoint(layout.ColumnX(col), layout.EntY(e));
    };
    for (int32_t g = 0; g < crs.CrsCnt; ++g) {
      QTest::mouseMove(dlg->ImgEnt, at(TCol::kInner, crs.CrsFrom + g));
      QTest::mouseClick(dlg->ImgEnt, Qt::LeftButton, Qt::NoModifier,
                        at(TCol::kInner, crs.CrsFrom + g));
    }
    QTest::mouseMove(dlg->ImgEnt, at(TCol::kOuter, crs.CrsTo));
    QTest::mouseClick(dlg->ImgEnt, Qt::LeftButton, Qt::NoModifier, at(TCol::kOuter, crs.CrsTo));
    QTest::mouseClick(dlg->BtnOk, Qt::LeftButton);
  });
  Click(side == 0 ? QPoint(30, 200) : QPoint(700, 200));
  EXPECT_TRUE(shown);
}

void TStaClicks::Design(const TStaPicture& pic, TScriptedHost& host) {
  Type(win_.EdtName, pic.Name);
  SetEntries(pic.Ent[0], pic.Ent[1]);
  for (int32_t side = 0; side < 2; ++side) {
    if (pic.Crs[side].CrsCnt > 0) SetCrossing(side, pic.Crs[side]);
  }
  const auto step = [this](const std::string& name) {
    if (OnStep) OnStep(name);
  };
  step("fields");
  for (size_t i = 0; i < pic.Rows.size(); ++i) {
    PlaceRow(pic.Rows[i], pic.FirstRow + static_cast<int32_t>(i), host);
    step("row" + std::to_string(pic.FirstRow + static_cast<int32_t>(i)));
  }
}

namespace {

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string t; in >> t;) out.push_back(t);
  return out;
}

}  // namespace

void TStaClicks::PlaceRow(const std::string& line, int32_t row, TScriptedHost& host) {
  const std::vector<std::string> t = Tokens(line);
  ASSERT_EQ(t.size(), static_cast<size_t>(kStaCols)) << line;
  for (int32_t col = 1; col <= kStaCols; ++col) {
    const std::string& tok = t[static_cast<size_t>(col - 1)];
    if (tok == "." || tok == "-" || tok == "|") continue;
    const size_t colon = tok.find(':');
    const int32_t piece = std::stoi(tok.substr(0, colon));
    ASSERT_TRUE(Pick(piece)) << "piece " << piece;
    int32_t last = col;
    while (piece == kFillPanel && last < kStaCols && t[static_cast<size_t>(last)] == "1") ++last;
    if (last > col) {
      ClickCell(col, row, Qt::LeftButton, Qt::ShiftModifier);  // the row fill's start
      ClickCell(last, row);
      col = last;
    } else {
      ClickCell(col, row);
    }
    Release();
    if (colon != std::string::npos) {
      host.InputAnswers.push_back(tok.substr(colon + 1));
      ClickCell(col, row);  // nothing held: the platform number input
    }
  }
}

}  // namespace ramvel::test
