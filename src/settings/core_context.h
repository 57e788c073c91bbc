// The program-wide state and services every operation reaches: the dialogs,
// the platform and the interface language. Later layers add their own state to
// it (documents, loaded elements) by deriving from it. Nothing here is global:
// two contexts in one process never see each other.
#pragma once

#include "host/system/system.h"
#include "host/ui/ui.h"
#include "settings/language.h"
#include "settings/string_ids.h"

namespace veln {

struct CoreContext {
    CoreContext(host::Ui& ui, host::System& system)
        : ui(ui), system(system), language{Language::ChooseOffset(system)} {}

    // The text of an English id (StringId::...) in the interface language.
    std::string LoadText(int id) const { return language.LoadText(id); }

    host::Ui& ui;
    host::System& system;
    Language language;
    // Run by a program of its own (the desktop program), not inside the
    // word processor: its toolbar is built at start, and a restart is of
    // that program.
    bool ownProgram = false;
};

}  // namespace veln
