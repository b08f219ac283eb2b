// Qt's own texts in Japanese: its translation file is loaded beside the program's own texts.
#include "shell/UrwQtLang.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ramvel {

bool InstallQtJapanese() {
  static QTranslator* installed = nullptr;
  if (installed != nullptr) return true;
  auto* tr = new QTranslator(QCoreApplication::instance());
  if (!tr->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(tr)) {
    delete tr;
    return false;
  }
  installed = tr;
  return true;
}

}  // namespace ramvel
