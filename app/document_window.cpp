#include "document_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <filesystem>

#include <unistd.h>

#include "addin/this_application.h"
#include "database/doc_variables.h"
#include "desktop.h"
#include "desktop_texts.h"
#include "document_printer.h"
#include "document_view.h"
#include "elements/elements.h"
#include "faces.h"
#include "find_dialog.h"
#include "qt_words.h"
#include "toolbar_states.h"
#include "toolbar_view.h"

namespace veln::desktop {

DocumentWindow::DocumentWindow(Desktop& desktop, host::Document& document)
    : desktop_(desktop), document_(document) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowIcon(ProgramIcon());
    view_ = new DocumentView(document, desktop.app().Overtype, this);
    setCentralWidget(view_);
    toolbar_ = new ToolbarView(
        desktop.app(), document, [this](std::uint64_t id) { desktop_.Press(*this, id); },
        [this](const host::CommandBarControl& control) -> std::optional<bool> {
            const addin::ThisApplication* addin = desktop_.connection().Instance();
            return addin == nullptr ? std::nullopt
                                    : CheckMarkOf(addin->MemberName(control), document_);
        },
        this);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    element_ = new QLabel(this);
    project_ = new QLabel(this);
    progress_ = new QProgressBar(this);
    // Long work tells no fraction: the bar shows that it runs.
    progress_->setRange(0, 0);
    progress_->setMaximumWidth(160);
    progress_->setFormat(Tr(Text::Working, desktop.French()));
    progress_->hide();
    statusBar()->addWidget(element_, 1);
    statusBar()->addPermanentWidget(progress_);
    statusBar()->addPermanentWidget(project_);
    finder_ = new FindDialog(*view_, desktop.French(), this);
    connect(finder_, &FindDialog::Reported, this,
            [this](const QString& message) { statusBar()->showMessage(message, 5000); });
    MakeMenus();
    MakeWindowMenu();
    connect(view_, &DocumentView::SelectionMoved, this, [this] { UpdateStatus(); });
    connect(view_, &DocumentView::Edited, this, [this] { UpdateTitle(); });
    connect(view_, &DocumentView::HyperlinkFollowed, this,
            [this](const QString& address, const QString& subAddress) {
                desktop_.FollowHyperlink(*this, address, subAddress);
            });
    connect(view_, &DocumentView::EditRefused, this, [this](const QString& why) {
        statusBar()->showMessage(Tr(Text::EditRefused, desktop_.French()).arg(why), 5000);
    });
    resize(1280, 800);
    Sync();
}

void DocumentWindow::MakeMenus() {
    bool french = desktop_.French();
    QMenu* file = menuBar()->addMenu(Tr(Text::MenuFile, french));
    file->addAction(Tr(Text::New, french), QKeySequence::New, this, [this] { desktop_.New(); });
    file->addAction(Tr(Text::Open, french), QKeySequence::Open, this, [this] {
        QtWords words(desktop_.French());
        QString path =
            QFileDialog::getOpenFileName(this, QString(), StartFolder(),
                                         QString("%1 (*.docx *.docm *.dotx *.dotm);;%2 (*)")
                                             .arg(Tr(Text::WordDocuments, desktop_.French()),
                                                  Tr(Text::AllFiles, desktop_.French())));
        if (!path.isEmpty()) {
            desktop_.Open(path);
        }
    });
    recent_ = file->addMenu(Tr(Text::OpenRecent, french));
    connect(recent_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    file->addSeparator();
    file->addAction(Tr(Text::Save, french), QKeySequence::Save, this, [this] { Save(); });
    file->addAction(Tr(Text::SaveAs, french), QKeySequence::SaveAs, this, [this] { SaveAs(); });
    file->addSeparator();
    file->addAction(Tr(Text::Print, french), QKeySequence::Print, this, [this] { Print(); });
    file->addAction(Tr(Text::ExportPdf, french), this, [this] { ExportPdf(); });
    file->addSeparator();
    file->addAction(Tr(Text::Close, french), QKeySequence::Close, this,
                    [this] { desktop_.Close(*this); });
    file->addSeparator();
    file->addAction(Tr(Text::Quit, french), QKeySequence::Quit, this, [this] { desktop_.Quit(); });

    QMenu* edit = menuBar()->addMenu(Tr(Text::MenuEdit, french));
    undo_ = edit->addAction(Tr(Text::Undo, french), QKeySequence::Undo, this,
                            [this] { view_->Undo(); });
    redo_ = edit->addAction(Tr(Text::Redo, french), QKeySequence::Redo, this,
                            [this] { view_->Redo(); });
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    }
    redo_->setShortcuts(redoKeys);
    QUndoStack& history = view_->Editor().UndoStack();
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    connect(&history, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    edit->addSeparator();
    edit->addAction(Tr(Text::Cut, french), QKeySequence::Cut, this, [this] { view_->Cut(); });
    edit->addAction(Tr(Text::Copy, french), QKeySequence::Copy, this, [this] { view_->Copy(); });
    edit->addAction(Tr(Text::Paste, french), QKeySequence::Paste, this, [this] { view_->Paste(); });
    edit->addSeparator();
    edit->addAction(Tr(Text::SelectAll, french), QKeySequence::SelectAll, this,
                    [this] { view_->SelectAll(); });
    edit->addSeparator();
    edit->addAction(Tr(Text::Find, french), QKeySequence::Find, this,
                    [this] { finder_->Open(false); });
    edit->addAction(Tr(Text::FindNext, french), QKeySequence::FindNext, this,
                    [this] { finder_->FindNext(); });
    edit->addAction(Tr(Text::FindPrevious, french), QKeySequence::FindPrevious, this,
                    [this] { finder_->FindPrevious(); });
    edit->addAction(Tr(Text::ReplaceMenu, french), QKeySequence(Qt::CTRL | Qt::Key_H), this,
                    [this] { finder_->Open(true); });

    QMenu* view = menuBar()->addMenu(Tr(Text::MenuView, french));
    QAction* zoomIn = view->addAction(Tr(Text::ZoomIn, french), this, [this] { view_->ZoomIn(); });
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    view->addAction(Tr(Text::ZoomOut, french), QKeySequence::ZoomOut, this,
                    [this] { view_->ZoomOut(); });
    view->addAction(Tr(Text::ActualSize, french), QKeySequence(Qt::CTRL | Qt::Key_0), this,
                    [this] { view_->SetZoom(100); });
    connect(view_, &DocumentView::ZoomChanged, this, [this](int percent) {
        statusBar()->showMessage(Tr(Text::ZoomShown, desktop_.French()).arg(percent), 3000);
    });
}

void DocumentWindow::MakeWindowMenu() {
    windows_ = menuBar()->addMenu(Tr(Text::MenuWindow, desktop_.French()));
    connect(windows_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
}

void DocumentWindow::FillWindowMenu() {
    windows_->clear();
    for (DocumentWindow* window : desktop_.Windows()) {
        QAction* entry =
            windows_->addAction(QString::fromStdString(window->Document().Name()), this, [window] {
                window->raise();
                window->activateWindow();
            });
        entry->setCheckable(true);
        entry->setChecked(window == this);
    }
}

void DocumentWindow::FillRecentMenu() {
    recent_->clear();
    QStringList files = desktop_.RecentFiles();
    if (files.isEmpty()) {
        recent_->addAction(Tr(Text::NoRecentFiles, desktop_.French()))->setEnabled(false);
    }
    for (const QString& path : files) {
        recent_->addAction(path, this, [this, path] { desktop_.Open(path); });
    }
}

void DocumentWindow::Sync() {
    if (abandoned_) {
        return;
    }
    view_->SyncWithModel();
    toolbar_->Sync();
    UpdateTitle();
    UpdateStatus();
}

void DocumentWindow::UpdateTitle() {
    QString title = QString::fromStdString(document_.Name()) + QLatin1String("[*]");
    if (view_->ReadOnly()) {
        title += QString(" (%1)").arg(Tr(Text::ReadOnly, desktop_.French()));
    }
    setWindowTitle(title + QLatin1String(" - VELN"));
    setWindowModified(!document_.Saved());
}

void DocumentWindow::UpdateStatus() {
    std::string database = document_.VariableValue(VARDOC_DB_NAME).value_or("");
    project_->setText(
        database.empty()
            ? Tr(Text::NoProject, desktop_.French())
            : Tr(Text::Project, desktop_.French()).arg(QString::fromStdString(database)));
    // The element under the caret is the active document's: the other
    // windows keep what they showed.
    if (desktop_.app().ActiveDocument() != &document_) {
        return;
    }
    QString element;
    try {
        std::string id = Elements::CurrentElementId(desktop_.context());
        if (!id.empty()) {
            Elements::ElementInfo info = Elements::GetElementInfo(desktop_.context(), id);
            element =
                Tr(Text::Element, desktop_.French())
                    .arg(QString::fromStdString(info.number), QString::fromStdString(info.label));
        }
    } catch (const std::exception&) {
        // The status bar shows what it can.
    }
    element_->setText(element);
}

void DocumentWindow::CheckEditable() {
    std::filesystem::path path = document_.FullName();
    if (!path.is_absolute()) {
        return;  // a new document, never saved
    }
    QString why;
    if (access(path.c_str(), W_OK) != 0) {
        why = Tr(Text::FileNotWritable, desktop_.French());
    } else if (access(path.parent_path().c_str(), W_OK) != 0) {
        why = Tr(Text::FolderNotWritable, desktop_.French());
    }
    if (why.isEmpty()) {
        return;
    }
    view_->SetReadOnly(true, why);
    UpdateTitle();
    desktop_.context().ui.MsgBox(Tr(Text::ReadOnlyBecause, desktop_.French())
                                     .arg(QString::fromStdString(document_.Name()), why)
                                     .toStdString(),
                                 host::MsgBoxStyle::vbInformation);
}

bool DocumentWindow::Save() {
    if (!std::filesystem::path(document_.FullName()).is_absolute()) {
        return SaveAs();
    }
    bool saved = false;
    desktop_.RunCommand([&] {
        try {
            document_.Save();
            saved = true;
        } catch (const host::HostError& error) {
            desktop_.context().ui.MsgBox(Tr(Text::CannotSave, desktop_.French())
                                             .arg(QString::fromStdString(document_.Name()),
                                                  QString::fromStdString(error.Description()))
                                             .toStdString(),
                                         host::MsgBoxStyle::vbCritical);
        }
    });
    return saved;
}

QString DocumentWindow::StartFolder() const {
    QFileInfo file(QString::fromStdString(document_.FullName()));
    return file.isAbsolute() && file.dir().exists() ? file.absolutePath() : QDir::homePath();
}

bool DocumentWindow::SaveAs() {
    QtWords words(desktop_.French());
    QString path = QFileDialog::getSaveFileName(
        this, QString(), QDir(StartFolder()).filePath(QString::fromStdString(document_.Name())),
        QString("%1 (*.docx)").arg(Tr(Text::WordDocuments, desktop_.French())));
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1String(".docx");
    }
    return SaveTo(path);
}

bool DocumentWindow::SaveTo(const QString& path) {
    bool saved = false;
    desktop_.RunCommand([&] {
        try {
            document_.SaveAs(path.toStdString());
            saved = true;
            desktop_.Remember(QString::fromStdString(document_.FullName()));
        } catch (const host::HostError& error) {
            desktop_.context().ui.MsgBox(Tr(Text::CannotSave, desktop_.French())
                                             .arg(path, QString::fromStdString(error.Description()))
                                             .toStdString(),
                                         host::MsgBoxStyle::vbCritical);
        }
    });
    if (saved && view_->ReadOnly()) {
        // A copy saved where it can be written is the user's to edit.
        view_->SetReadOnly(false, {});
        UpdateTitle();
    }
    return saved;
}

void DocumentWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(document_.Name()));
    QtWords words(desktop_.French());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        desktop_.RunCommand([&] { DocumentPrinter(document_, view_->BodyFont()).Print(printer); });
    }
}

bool DocumentWindow::ExportPdf() {
    QString name = QFileInfo(QString::fromStdString(document_.Name())).completeBaseName();
    QtWords words(desktop_.French());
    QString path = QFileDialog::getSaveFileName(
        this, QString(), QDir(StartFolder()).filePath(name + QLatin1String(".pdf")),
        QString("%1 (*.pdf)").arg(Tr(Text::PdfFiles, desktop_.French())));
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1String(".pdf");
    }
    return ExportPdfTo(path);
}

bool DocumentWindow::ExportPdfTo(const QString& path) {
    bool french = desktop_.French();
    QFileInfo target(path);
    // The document itself is never replaced by its picture.
    if (target.absoluteFilePath() ==
        QFileInfo(QString::fromStdString(document_.FullName())).absoluteFilePath()) {
        desktop_.context().ui.MsgBox(Tr(Text::CannotWritePdf, french).arg(path).toStdString(),
                                     host::MsgBoxStyle::vbCritical);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(QString::fromStdString(document_.Name()));
    bool written = false;
    desktop_.RunCommand(
        [&] { written = DocumentPrinter(document_, view_->BodyFont()).Print(printer); });
    if (!written) {
        desktop_.context().ui.MsgBox(Tr(Text::CannotWritePdf, french).arg(path).toStdString(),
                                     host::MsgBoxStyle::vbCritical);
        return false;
    }
    statusBar()->showMessage(Tr(Text::PdfWritten, french).arg(path), 5000);
    return true;
}

void DocumentWindow::ShowProgress(bool shown) {
    if (!abandoned_) {
        progress_->setVisible(shown);
        if (!shown) {
            SetDrawing(true);
        }
    }
}

void DocumentWindow::SetDrawing(bool drawing) {
    if (!abandoned_) {
        view_->viewport()->setUpdatesEnabled(drawing);
    }
}

void DocumentWindow::Abandon() {
    abandoned_ = true;
    hide();
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (abandoned_) {
        event->accept();
        return;
    }
    // The window goes when its document does, through the application's close.
    event->ignore();
    desktop_.Close(*this);
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !abandoned_) {
        desktop_.Activated(*this);
    }
}

}  // namespace veln::desktop
