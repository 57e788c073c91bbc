#include "qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "desktop_texts.h"
#include "faces.h"
#include "form_dialog.h"
#include "host/sheet/spreadsheet_program.h"

namespace veln::desktop {

namespace {

using namespace host::MsgBoxStyle;
using namespace host::MsgBoxResult;

struct Choice {
    int result;
    Text text;
    QMessageBox::ButtonRole role;
};

// The buttons of each button style, in the system's order.
std::vector<Choice> Buttons(int style) {
    switch (style) {
        case vbOKCancel:
            return {{vbOK, Text::Ok, QMessageBox::AcceptRole},
                    {vbCancel, Text::Cancel, QMessageBox::RejectRole}};
        case vbAbortRetryIgnore:
            return {{vbAbort, Text::Abort, QMessageBox::RejectRole},
                    {vbRetry, Text::Retry, QMessageBox::AcceptRole},
                    {vbIgnore, Text::Ignore, QMessageBox::ActionRole}};
        case vbYesNoCancel:
            return {{vbYes, Text::Yes, QMessageBox::YesRole},
                    {vbNo, Text::No, QMessageBox::NoRole},
                    {vbCancel, Text::Cancel, QMessageBox::RejectRole}};
        case vbYesNo:
            return {{vbYes, Text::Yes, QMessageBox::YesRole},
                    {vbNo, Text::No, QMessageBox::NoRole}};
        case vbRetryCancel:
            return {{vbRetry, Text::Retry, QMessageBox::AcceptRole},
                    {vbCancel, Text::Cancel, QMessageBox::RejectRole}};
        default:
            return {{vbOK, Text::Ok, QMessageBox::AcceptRole}};
    }
}

QString Prompt(const std::string& text) {
    QString prompt = QString::fromStdString(text);
    prompt.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    prompt.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return prompt;
}

QString Title(const std::string& title) {
    return QString::fromStdString(title.empty() ? host::DEFAULT_TITLE : title);
}

}  // namespace

bool QtUi::French() const {
    return language_ != nullptr && language_->offset == FRENCH_OFFSET;
}

QWidget* QtUi::Parent() {
    // A window that has gone (hidden, its deletion pending) parents nothing:
    // the dialog would go with it.
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : nullptr;
}

int QtUi::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    QMessageBox box(Parent());
    box.setWindowTitle(Title(title));
    box.setWindowIcon(ProgramIcon());
    box.setText(Prompt(prompt));
    switch (flags & 0x70) {
        case vbCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case vbQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case vbExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case vbInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    std::vector<Choice> choices = Buttons(flags & 0x7);
    std::map<QAbstractButton*, int> results;
    std::vector<QPushButton*> buttons;
    for (const Choice& choice : choices) {
        QPushButton* button = box.addButton(Tr(choice.text, French()), choice.role);
        button->setObjectName(QString::number(choice.result));
        results[button] = choice.result;
        buttons.push_back(button);
        if (choice.result == vbCancel || (choices.size() == 1)) {
            box.setEscapeButton(button);
        }
    }
    std::size_t defaultIndex = static_cast<std::size_t>((flags >> 8) & 0x3);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    box.exec();
    auto found = results.find(box.clickedButton());
    if (found != results.end()) {
        return found->second;
    }
    // Closed without a button: what Escape would have given.
    return choices.size() == 1 ? vbOK : choices.back().result;
}

std::string QtUi::InputBox(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) {
    QInputDialog dialog(Parent());
    dialog.setWindowTitle(Title(title));
    dialog.setLabelText(Prompt(prompt));
    dialog.setTextValue(QString::fromStdString(defaultText));
    dialog.setOkButtonText(Tr(Text::Ok, French()));
    dialog.setCancelButtonText(Tr(Text::Cancel, French()));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.textValue().toStdString();
}

std::string QtUi::BrowseFolder(const std::string& title) {
    return QFileDialog::getExistingDirectory(Parent(), QString::fromStdString(title),
                                             QDir::homePath())
        .toStdString();
}

void QtUi::ShowWorkbook(const std::string& path) {
    if (system_ != nullptr && host::OpenInSpreadsheetProgram(*system_, path)) {
        return;
    }
    // Nothing could show it: the user at least learns where it is.
    MsgBox(Tr(Text::WorkbookWritten, French()).arg(QString::fromStdString(path)).toStdString(),
           vbInformation);
}

QString QtUi::QtFilter(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QString("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QLatin1String(";;"));
}

std::string QtUi::ShowOpen(const std::string& filter, const std::string& defaultExtension,
                           const std::string& initialFolder, int flags) {
    QFileDialog dialog(Parent());
    dialog.setNameFilter(QtFilter(filter));
    dialog.setDirectory(QString::fromStdString(
        initialFolder.empty() ? QDir::homePath().toStdString() : initialFolder));
    std::string extension = defaultExtension;
    if (extension.starts_with(".")) {
        extension.erase(0, 1);
    }
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    dialog.setFileMode((flags & host::OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toStdString();
}

void QtUi::Show(const std::shared_ptr<host::Form>& form, bool modal) {
    Runner run =
        runnerFor_ ? runnerFor_() : [](const std::function<void()>& handler) { handler(); };
    auto dialog = std::make_unique<FormDialog>(form, run, nullptr, Parent());
    form->Load();
    dialog->Push();
    if (!form->IsOpen()) {
        return;
    }
    if (modal) {
        dialog->exec();
        // A form whose window went without a word from it closes as by its close box.
        form->CloseBox();
        return;
    }
    // Modeless: the window lives until it closes, and holds the form until then.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog.release()->show();
}

}  // namespace veln::desktop
