#include "settings/string_table.h"

#include <algorithm>

namespace veln::StringTable {

std::optional<std::string_view> Find(int id) {
    auto entries = Entries();
    auto found = std::lower_bound(entries.begin(), entries.end(), id,
                                  [](const Entry& entry, int key) { return entry.id < key; });
    if (found == entries.end() || found->id != id) {
        return std::nullopt;
    }
    return found->text;
}

}  // namespace veln::StringTable
