#include "properties/property_definitions.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/utf8.h"
#include "settings/language.h"

namespace veln::Properties {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<PropertyDefinition> LiveProperties(const db::Database& database) {
    return dbProperties::LiveProperties(database);
}

long CountProperties(DocumentContext& context) {
    db::Database database =
        schema::OpenProjectDatabase(utilElements::GetDbName(context), db::OpenMode::ReadOnly);
    return dbProperties::CountLive(database);
}

bool CheckValue(const std::optional<std::string>& text) {
    if (!text) {
        return false;
    }
    std::string word = Lower(Trimmed(*text));
    if (word == "true" || word == "vrai") {
        return true;
    }
    double number = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    return error == std::errc() && end == word.data() + word.size() && number != 0;
}

std::string CheckText(bool value) {
    return value ? "True" : "False";
}

std::vector<std::string> ComboEntries(const std::string& comboValues) {
    std::vector<std::string> entries;
    std::size_t at = 0;
    while (at < comboValues.size()) {
        std::size_t end = comboValues.find(VALUE_SEPARATOR, at);
        if (end == std::string::npos) {
            end = comboValues.size();
        }
        if (end > at) {
            entries.push_back(comboValues.substr(at, end - at));
        }
        at = end + 1;
    }
    return entries;
}

bool DefaultInRange(const std::string& comboValues, const std::string& defaultValue) {
    return comboValues.find(defaultValue) != std::string::npos;
}

StoredComboValues ComboValuesToStore(const std::string& typed) {
    StoredComboValues stored{host::FirstCharacters(typed, COMBO_VALUES_LENGTH), false};
    stored.cut = stored.text.size() < typed.size();
    if (stored.text.empty() || stored.text.back() != VALUE_SEPARATOR) {
        // The final ";" must fit too: the last character gives way to it.
        if (host::CountCharacters(stored.text) >= static_cast<long>(COMBO_VALUES_LENGTH)) {
            stored.text = host::FirstCharacters(stored.text, COMBO_VALUES_LENGTH - 1);
            stored.cut = true;
        }
        if (stored.text.empty() || stored.text.back() != VALUE_SEPARATOR) {
            stored.text += VALUE_SEPARATOR;
        }
    }
    return stored;
}

std::string ValuesCutText(const CoreContext& context) {
    return context.language.offset == FRENCH_OFFSET
               ? "Les valeurs ont été coupées à 64 caractères : vérifiez-les, puis cliquez de "
                 "nouveau sur OK."
               : "The values were cut to 64 characters: check them, then click OK again.";
}

std::optional<std::string> DefinitionRefusal(const CoreContext& context, const std::string& label,
                                             std::string& comboValues,
                                             const std::string& defaultValue, bool combo) {
    if (label.empty()) {
        return context.LoadText(StringId::NO_PROPERTY_LABEL);
    }
    if (!combo) {
        return std::nullopt;
    }
    if (comboValues.empty()) {
        return context.LoadText(StringId::NO_COMBO_VALUES);
    }
    if (!DefaultInRange(comboValues, defaultValue)) {
        return context.LoadText(StringId::DEFAULT_NOT_IN_VALUES);
    }
    StoredComboValues values = ComboValuesToStore(comboValues);
    if (values.cut) {
        comboValues = values.text;
        return ValuesCutText(context);
    }
    return std::nullopt;
}

}  // namespace veln::Properties
