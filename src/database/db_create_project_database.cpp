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

    std::string folder = ui.BrowseFolder(context.LoadText(StringId::SELECT_DATABASE_FOLDER));
    // A cancelled folder browser ends the command: nothing is created.
    if (folder.empty()) {
        return;
    }
    std::string name = ui.InputBox(context.LoadText(StringId::ENTER_DATABASE_NAME),
                                   context.LoadText(StringId::CREATE_DATABASE_TITLE),
                                   context.LoadText(StringId::PROJECT_NAME));
    if (name.empty()) {
        return;
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    const std::string fileName = name + DATABASE_EXTENSION;
    const std::string path = folder + fileName;
    const std::string title = context.LoadText(StringId::DATABASE_CREATION_TITLE);

    if (ui.MsgBox(title + " : " + path + " ?", vbYesNo + vbQuestion, title) != vbYes) {
        return;
    }
    // A name no file can have fails like the engine would, but before the
    // overwrite question: an existing database is never deleted for it.
    const bool validName = IsValidFileName(fileName);
    if (validName && system.FileExists(path)) {
        if (ui.MsgBox(context.LoadText(StringId::THE_DATABASE_COLON) + path +
                          context.LoadText(StringId::ALREADY_EXISTS_OVERWRITE),
                      vbYesNo + vbExclamation + vbDefaultButton2, title) != vbYes) {
            return;
        }
        system.DeleteFile(path);
    }
    const std::string ready = context.LoadText(StringId::THE_DATABASE) + path +
                              context.LoadText(StringId::DATABASE_READY);

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
        ui.MsgBox(context.LoadText(StringId::CANNOT_CREATE_DATABASE), vbCritical,
                  context.LoadText(StringId::FATAL_ERROR_TITLE));
    }
}

}  // namespace veln::dbElements
