// The string table compiled in from string_table.tsv: every caption and message
// that varies with the language, English ids 102 to 258 and their French twins
// at id + 400. Texts come back exactly as written.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace veln::StringTable {

struct Entry {
    int id;
    std::string_view text;
};

// Every entry, in order of id.
std::span<const Entry> Entries();
// The text of an id, std::nullopt when the table has no such entry.
std::optional<std::string_view> Find(int id);

}  // namespace veln::StringTable
