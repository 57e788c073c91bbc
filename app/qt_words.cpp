#include "qt_words.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace veln::desktop {

QtWords::QtWords(bool french) {
    // Without Qt's translations installed, its words stay in English.
    if (french && translator_.load(QLatin1String("qtbase_fr"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

QtWords::~QtWords() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

}  // namespace veln::desktop
