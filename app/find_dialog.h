// Find and Replace for one document window: a modeless dialog beside the
// document, with match case and whole words, next and previous, Replace
// and Replace All. Replace All is one step to undo.
#pragma once

#include <QDialog>

#include "text_search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veln::desktop {

class DocumentView;

class FindDialog : public QDialog {
    Q_OBJECT

  public:
    FindDialog(DocumentView& view, bool french, QWidget* parent);

    // Shows the dialog with the cursor in its Find field, or in Replace.
    void Open(bool replace);
    // Selects the next or previous match; false when there is none, which
    // the dialog and the status say.
    bool FindNext();
    bool FindPrevious();
    // Replaces the selection when it is a match, then finds the next one.
    bool Replace();
    // Replaces every match; how many.
    int ReplaceAll();

    QLineEdit& FindField() const { return *find_; }
    QLineEdit& ReplaceField() const { return *replace_; }
    QCheckBox& MatchCase() const { return *matchCase_; }
    QCheckBox& WholeWords() const { return *wholeWords_; }
    QString Status() const;

  signals:
    // What the window's status bar shows after a search.
    void Reported(const QString& message);

  private:
    TextSearch Search() const;
    std::u32string Story() const;
    bool Go(bool backward);
    void Report(const QString& message);

    DocumentView& view_;
    bool french_;
    QLineEdit* find_;
    QLineEdit* replace_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWords_;
    QLabel* status_;
};

}  // namespace veln::desktop
