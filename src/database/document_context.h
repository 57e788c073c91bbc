// The context of operations that work on documents: the core services and
// the word processor with its open documents.
#pragma once

#include <cstdint>

#include "host/word/application.h"
#include "settings/core_context.h"

namespace veln {

struct DocumentContext : CoreContext {
    DocumentContext(host::Ui& ui, host::System& system, host::Application& app)
        : CoreContext(ui, system), app(app) {}

    host::Application& app;
    // The current highlight colour of elements (a highlight colour index).
    std::int16_t elementColour = 5;
    // Set when frmListDocs made the active document take over a registered
    // document's row; the replace command reads it once the window closes.
    bool replaced = false;
};

}  // namespace veln
