// The train set properties dialog: a new train set, a train set's properties shown read-only,
// and a train's number, type and nickname.
#include "windows/timetable/UrwCarPropertyForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/UrwBrdKinds.h"
#include "engine/UrwBrdData.h"
#include "view/UrwDrawKit.h"

namespace ramvel {

namespace {

constexpr int kFormW = 445;
constexpr int kCarOnlyH = 160;
constexpr int kWithTrainH = 300;

QLabel* Caption(QWidget* parent, const char* text, int x, int y) {
  auto* l = new QLabel(QString::fromUtf8(text), parent);
  l->setGeometry(x, y, 90, 21);
  return l;
}

int32_t Bgr(QColor c) { return (c.blue() << 16) | (c.green() << 8) | c.red(); }

// A combo box is a pick-only list while the user chooses, and a plain text box when it only
// shows a value.
void SetPickOnly(QComboBox* c, bool pick, const std::string& text) {
  c->setEditable(!pick);
  if (!pick) c->setEditText(QStr(text));
}

}  // namespace

const std::vector<std::string>& TFrmCarProperty::TrTypes() {
  static const std::vector<std::string> kTypes = {"普通", "快速", "準急", "急行", "特急", "回送"};
  return kTypes;
}

TFrmCarProperty::TFrmCarProperty(QWidget* parent) : QDialog(parent) {
  setFont(UiFont(true, 12));
  resize(kFormW, 334);
  BtnOk = new QPushButton(QStringLiteral("OK"), this);
  BtnOk->setGeometry(358, 8, 75, 25);
  BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  BtnCancel->setGeometry(358, 40, 75, 25);
  BtnOk->setAutoDefault(false);
  BtnCancel->setAutoDefault(false);
  MakeCarGroup();
  MakeTrainGroup();
  connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(CbxStaName, &QComboBox::currentIndexChanged, this, [this] { CbxStaNameChange(); });
  connect(BtnColor, &QPushButton::clicked, this, [this] {
    const uint32_t now = Colour.rgb() & 0xFFFFFFu;
    if (const std::optional<uint32_t> c = UiHost().ChooseColor(now)) SetColour(RgbColour(*c));
  });
  connect(BtnClrTrType, &QPushButton::clicked, this, [this] { CbxTrType->setCurrentIndex(-1); });
}

void TFrmCarProperty::MakeCarGroup() {
  GbxCar = new QGroupBox(QStringLiteral("編成情報"), this);
  GbxCar->setGeometry(8, 8, 337, 145);
  Caption(GbxCar, "両数", 12, 22);
  CbxRyo = new QComboBox(GbxCar);
  CbxRyo->setGeometry(100, 22, 60, 21);
  for (int i = 1; i <= kMaxCars; ++i) CbxRyo->addItem(QString::number(i));
  CbxRyo->setCurrentIndex(3);
  Caption(GbxCar, "最高速度", 12, 48);
  EdtSpd = new QLineEdit(QStringLiteral("108"), GbxCar);
  EdtSpd->setGeometry(100, 48, 60, 21);
  auto* unit = new QLabel(QStringLiteral("km/h"), GbxCar);
  unit->setGeometry(166, 48, 40, 21);
  Caption(GbxCar, "車両色", 12, 74);
  EdtColor = new QLineEdit(GbxCar);
  EdtColor->setGeometry(100, 74, 60, 21);
  EdtColor->setReadOnly(true);
  BtnColor = new QPushButton(QStringLiteral("選択"), GbxCar);
  BtnColor->setGeometry(166, 74, 50, 21);
  LblCurPos = Caption(GbxCar, "", 12, 104);
  CbxStaName = new QComboBox(GbxCar);
  CbxStaName->setGeometry(100, 104, 120, 21);
  LblHome = Caption(GbxCar, "ホーム", 230, 104);
  LblHome->setGeometry(230, 104, 40, 21);
  CbxHome = new QComboBox(GbxCar);
  CbxHome->setGeometry(272, 104, 55, 21);
  SetColour(Colour);
}

void TFrmCarProperty::MakeTrainGroup() {
  GbxTrain = new QGroupBox(QStringLiteral("列車情報"), this);
  GbxTrain->setGeometry(8, 168, 337, 121);
  Caption(GbxTrain, "列車番号", 12, 24);
  EdtTrNo = new QLineEdit(GbxTrain);
  EdtTrNo->setGeometry(100, 24, 120, 21);
  Caption(GbxTrain, "列車種別", 12, 54);
  CbxTrType = new QComboBox(GbxTrain);
  CbxTrType->setGeometry(100, 54, 120, 21);
  for (const std::string& t : TrTypes()) CbxTrType->addItem(QStr(t));
  BtnClrTrType = new QPushButton(QStringLiteral("クリア"), GbxTrain);
  BtnClrTrType->setGeometry(226, 54, 60, 21);
  Caption(GbxTrain, "列車愛称", 12, 84);
  EdtTrNick = new QLineEdit(GbxTrain);
  EdtTrNick->setGeometry(100, 84, 200, 21);
}

void TFrmCarProperty::SetColour(QColor c) {
  Colour = c;
  EdtColor->setStyleSheet(QStringLiteral("background-color: %1;").arg(c.name()));
}

void TFrmCarProperty::SetCarFields(const TCarObj* car, const std::string& posLabel,
                                   const std::string& homeText, const std::string& staText) {
  const bool edit = car == nullptr;
  for (QWidget* w : std::initializer_list<QWidget*>{CbxRyo, EdtSpd, CbxStaName, CbxHome}) {
    w->setEnabled(edit);
  }
  BtnColor->setVisible(edit);
  SetPickOnly(CbxStaName, edit, staText);
  SetPickOnly(CbxHome, edit, homeText);
  if (edit) {
    CbxStaName->setCurrentIndex(-1);
    CbxHome->setCurrentIndex(-1);
  } else {
    CbxRyo->setCurrentIndex(car->NCar - 1);
    EdtSpd->setText(QString::number(car->Spd));
    SetColour(CarColour(car->Color));
    LblHome->setVisible(true);
    CbxHome->setVisible(true);
  }
  LblCurPos->setText(QStr(posLabel));
}

// ---- Uses --------------------------------------------------------------------------------------

std::optional<TNewCarChoice> TFrmCarProperty::NewCar(const std::vector<std::string>& staNames,
                                                     const std::vector<std::string>& homeLists,
                                                     TBrdData& brd) {
  brd_ = &brd;
  homeLists_ = homeLists;
  CbxStaName->blockSignals(true);
  CbxStaName->clear();
  for (const std::string& s : staNames) CbxStaName->addItem(QStr(s));
  CbxStaName->blockSignals(false);
  SetCarFields(nullptr, "始業時留置駅", "", "");
  CbxStaNameChange();
  GbxTrain->setVisible(false);
  setFixedSize(kFormW, kCarOnlyH);
  setWindowTitle(QStringLiteral("車両編成の新規作成"));
  if (exec() != QDialog::Accepted) return std::nullopt;
  TNewCarChoice ch;
  ch.Prop.Color = Bgr(Colour);
  ch.Prop.NCar = CbxRyo->currentIndex() + 1;
  ch.Prop.Spd = EdtSpd->text().trimmed().toInt();
  ch.StabLoc = StabLoc;
  return ch;
}

void TFrmCarProperty::ShowSpec(const TCarObj& car, const std::string& staName,
                               const std::string& homeText) {
  brd_ = nullptr;
  GbxTrain->setVisible(false);
  setFixedSize(kFormW, kCarOnlyH);
  setWindowTitle(QStringLiteral("車両編成の設定確認"));
  SetCarFields(&car, "始業時留置駅", homeText, staName);
  exec();
}

std::optional<TTrainChoice> TFrmCarProperty::EditTrain(const TTrainNoList& trains,
                                                       const TCarObj& car, const std::string& kind,
                                                       const std::string& number, bool change,
                                                       const std::string& homeText,
                                                       const std::string& staName) {
  GbxTrain->setVisible(true);
  const std::vector<TKindDef>& kinds = KindBoard != nullptr ? KindTable(*KindBoard) : BuiltInKinds();
  CbxTrType->clear();
  for (const TKindDef& k : kinds) CbxTrType->addItem(QStr(k.Name));
  CbxTrType->setCurrentIndex(-1);
  if (change) {
    EdtTrNo->setText(QStr(number));
    const int32_t at = KindIndexOf(kinds, kind);
    std::string nick = SplitTrainKind(kind).Nick;
    if (at >= 0) {
      CbxTrType->setCurrentIndex(at);
      const TKindDef& k = kinds[static_cast<size_t>(at)];
      if (k.Name != k.Type && nick.rfind(k.Name, 0) == 0) {
        nick = std::string(TrimBlanks(nick.substr(k.Name.size())));
      }
    }
    EdtTrNick->setText(QStr(nick));
    setWindowTitle(QStringLiteral("列車番号の変更"));
    ownNo_ = number;
  } else {
    EdtTrNo->clear();
    EdtTrNick->clear();
    setWindowTitle(QStringLiteral("列車の新規作成"));
    ownNo_.clear();
  }
  setFixedSize(kFormW, kWithTrainH);
  trainList_ = &trains;
  SetCarFields(&car, "始発駅", homeText, staName);
  const bool ok = exec() == QDialog::Accepted;
  trainList_ = nullptr;
  if (!ok) return std::nullopt;
  TTrainChoice ch;
  ch.TrNo = EdtTrNo->text().trimmed().toStdString();
  const int at = CbxTrType->currentIndex();
  ch.Kind = at >= 0 && static_cast<size_t>(at) < kinds.size()
                ? KindTextOf(kinds[static_cast<size_t>(at)])
                : std::string();
  const std::string nick = EdtTrNick->text().trimmed().toStdString();
  if (!nick.empty()) ch.Kind += " " + nick;
  return ch;
}

// ---- Checks ------------------------------------------------------------------------------------

bool TFrmCarProperty::BtnOkClick() {
  const bool ok = !BtnColor->isHidden() || GbxTrain->isHidden() ? CheckCar() : CheckTrain();
  if (ok) accept();
  return ok;
}

bool TFrmCarProperty::CheckCar() {
  if (brd_ == nullptr) return true;  // shown read-only
  bool num = false;
  const int spd = EdtSpd->text().trimmed().toInt(&num);
  if (!num || spd < 30 || spd > 160) {
    ShowMsgBox(kCapError, "速度の入力が正しくありません");
    EdtSpd->setFocus();
    return false;
  }
  const int sta = CbxStaName->currentIndex();
  if (sta < 0 || sta >= static_cast<int>(brd_->LineStas.size())) {
    ShowMsgBox(kCapError, "始業時留置駅を入力して下さい");
    CbxStaName->setFocus();
    return false;
  }
  if (CbxHome->currentIndex() < 0) {
    ShowMsgBox(kCapError, "始業時留置ホームを入力して下さい");
    CbxHome->setFocus();
    return false;
  }
  int32_t staId = 0;
  ParseInt(brd_->LineStas[sta], staId);
  TNewCarChoice ch;
  ch.Prop = {0, "", Bgr(Colour), CbxRyo->currentIndex() + 1, spd};
  ch.StabLoc = MakeEntCode(staId, CbxHome->currentText().toInt(), 0);
  if (const TStatus st = CheckNewCar(*brd_, ch); !st) {
    ShowMsgBox(kCapError, st.Msg());
    CbxStaName->setFocus();
    return false;
  }
  StabLoc = ch.StabLoc;
  return true;
}

bool TFrmCarProperty::CheckTrain() {
  if (trainList_ == nullptr) return true;
  const TStatus st = CheckTrainNo(*trainList_, EdtTrNo->text().toStdString(), ownNo_);
  if (!st) {
    ShowMsgBox(kCapError, st.Msg());
    EdtTrNo->setFocus();
  }
  return static_cast<bool>(st);
}

void TFrmCarProperty::CbxStaNameChange() {
  const int i = CbxStaName->currentIndex();
  const bool chosen = i >= 0 && i < static_cast<int>(homeLists_.size());
  if (CbxStaName->isEditable()) return;  // a shown value, not a choice
  CbxHome->clear();
  if (chosen) {
    for (const std::string& h : SplitComma(homeLists_[i])) CbxHome->addItem(QStr(h));
  }
  CbxHome->setVisible(chosen);
  LblHome->setVisible(chosen);
}

void TFrmCarProperty::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (CbxRyo->isEnabled()) {
    CbxRyo->setFocus();
  } else if (GbxTrain->isVisible()) {
    EdtTrNo->setFocus();
  }
}

void TFrmCarProperty::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) reject();
}

}  // namespace ramvel
