// TFrmSelSta: the one modal list dialog for choosing a station file (with a picture of each
// station), a line, a board, a train set or a train.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

class QListWidget;
class QPainter;
class QPushButton;

namespace ramvel {

class TBrdData;

class TFrmSelSta : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmSelSta(QWidget* parent = nullptr);

  // Item heights and visible rows of the two modes.
  static constexpr int kTextItemH = 15;
  static constexpr int kPicItemH = 60;
  static constexpr int kTextRows = 15;
  static constexpr int kPicRows = 8;
  static constexpr int kPicW = 100;  // width of one station picture

  // Offers list under the caption prompt and waits; true when closed with OK, and then
  // SelectedText holds the choice. An empty list is refused at once with a notice.
  bool ShowSelList(const std::vector<std::string>& list, const std::string& prompt, bool textMode);

  // kind 0: every station file (station designer); 1: every station file (renaming);
  // 2: only files of stations not on brd (placing). brd may be null for kinds 0 and 1.
  bool SelectSta(int kind, const std::string& brdFolder, const TBrdData* brd, std::string& name);
  bool SelectLine(const std::string& brdFolder, std::string& name);
  bool SelectBrd(const std::string& baseDir, std::string& name);
  // The chosen line's text before its first "(", trimmed, as a number.
  bool SelectCarId(const std::vector<std::string>& list, const std::string& prompt, int32_t& no);
  bool SelectTrNo(const std::vector<std::string>& list, std::string& trNo);

  int ItemHeight() const { return TextMode ? kTextItemH : kPicItemH; }
  int SelectedIndex() const;
  std::string SelectedText() const;

  // Draws the pictures of the listed station files of a board folder into StaPics, one 100 x
  // 60 px block per name; a file that cannot be read keeps its grey block.
  void DrawStaPics(const std::vector<std::string>& names, const std::string& brdFolder);

  QListWidget* LbxSta;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;
  QImage StaPics;  // 100 px wide, 60 px per listed station
  QImage ItemPic;  // one item's picture while it is drawn
  bool TextMode = true;

  void LbxStaDrawItem(QPainter& p, int index, const QRect& rect, bool selected);

 protected:
  void keyReleaseEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* e) override;

 private:
  void FillList(const std::vector<std::string>& list, const std::string& prompt, bool textMode);
  // true when the key was Enter or Escape and the dialog closed.
  bool FormKeyUp(int key);
};

}  // namespace ramvel
