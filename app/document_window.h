// The window of one open document: its menus File and Edit with the usual
// shortcuts, the add-in's toolbar, the document view, and a status bar with
// the element under the caret, the project and the progress of long work.
// Its title is the document's name with a mark while it has unsaved changes.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

#include "host/word/document.h"

class QMenu;

namespace veln::desktop {

class Desktop;
class DocumentView;
class FindDialog;
class ToolbarView;

class DocumentWindow : public QMainWindow {
    Q_OBJECT

  public:
    DocumentWindow(Desktop& desktop, host::Document& document);

    host::Document& Document() const { return document_; }
    DocumentView& View() const { return *view_; }
    ToolbarView& Toolbar() const { return *toolbar_; }

    // In step with the model: the view, the toolbar's states, the title, the status bar.
    void Sync();
    // A document the view cannot edit opens read-only, and the user is told why.
    void CheckEditable();
    // Saves, asking for a file when the document has none; false when it was
    // not saved (the user cancelled, or the save failed and was reported).
    bool Save();
    bool SaveAs();
    // Where Open and Save As start: the document's folder, else the home folder.
    QString StartFolder() const;
    bool SaveTo(const QString& path);
    // Prints through the print dialog; exports the document as a PDF file,
    // asking where, or to path. False when nothing was written.
    void Print();
    bool ExportPdf();
    bool ExportPdfTo(const QString& path);
    FindDialog& Finder() const { return *finder_; }

    void ShowProgress(bool shown);
    // Whether the document is drawn (screen updating).
    void SetDrawing(bool drawing);
    // The document has gone: nothing of the window touches it again.
    void Abandon();

    QString ElementShown() const { return element_->text(); }
    QString ProjectShown() const { return project_->text(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void MakeMenus();
    void FillRecentMenu();
    // The Window menu: the open documents, this one checked; one chosen comes to the front.
    void MakeWindowMenu();
    void FillWindowMenu();
    void UpdateTitle();
    void UpdateStatus();

    Desktop& desktop_;
    host::Document& document_;
    DocumentView* view_;
    ToolbarView* toolbar_;
    QLabel* element_;
    QLabel* project_;
    QProgressBar* progress_;
    QMenu* windows_ = nullptr;
    QMenu* recent_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    FindDialog* finder_;
    bool abandoned_ = false;
};

}  // namespace veln::desktop
