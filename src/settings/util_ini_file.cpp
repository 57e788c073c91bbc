#include "settings/util_ini_file.h"

#include "host/system/profile.h"

namespace veln::UtilIniFile {

namespace {
constexpr const char* DEFAULT_VALUE = "AUTO";
constexpr std::size_t BUFFER_SIZE = 255;
}  // namespace

bool IniFileExists(const host::System& system) {
    return system.FileExists(system.SettingsFilePath());
}

std::string ReadIniValue(const host::System& system, std::string_view section,
                         std::string_view key) {
    return host::ReadProfileString(system.SettingsFilePath(), section, key, DEFAULT_VALUE,
                                   BUFFER_SIZE);
}

bool WriteIniValue(const host::System& system, std::string_view section, std::string_view key,
                   std::string_view value) {
    return host::WriteProfileString(system.SettingsFilePath(), section, key, value);
}

}  // namespace veln::UtilIniFile
