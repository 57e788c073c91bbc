#include "toolbar_states.h"

#include <cstdlib>

#include "addin/this_application.h"
#include "database/doc_variables.h"

namespace veln::desktop {

namespace {

std::string VariableOf(const host::Document& document, const char* name) {
    return document.VariableValue(name).value_or(std::string());
}

}  // namespace

std::optional<bool> CheckMarkOf(const std::string& member, host::Document& document) {
    auto linked = [&] { return !VariableOf(document, VARDOC_DOC_ID).empty(); };
    if (member == "oShowNumber") {
        // Numbers are shown unless the document says they are hidden.
        return linked() && VariableOf(document, VARDOC_NUMBERS) != "0";
    }
    if (member == "oShowElementsBrackets") {
        return document.ShowBookmarks;
    }
    if (std::int16_t colour = addin::ThisApplication::HighlightColourOf(member); colour >= 0) {
        // Written with a leading blank (" 5").
        const std::string written = VariableOf(document, HIGHLIGHT_COLOR);
        return linked() && !written.empty() && std::strtol(written.c_str(), nullptr, 10) == colour;
    }
    return std::nullopt;
}

}  // namespace veln::desktop
