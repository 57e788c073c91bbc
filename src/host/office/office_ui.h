// The dialogs of the system inside LibreOffice Writer: message boxes, file
// and folder pickers are the office's own, parented on the active window;
// forms and input boxes are dialogs of the office's toolkit, laid out by the
// forms' designs; a workbook written is opened in the office. Nothing of UNO
// shows through this header.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/ui/ui.h"

namespace veln::host {
class Document;
}

namespace veln::host::office {

class OfficeApplication;
class OfficeFormDialog;
class FormDesign;

class OfficeUi : public Ui {
  public:
    using Runner = std::function<void(const std::function<void()>&)>;
    // The forms' designs are in programFolder/forms, the program's icon in
    // programFolder/icons.
    OfficeUi(OfficeApplication& application, std::string programFolder);
    ~OfficeUi() override;
    OfficeUi(const OfficeUi&) = delete;
    OfficeUi& operator=(const OfficeUi&) = delete;

    // What runs a form's handlers (the program's error boundary), asked
    // for as a form is shown; without one they run as they are.
    void SetFormRunner(std::function<Runner()> runnerFor) { runnerFor_ = std::move(runnerFor); }
    // The icon's name (programFolder/icons/NAME.svg) of a picture a form's
    // button or image shows, "" for none; without it forms show none.
    void SetPictures(std::function<std::string(int picture)> iconName) {
        iconName_ = std::move(iconName);
    }

    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string BrowseFolder(const std::string& title) override;
    std::string ShowOpen(const std::string& filter, const std::string& defaultExtension,
                         const std::string& initialFolder, int flags) override;
    void Show(const std::shared_ptr<Form>& form, bool modal) override;
    void ShowWorkbook(const std::string& path) override;
    void ShowStatus(const std::string& text) override;

    // The dialog of a form shown now, by the form's name; nullptr when none.
    // Safe from another thread than the one that shows it (tests act on it).
    OfficeFormDialog* Shown(const std::string& formName);
    // Closes the forms shown beside the documents, as their close boxes do.
    void CloseModeless();
    // Closes, as their close boxes do, the forms shown beside the documents
    // that were opened on this one: they work on it, and go before it does.
    void CloseModelessOf(const Document& document);
    // Returns once the office has drawn what was shown (its events done).
    void Settle();

  private:
    const FormDesign& DesignOf(const Form& form);
    void Showing(OfficeFormDialog* dialog, bool shown);

    OfficeApplication& application_;
    std::string programFolder_;
    std::function<Runner()> runnerFor_;
    std::function<std::string(int picture)> iconName_;
    std::map<std::string, std::unique_ptr<FormDesign>> designs_;
    struct Modeless {
        const Document* openedOn;
        std::unique_ptr<OfficeFormDialog> dialog;
    };
    std::vector<Modeless> modeless_;
    std::mutex shownMutex_;
    std::vector<OfficeFormDialog*> shown_;
};

}  // namespace veln::host::office
