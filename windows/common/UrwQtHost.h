// TQtUiHost: the dialog host of the program, showing real Qt message boxes, input boxes and file
// and colour dialogs with the captions and texts exactly as the callers give them.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "foundation/UrwUiHost.h"

namespace ramvel {

class TQtUiHost : public TUiHost {
 public:
  // parent (may be null) owns the dialogs on screen; it is watched, not owned.
  explicit TQtUiHost(QWidget* parent = nullptr) : parent_(parent) {}
  ~TQtUiHost() override;
  TQtUiHost(const TQtUiHost&) = delete;
  TQtUiHost& operator=(const TQtUiHost&) = delete;
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMsgBox(const std::string& caption, const std::string& text) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  // Captioned with the application's name, as every internal message is.
  void ShowPlainMsg(const std::string& text) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& value) override;
  std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& folder,
                                            const std::string& filter) override;
  std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& path,
                                            const std::string& filter) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<size_t> AskChoice(const std::string& caption, const std::string& text,
                                  const std::vector<std::string>& choices) override;
  // The program's one selection dialog (TFrmSelSta), made on first use.
  std::optional<size_t> SelectItem(const std::vector<std::string>& items, const std::string& prompt,
                                   const std::string& picFolder) override;

 private:
  QPointer<QWidget> parent_;
  QPointer<QDialog> selDlg_;  // deleted with its parent or with the host
};

// The boxes as they are shown, built without being run.
std::unique_ptr<QMessageBox> MakeOkBox(QWidget* parent, const std::string& caption,
                                       const std::string& text);
std::unique_ptr<QMessageBox> MakeYesNoBox(QWidget* parent, const std::string& caption,
                                          const std::string& text);
// The caption of plain messages: the application's display name, "Ramvel" when it has none.
QString PlainCaption();
// A filter "desc|pattern|desc|pattern" in the form of the Qt file dialogs; each pattern also
// matches its upper-case spelling, since file names on disk may be in either case
// ("bitmap (*.BMP)|*.bmp" gives "bitmap (*.bmp *.BMP)").
QString QtFileFilter(const std::string& filter);

}  // namespace ramvel
