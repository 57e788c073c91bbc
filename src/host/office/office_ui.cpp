#include "host/office/office_ui.h"

#include <com/sun/star/awt/MessageBoxButtons.hpp>
#include <com/sun/star/awt/MessageBoxResults.hpp>
#include <com/sun/star/awt/MessageBoxType.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XMessageBox.hpp>
#include <com/sun/star/awt/XMessageBoxFactory.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/ui/dialogs/ExecutableDialogResults.hpp>
#include <com/sun/star/ui/dialogs/FilePicker.hpp>
#include <com/sun/star/ui/dialogs/FolderPicker.hpp>
#include <com/sun/star/ui/dialogs/TemplateDescription.hpp>
#include <com/sun/star/ui/dialogs/XFilePicker3.hpp>
#include <com/sun/star/ui/dialogs/XFolderPicker2.hpp>

#include "host/office/office_application.h"
#include "host/office/office_connection.h"
#include "host/office/office_form_dialog.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

namespace Buttons = css::awt::MessageBoxButtons;
namespace Results = css::awt::MessageBoxResults;

// The office's buttons and default for the system's flags.
sal_Int32 ButtonsOf(int flags) {
    static constexpr std::array<sal_Int32, 6> SETS{Buttons::BUTTONS_OK,
                                                   Buttons::BUTTONS_OK_CANCEL,
                                                   Buttons::BUTTONS_ABORT_IGNORE_RETRY,
                                                   Buttons::BUTTONS_YES_NO_CANCEL,
                                                   Buttons::BUTTONS_YES_NO,
                                                   Buttons::BUTTONS_RETRY_CANCEL};
    // The default buttons of each set: first, second, third.
    static constexpr std::array<std::array<sal_Int32, 3>, 6> DEFAULTS{{
        {Buttons::DEFAULT_BUTTON_OK, Buttons::DEFAULT_BUTTON_OK, Buttons::DEFAULT_BUTTON_OK},
        {Buttons::DEFAULT_BUTTON_OK, Buttons::DEFAULT_BUTTON_CANCEL,
         Buttons::DEFAULT_BUTTON_CANCEL},
        {Buttons::DEFAULT_BUTTON_CANCEL, Buttons::DEFAULT_BUTTON_RETRY,
         Buttons::DEFAULT_BUTTON_IGNORE},
        {Buttons::DEFAULT_BUTTON_YES, Buttons::DEFAULT_BUTTON_NO, Buttons::DEFAULT_BUTTON_CANCEL},
        {Buttons::DEFAULT_BUTTON_YES, Buttons::DEFAULT_BUTTON_NO, Buttons::DEFAULT_BUTTON_NO},
        {Buttons::DEFAULT_BUTTON_RETRY, Buttons::DEFAULT_BUTTON_CANCEL,
         Buttons::DEFAULT_BUTTON_CANCEL},
    }};
    const auto set = static_cast<std::size_t>(std::clamp(flags & 7, 0, 5));
    const std::size_t which = (flags & MsgBoxStyle::vbDefaultButton3) != 0   ? 2
                              : (flags & MsgBoxStyle::vbDefaultButton2) != 0 ? 1
                                                                             : 0;
    return SETS.at(set) | DEFAULTS.at(set).at(which);
}

css::awt::MessageBoxType TypeOf(int flags) {
    switch (flags & 0x70) {
        case MsgBoxStyle::vbCritical:
            return css::awt::MessageBoxType_ERRORBOX;
        case MsgBoxStyle::vbQuestion:
            return css::awt::MessageBoxType_QUERYBOX;
        case MsgBoxStyle::vbExclamation:
            return css::awt::MessageBoxType_WARNINGBOX;
        case MsgBoxStyle::vbInformation:
            return css::awt::MessageBoxType_INFOBOX;
        default:
            return css::awt::MessageBoxType_MESSAGEBOX;
    }
}

// The system's result for the office's; a box closed without a button
// answers as its cancelling button does.
int ResultOf(sal_Int16 result, int flags) {
    switch (result) {
        case Results::OK:
            return MsgBoxResult::vbOK;
        case Results::YES:
            return MsgBoxResult::vbYes;
        case Results::NO:
            return MsgBoxResult::vbNo;
        case Results::RETRY:
            return MsgBoxResult::vbRetry;
        case Results::IGNORE:
            return MsgBoxResult::vbIgnore;
        default:
            break;
    }
    switch (flags & 7) {
        case MsgBoxStyle::vbOKOnly:
            return MsgBoxResult::vbOK;
        case MsgBoxStyle::vbAbortRetryIgnore:
            return MsgBoxResult::vbAbort;
        case MsgBoxStyle::vbYesNo:
            return MsgBoxResult::vbNo;
        default:
            return MsgBoxResult::vbCancel;
    }
}

}  // namespace

OfficeUi::OfficeUi(OfficeApplication& application, std::string programFolder)
    : application_(application), programFolder_(std::move(programFolder)) {
    // A form beside a document works on it: it closes first, as by its
    // close box (what it holds is stored), not with the window it stood on.
    application_.BeforeClosing = [this](Document& document) { CloseModelessOf(document); };
}

OfficeUi::~OfficeUi() {
    application_.BeforeClosing = nullptr;
}

int OfficeUi::MsgBox(const std::string& prompt, int flags, const std::string& title) {
    OfficeConnection& connection = application_.Connection();
    return connection.Run(
        "showing a message",
        [&] {
            Reference<css::awt::XMessageBoxFactory> factory(
                css::awt::Toolkit::create(connection.Context()), UNO_QUERY_THROW);
            // The system ends its lines with a carriage return.
            std::string text = prompt;
            std::replace(text.begin(), text.end(), '\r', '\n');
            Reference<css::awt::XMessageBox> box = factory->createMessageBox(
                ActiveWindow(connection), TypeOf(flags), ButtonsOf(flags),
                ToOUString(title.empty() ? DEFAULT_TITLE : title), ToOUString(text));
            return ResultOf(box->execute(), flags);
        },
        WordError::COMMAND_FAILED);
}

std::string OfficeUi::BrowseFolder(const std::string& title) {
    OfficeConnection& connection = application_.Connection();
    return connection.Run(
        "choosing a folder",
        [&] {
            Reference<css::ui::dialogs::XFolderPicker2> picker =
                css::ui::dialogs::FolderPicker::create(connection.Context());
            picker->setTitle(ToOUString(title));
            if (picker->execute() != css::ui::dialogs::ExecutableDialogResults::OK) {
                return std::string();
            }
            return PathOfUrl(picker->getDirectory());
        },
        WordError::COMMAND_FAILED);
}

std::string OfficeUi::ShowOpen(const std::string& filter, const std::string& /*defaultExtension*/,
                               const std::string& initialFolder, int /*flags*/) {
    OfficeConnection& connection = application_.Connection();
    return connection.Run(
        "choosing a file",
        [&] {
            // The office's picker opens only files that exist.
            Reference<css::ui::dialogs::XFilePicker3> picker =
                css::ui::dialogs::FilePicker::createWithMode(
                    connection.Context(), css::ui::dialogs::TemplateDescription::FILEOPEN_SIMPLE);
            for (std::size_t from = 0; from < filter.size();) {
                std::size_t bar = filter.find('|', from);
                std::size_t end =
                    bar == std::string::npos ? filter.size() : filter.find('|', bar + 1);
                end = end == std::string::npos ? filter.size() : end;
                if (bar != std::string::npos) {
                    picker->appendFilter(ToOUString(filter.substr(from, bar - from)),
                                         ToOUString(filter.substr(bar + 1, end - bar - 1)));
                }
                from = end + 1;
            }
            if (!initialFolder.empty()) {
                picker->setDisplayDirectory(FileUrl(initialFolder));
            }
            if (picker->execute() != css::ui::dialogs::ExecutableDialogResults::OK) {
                return std::string();
            }
            css::uno::Sequence<rtl::OUString> files = picker->getSelectedFiles();
            return files.getLength() == 0 ? std::string() : PathOfUrl(files[0]);
        },
        WordError::COMMAND_FAILED);
}

void OfficeUi::ShowWorkbook(const std::string& path) {
    OfficeConnection& connection = application_.Connection();
    connection.Run(
        "opening the workbook " + path,
        [&] {
            Reference<css::frame::XComponentLoader> loader(connection.Desktop(), UNO_QUERY_THROW);
            loader->loadComponentFromURL(FileUrl(path), ToOUString("_blank"), 0, {});
        },
        WordError::COMMAND_FAILED);
}

void OfficeUi::ShowStatus(const std::string& /*text*/) {
    // Writer's status bar belongs to Writer; passing notes are not shown there.
}

}  // namespace veln::host::office
