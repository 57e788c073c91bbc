// Creating a new, empty project database: folder, name, confirmation, overwrite
// question, then the tables; when the engine fails, a copy of the template.
#include <string>

#include "database/db_elements.h"
#include "database/schema.h"
#include "host/ui/ui.h"

namespace veln::dbElements {

namespace {

using namespace host::MsgBoxStyle;
using host::MsgBoxResult::vbYes;

constexpr std::size_t MAX_FILE_NAME_BYTES = 255;

// A name that the file system can hold as one file name in the chosen folder.
bool IsValidFileName(const std::string& fileName) {
    return fileName.size() <= MAX_FILE_NAME_BYTES &&
           fileName.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

}  // namespace

void dbCreateProjectDatabase(CoreContext& context) {
    host::Ui& ui = context.ui;
    host::System& system = context.system;

    std::string folder = ui.BrowseFolder(context.LoadText(201));
    // A cancelled folder browser ends the command: nothing is created.
    if (folder.empty()) {
        return;
    }
    std::string name =
        ui.InputBox(context.LoadText(202), context.LoadText(203), context.LoadText(204));
    if (name.empty()) {
        return;
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    const std::string fileName = name + DATABASE_EXTENSION;
    const std::string path = folder + fileName;
    const std::string title = context.LoadText(205);

    if (ui.MsgBox(title + " : " + path + " ?", vbYesNo + vbQuestion, title) != vbYes) {
        return;
    }
    if (system.FileExists(path)) {
        if (ui.MsgBox(context.LoadText(208) + path + context.LoadText(209),
                      vbYesNo + vbExclamation + vbDefaultButton2, title) != vbYes) {
            return;
        }
        system.DeleteFile(path);
    }
    const std::string ready = context.LoadText(206) + path + context.LoadText(207);

    const bool validName = IsValidFileName(fileName);
    if (validName) {
        try {
            schema::CreateProjectDatabaseFile(path);
            ui.MsgBox(ready, vbInformation, title);
            return;
        } catch (const db::DbError&) {
            // The engine failed; the template may still serve.
        }
    }

    const std::string templatePath = system.ProgramFolder() + "/" + TEMPLATE_DATABASE;
    if (!system.FileExists(templatePath)) {
        return;
    }
    if (validName && system.CopyFile(templatePath, path) && system.FileExists(path)) {
        ui.MsgBox(ready, vbInformation, title);
    } else {
        ui.MsgBox(context.LoadText(225), vbCritical, context.LoadText(224));
    }
}

}  // namespace veln::dbElements
