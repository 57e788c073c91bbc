// The check marks of the toolbar's entries for a document: Display numbers
// while its element numbers are shown, Show delimiters while its bookmarks
// are, and in the highlight menu the colour its elements take.
#pragma once

#include <optional>
#include <string>

#include "host/word/document.h"

namespace veln::desktop {

// Whether the entry of our member of that name ("oShowNumber") is checked
// for document; nothing for an entry that carries no check mark.
std::optional<bool> CheckMarkOf(const std::string& member, host::Document& document);

}  // namespace veln::desktop
