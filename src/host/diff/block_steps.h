// What a comparison of two versions does, block by block or row by row:
// the items of both are matched by their hashes, and in each stretch that
// differs the items that are edits of one another are paired in order (the
// most pairs), the rest taken out of ours or put in from theirs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace veln::host::diff {

// What a comparison does with the items (blocks, rows) of two sequences that
// differ: alike tells items edited in place; the others are taken out of ours
// or put in from theirs, before our item at ourAt (the size: at the end).
struct Steps {
    std::function<bool(std::size_t, std::size_t)> alike;
    // Whether the last items of a stretch that ends before our item at ourEnd
    // must be paired whatever they hold.
    std::function<bool(std::size_t ourEnd, std::size_t ourLast, std::size_t theirLast)> closing;
    std::function<void(std::size_t, std::size_t)> pair;
    std::function<void(std::size_t)> remove;
    std::function<void(std::size_t ourAt, std::size_t theirFirst, std::size_t count)> insert;
};

// Walks the differences of ours and theirs (item hashes) in order.
void Step(const std::vector<std::uint64_t>& ours, const std::vector<std::uint64_t>& theirs,
          const Steps& steps);

}  // namespace veln::host::diff
