// The dialog host of the program.
#include "windows/common/UrwQtHost.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QStringList>

#include "windows/common/UrwSelStaForm.h"

namespace ramvel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A message's text with its line breaks as the box shows them: a lone CR breaks a line too.
QString BoxText(const std::string& s) {
  QString t = Q(s);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QChar('\r'), QChar('\n'));
  return t;
}

// "*.bmp" and "*.BMP"; a pattern without letters stays alone.
QString CaseVariants(const QString& patterns) {
  QStringList out;
  for (const QString& p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString lower = p.trimmed().toLower(), upper = p.trimmed().toUpper();
    if (!out.contains(lower)) out << lower;
    if (!out.contains(upper)) out << upper;
  }
  return out.join(QLatin1Char(' '));
}

// The description without a trailing "(...)" that only repeats the patterns.
QString BareDescription(QString desc) {
  desc = desc.trimmed();
  if (desc.endsWith(QLatin1Char(')'))) {
    const qsizetype open = desc.lastIndexOf(QLatin1Char('('));
    if (open > 0) desc = desc.left(open).trimmed();
  }
  return desc;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeOkBox(QWidget* parent, const std::string& caption,
                                       const std::string& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(Q(caption));
  box->setText(BoxText(text));
  box->setStandardButtons(QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  return box;
}

std::unique_ptr<QMessageBox> MakeYesNoBox(QWidget* parent, const std::string& caption,
                                          const std::string& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(Q(caption));
  box->setText(BoxText(text));
  box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box->setDefaultButton(QMessageBox::Yes);
  box->setEscapeButton(QMessageBox::No);
  return box;
}

QString PlainCaption() {
  const QString name = QGuiApplication::applicationDisplayName();
  return name.isEmpty() ? QStringLiteral("Ramvel") : name;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    out << BareDescription(parts[i]) + QStringLiteral(" (") + CaseVariants(parts[i + 1]) +
               QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

void TQtUiHost::ShowMsgBox(const std::string& caption, const std::string& text) {
  MakeOkBox(parent_, caption, text)->exec();
}

bool TQtUiHost::AskYesNo(const std::string& caption, const std::string& text) {
  return MakeYesNoBox(parent_, caption, text)->exec() == QMessageBox::Yes;
}

std::optional<size_t> TQtUiHost::AskChoice(const std::string& caption, const std::string& text,
                                           const std::vector<std::string>& choices) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::NoButton, parent_);
  std::vector<QAbstractButton*> buttons;
  for (const std::string& c : choices) {
    buttons.push_back(box.addButton(Q(c), QMessageBox::AcceptRole));
  }
  QAbstractButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  if (!buttons.empty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
  box.setEscapeButton(cancel);
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return i;
  }
  return std::nullopt;
}

void TQtUiHost::ShowPlainMsg(const std::string& text) {
  MakeOkBox(parent_, PlainCaption().toStdString(), text)->exec();
}

std::optional<std::string> TQtUiHost::InputBox(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& value) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent_, Q(caption), Q(prompt), QLineEdit::Normal, Q(value), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

std::optional<std::string> TQtUiHost::OpenFileDialog(const std::string& title,
                                                     const std::string& folder,
                                                     const std::string& filter) {
  const QString file =
      QFileDialog::getOpenFileName(parent_, Q(title), Q(folder), QtFileFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

std::optional<std::string> TQtUiHost::SaveFileDialog(const std::string& title,
                                                     const std::string& path,
                                                     const std::string& filter) {
  const QString file =
      QFileDialog::getSaveFileName(parent_, Q(title), Q(path), QtFileFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

TQtUiHost::~TQtUiHost() { delete selDlg_.data(); }

std::optional<size_t> TQtUiHost::SelectItem(const std::vector<std::string>& items,
                                             const std::string& prompt,
                                             const std::string& picFolder) {
  if (selDlg_.isNull()) selDlg_ = new TFrmSelSta(parent_);
  auto* dlg = static_cast<TFrmSelSta*>(selDlg_.data());
  if (!picFolder.empty()) dlg->DrawStaPics(items, picFolder);
  if (!dlg->ShowSelList(items, prompt, picFolder.empty())) return std::nullopt;
  const int i = dlg->SelectedIndex();
  if (i < 0) return std::nullopt;
  return static_cast<size_t>(i);
}

std::optional<uint32_t> TQtUiHost::ChooseColor(uint32_t initial) {
  const QColor init(static_cast<QRgb>(0xFF000000u | (initial & 0xFFFFFFu)));
  const QColor c = QColorDialog::getColor(init, parent_);
  if (!c.isValid()) return std::nullopt;
  return static_cast<uint32_t>(c.rgb()) & 0xFFFFFFu;
}

}  // namespace ramvel
