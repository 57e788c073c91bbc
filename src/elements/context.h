// The whole program-wide state: the documents' context and the elements
// loaded in this run.
#pragma once

#include "database/document_context.h"
#include "elements/loaded_elements.h"

namespace veln {

struct Context : DocumentContext {
    using DocumentContext::DocumentContext;

    LoadedElements loadedElements;
};

}  // namespace veln
