// The interface language: an offset added to every English string-table id,
// 0 for English and 400 for French, chosen at start-up from the settings file
// or else from the system language.
#pragma once

#include <cstdint>
#include <string>

#include "host/system/system.h"

namespace veln {

inline constexpr std::int16_t ENGLISH_OFFSET = 0;
inline constexpr std::int16_t FRENCH_OFFSET = 400;

class Language {
  public:
    // The text of English id `id` in the current language; "" for an id the
    // table does not hold.
    std::string LoadText(int id) const;

    // The offset at start-up: "FR" or "EN" in the settings file decide; any
    // other value, or no file, leaves it to the system language.
    static std::int16_t ChooseOffset(const host::System& system);
    // French when the system language's name begins with "fr" in any case.
    static std::int16_t SystemLanguageOffset(const host::System& system);
    // The system language: its id reduced to three hexadecimal digits and its name.
    static void GetSystemLanguage(const host::System& system, int& id, std::string& name);

    std::int16_t offset = ENGLISH_OFFSET;
};

}  // namespace veln
