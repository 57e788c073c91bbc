// The shortest edit script between two sequences of hashed items (Myers'
// O(ND) difference, split at the middle so that memory stays linear). Two
// versions of a document that differ little cost near-linear time; past
// MAX_COST differences in one stretch, that stretch counts as replaced whole
// rather than let the cost grow with the square of the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace veln::host::diff {

enum class EditKind : std::uint8_t { Equal, Delete, Insert };

// length items from a at aStart (Equal, Delete) or from b at bStart (Insert).
struct Edit {
    EditKind kind;
    std::size_t aStart;
    std::size_t bStart;
    std::size_t length;
};

inline constexpr std::size_t MAX_COST = 4096;

// Runs in order; deletions come before the insertions of the same place.
std::vector<Edit> Diff(std::span<const std::uint64_t> a, std::span<const std::uint64_t> b);

// FNV-1a over text: the items a diff compares.
std::uint64_t HashText(std::string_view text);

}  // namespace veln::host::diff
