// Property definitions of a project: their types, the widths of what is
// stored, the limit of live definitions, and the readings shared by the
// definition windows and the element editor.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/db_properties.h"
#include "database/document_context.h"
#include "host/db/database.h"

namespace veln::Properties {

// Type codes as stored in P_Type.
inline constexpr const char* TYPE_TEXT = "TEXT";
inline constexpr const char* TYPE_COMBO = "COMB";
inline constexpr const char* TYPE_CHECK = "CHCK";

// One definition per slot of the element editor.
inline constexpr int MAX_PROPERTIES = 20;
// Widths of the stored texts, in characters.
inline constexpr std::size_t LABEL_LENGTH = 50;
inline constexpr std::size_t COMBO_VALUES_LENGTH = 64;
inline constexpr std::size_t DEFAULT_LENGTH = 16;
inline constexpr std::size_t VALUE_LENGTH = 64;

// Each allowed value of a choice list ends with this.
inline constexpr char VALUE_SEPARATOR = ';';

using PropertyDefinition = dbProperties::PropertyRow;

// The live definitions (not marked deleted), in the order they were added.
std::vector<PropertyDefinition> LiveProperties(const db::Database& database);
// The number of live definitions of the active document's project.
long CountProperties(DocumentContext& context);

// A check box's stored state: "1" or "0" from the add window, "True" or
// "False" (in either language, any case) from the modify window and the
// editor, any number (non-zero is ticked). Anything else reads as cleared.
bool CheckValue(const std::optional<std::string>& text);
// How the modify window and the editor store a check box's state.
std::string CheckText(bool value);

// The values offered for a choice list: every value before a ";", empty ones left out.
std::vector<std::string> ComboEntries(const std::string& comboValues);
// The default is accepted when it occurs anywhere in the values text (an
// empty default always does).
bool DefaultInRange(const std::string& comboValues, const std::string& defaultValue);

// The values text as stored: ending with ";" and never longer than the
// column. cut tells whether typed characters had to go for that.
struct StoredComboValues {
    std::string text;
    bool cut = false;
};
StoredComboValues ComboValuesToStore(const std::string& typed);

// The message line's text when values were cut to fit, in the interface language.
std::string ValuesCutText(const CoreContext& context);

// The checks of the add and modify windows, in their order: the message of the
// first one the typed definition fails, or nothing when it passes. Combo
// values too long for their column are cut in comboValues, for the user to
// see as they would be stored, and that is refused once.
std::optional<std::string> DefinitionRefusal(const CoreContext& context, const std::string& label,
                                             std::string& comboValues,
                                             const std::string& defaultValue, bool combo);

}  // namespace veln::Properties
