#include "qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <array>
#include <map>

#include "desktop_texts.h"
#include "faces.h"
#include "form_dialog.h"
#include "host/db/database.h"
#include "host/sheet/spreadsheet_program.h"
#include "qt_words.h"

namespace veln::desktop {

namespace {

using namespace host::MsgBoxStyle;
using namespace host::MsgBoxResult;

struct Choice {
    int result;
    Text text;
    QMessageBox::ButtonRole role;
};

constexpr Choice OK{vbOK, Text::Ok, QMessageBox::AcceptRole};
constexpr Choice CANCEL{vbCancel, Text::Cancel, QMessageBox::RejectRole};
constexpr Choice ABORT{vbAbort, Text::Abort, QMessageBox::RejectRole};
constexpr Choice RETRY{vbRetry, Text::Retry, QMessageBox::AcceptRole};
constexpr Choice IGNORE{vbIgnore, Text::Ignore, QMessageBox::ActionRole};
constexpr Choice YES{vbYes, Text::Yes, QMessageBox::YesRole};
constexpr Choice NO{vbNo, Text::No, QMessageBox::NoRole};
constexpr int NO_BUTTON = 0;

bool IsServerAddress(const QString& text) {
    return db::Database::IsServerName(text.trimmed().toStdString());
}

// A project database may also be a server's, named rather than picked: under
// its own rows the file dialog gains a field for the database's postgresql://
// address and the button that opens it, enabled once the field holds one.
// chosen receives the address when the user opens it.
void AddServerRow(QFileDialog& dialog, QString& chosen, bool french) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (grid == nullptr) {
        return;
    }
    auto* label = new QLabel(Tr(Text::ServerDatabase, french), &dialog);
    auto* field = new QLineEdit(&dialog);
    field->setObjectName("serverDatabase");
    field->setPlaceholderText("postgresql://host/database");
    label->setBuddy(field);
    auto* open = new QPushButton(Tr(Text::OpenServerDatabase, french), &dialog);
    open->setObjectName("openServerDatabase");
    open->setEnabled(false);
    open->setAutoDefault(false);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(open, row, 2);
    QObject::connect(field, &QLineEdit::textChanged, open,
                     [open](const QString& text) { open->setEnabled(IsServerAddress(text)); });
    auto choose = [&dialog, &chosen, field] {
        if (IsServerAddress(field->text())) {
            chosen = field->text().trimmed();
            static_cast<QDialog&>(dialog).done(QDialog::Accepted);
        }
    };
    QObject::connect(open, &QPushButton::clicked, &dialog, choose);
    QObject::connect(field, &QLineEdit::returnPressed, &dialog, choose);
}

// A button style: its buttons in the system's order, the one Escape clicks
// (NO_BUTTON leaves the choice to Qt), and the result of a box closed
// without a button.
struct ButtonStyle {
    int style;
    std::array<Choice, 3> buttons;
    std::size_t count;
    int escape;
    int closed;
};

// The first row is also that of a style the system does not know.
constexpr std::array<ButtonStyle, 6> BUTTON_STYLES{{
    {vbOKOnly, {OK}, 1, vbOK, vbOK},
    {vbOKCancel, {OK, CANCEL}, 2, vbCancel, vbCancel},
    {vbAbortRetryIgnore, {ABORT, RETRY, IGNORE}, 3, NO_BUTTON, vbIgnore},
    {vbYesNoCancel, {YES, NO, CANCEL}, 3, vbCancel, vbCancel},
    {vbYesNo, {YES, NO}, 2, NO_BUTTON, vbNo},
    {vbRetryCancel, {RETRY, CANCEL}, 2, vbCancel, vbCancel},
}};

struct IconStyle {
    int style;
    QMessageBox::Icon icon;
};

constexpr std::array<IconStyle, 4> ICON_STYLES{{
    {vbCritical, QMessageBox::Critical},
    {vbQuestion, QMessageBox::Question},
    {vbExclamation, QMessageBox::Warning},
    {vbInformation, QMessageBox::Information},
}};

constexpr int BUTTON_BITS = 0x7;
constexpr int ICON_BITS = 0x70;
constexpr int DEFAULT_BUTTON_SHIFT = 8;
constexpr int DEFAULT_BUTTON_BITS = 0x3;

const ButtonStyle& ButtonStyleOf(int flags) {
    for (const ButtonStyle& style : BUTTON_STYLES) {
        if (style.style == (flags & BUTTON_BITS)) {
            return style;
        }
    }
    return BUTTON_STYLES.front();
}

// The system's colours are 0x00BBGGRR.
QColor SystemColour(std::int32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
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

void ApplyWindowSettings(QWidget& window, const WindowSettings& settings) {
    window.setWindowTitle(settings.title);
    if (settings.backColour != 0) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, SystemColour(settings.backColour));
        window.setPalette(palette);
        window.setAutoFillBackground(true);
    }
    if (settings.programIcon) {
        window.setWindowIcon(ProgramIcon());
    }
}

int QtUi::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    QMessageBox box(Parent());
    ApplyWindowSettings(box, {Title(title), true, 0});
    box.setText(Prompt(prompt));
    for (const IconStyle& icon : ICON_STYLES) {
        if (icon.style == (flags & ICON_BITS)) {
            box.setIcon(icon.icon);
        }
    }
    const ButtonStyle& style = ButtonStyleOf(flags);
    std::map<QAbstractButton*, int> results;
    std::vector<QPushButton*> buttons;
    for (std::size_t i = 0; i < style.count; ++i) {
        const Choice& choice = style.buttons.at(i);
        QPushButton* button = box.addButton(Tr(choice.text, French()), choice.role);
        button->setObjectName(QString::number(choice.result));
        results[button] = choice.result;
        buttons.push_back(button);
        if (choice.result == style.escape) {
            box.setEscapeButton(button);
        }
    }
    auto defaultIndex =
        static_cast<std::size_t>((flags >> DEFAULT_BUTTON_SHIFT) & DEFAULT_BUTTON_BITS);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    box.exec();
    auto found = results.find(box.clickedButton());
    return found != results.end() ? found->second : style.closed;
}

std::string QtUi::InputBox(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) {
    QInputDialog dialog(Parent());
    ApplyWindowSettings(dialog, {Title(title), false, 0});
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
    QtWords words(French());
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

QtUi::QtUi() {
    statusTimer_.setSingleShot(true);
    statusTimer_.setInterval(0);
    QObject::connect(&statusTimer_, &QTimer::timeout, [this] {
        if (auto* window = qobject_cast<QMainWindow*>(QApplication::activeWindow())) {
            constexpr int SHOWN_MS = 15000;
            window->statusBar()->showMessage(pendingStatus_, SHOWN_MS);
        }
    });
}

void QtUi::ShowStatus(const std::string& text) {
    pendingStatus_ = QString::fromStdString(text);
    statusTimer_.start();
}

QString QtUi::QtFilter(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "Database files (*.mdb)" already shows its patterns as Qt reads them.
        const QString shown = QString("(%1)").arg(patterns);
        filters << (parts[i].endsWith(shown) ? parts[i] : QString("%1 %2").arg(parts[i], shown));
    }
    return filters.join(QLatin1String(";;"));
}

std::string QtUi::ShowOpen(const std::string& filter, const std::string& defaultExtension,
                           const std::string& initialFolder, int flags) {
    QtWords words(French());
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
    QString server;
    if ((flags & host::OFN_PROJECT_DATABASE) != 0) {
        AddServerRow(dialog, server, French());
    }
    const int result = dialog.exec();
    if (!server.isEmpty()) {
        return server.toStdString();
    }
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
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
        // Modal to its document's window only: a window the form opens (the
        // links tree's export) takes input at once, while no toolbar click
        // is taken until the form's command ends.
        dialog->setWindowModality(Qt::WindowModal);
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
