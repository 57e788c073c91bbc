// Qt's own words in its dialogs (the file dialog's "Look in:" and "File
// name:", the print dialog's) in the run's language: while a QtWords lives,
// Qt's French translation is installed when the run is in French. The run's
// language may change between two dialogs, so each dialog takes its own.
#pragma once

#include <QTranslator>

namespace veln::desktop {

class QtWords {
  public:
    explicit QtWords(bool french);
    ~QtWords();
    QtWords(const QtWords&) = delete;
    QtWords& operator=(const QtWords&) = delete;

  private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace veln::desktop
