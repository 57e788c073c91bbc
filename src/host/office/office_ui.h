// The dialogs of the system inside LibreOffice Writer: message boxes, file
// and folder pickers are the office's own, parented on the active window;
// a workbook written is opened in the office. Nothing of UNO shows through
// this header.
#pragma once

#include "host/ui/ui.h"

namespace veln::host::office {

class OfficeApplication;

class OfficeUi : public Ui {
  public:
    explicit OfficeUi(OfficeApplication& application) : application_(application) {}

    int MsgBox(const std::string& prompt, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::string BrowseFolder(const std::string& title) override;
    std::string ShowOpen(const std::string& filter, const std::string& defaultExtension,
                         const std::string& initialFolder, int flags) override;
    void Show(const std::shared_ptr<Form>& form, bool modal) override;
    void ShowWorkbook(const std::string& path) override;
    void ShowStatus(const std::string& text) override;

  private:
    // Forms have no view in Writer yet: the user is told so.
    void NotInWriterYet();

    OfficeApplication& application_;
};

}  // namespace veln::host::office
