// The settings file "VELN.ini": it holds the interface language and nothing else.
#pragma once

#include <string>
#include <string_view>

#include "host/system/system.h"

namespace veln::UtilIniFile {

inline constexpr const char* SECTION_LOCALE = "Locale";
inline constexpr const char* KEY_LANGUAGE = "language";

bool IniFileExists(const host::System& system);
// The value, "AUTO" when the file or key is missing, "" for a key with no value.
std::string ReadIniValue(const host::System& system, std::string_view section,
                         std::string_view key);
// A failed write leaves the previous file whole; the caller shows nothing.
bool WriteIniValue(const host::System& system, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace veln::UtilIniFile
