// Qt's own texts (the buttons and captions of its standard dialogs) in Japanese.
#pragma once

namespace ramvel {

// Loads Qt's Japanese translations (qtbase_ja from Qt's translations folder) into the running
// application, once; false when they are not installed, and Qt's texts then stay English.
// Needs a QCoreApplication.
bool InstallQtJapanese();

}  // namespace ramvel
