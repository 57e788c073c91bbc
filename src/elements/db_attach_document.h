// The check made when a document is opened: does its project database still
// exist, and does the project still know it under its name? When the link
// holds, its elements are loaded and shown as the document asks.
#pragma once

#include "elements/context.h"

namespace veln::dbElements {

// True when the active document is to be treated as linked.
bool dbAttachDocument(Context& context);

}  // namespace veln::dbElements
