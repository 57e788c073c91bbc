#include "settings/language.h"

#include <cctype>

#include "settings/string_table.h"
#include "settings/util_ini_file.h"

namespace veln {

namespace {
constexpr std::size_t NAME_BUFFER = 255;
}  // namespace

std::string Language::LoadText(int id) const {
    auto text = StringTable::Find(offset + id);
    return text ? std::string(*text) : std::string();
}

void Language::GetSystemLanguage(const host::System& system, int& id, std::string& name) {
    host::SystemLanguage language = system.DefaultLanguage();
    id = language.id & 0xFFF;
    name = language.name.substr(0, language.name.find('\0'));
    if (name.size() > NAME_BUFFER - 1) {
        name.resize(NAME_BUFFER - 1);
    }
}

std::int16_t Language::SystemLanguageOffset(const host::System& system) {
    int id = 0;
    std::string name;
    GetSystemLanguage(system, id, name);
    if (name.size() < 2) {
        return ENGLISH_OFFSET;
    }
    auto upper = [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    };
    return upper(name[0]) == 'F' && upper(name[1]) == 'R' ? FRENCH_OFFSET : ENGLISH_OFFSET;
}

std::int16_t Language::ChooseOffset(const host::System& system) {
    if (UtilIniFile::IniFileExists(system)) {
        std::string value = UtilIniFile::ReadIniValue(system, UtilIniFile::SECTION_LOCALE,
                                                      UtilIniFile::KEY_LANGUAGE);
        if (value == "FR") {
            return FRENCH_OFFSET;
        }
        if (value == "EN") {
            return ENGLISH_OFFSET;
        }
    }
    return SystemLanguageOffset(system);
}

}  // namespace veln
