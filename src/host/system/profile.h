// Private-profile files: "[Section]" lines and "key=value" lines, section and
// key names matched without regard to case, as the platform's profile
// functions treat them.
#pragma once

#include <string>
#include <string_view>

namespace veln::host {

// The value of section/key, at most bufferSize - 1 characters; defaultValue
// when the file cannot be read or holds no such key. A key with an empty
// value reads as "".
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t bufferSize);

// Writes section/key = value, creating the file, its folder and the section as
// needed. The file is replaced whole: a failed write returns false and leaves
// the previous file as it was.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace veln::host
