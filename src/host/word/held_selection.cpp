#include "host/word/held_selection.h"

#include <algorithm>

namespace veln::host {

void HeldSelection::Set(long start, long end, long storyEnd) {
    long last = std::max(0L, storyEnd - 1);
    start_ = std::clamp(std::min(start, end), 0L, last);
    end_ = std::clamp(std::max(start, end), start_, storyEnd);
}

void HeldSelection::Shift(long position, long delta) {
    // Positions after the edit move with their text; a deletion pulls those
    // inside it back to its start.
    for (long* at : {&start_, &end_}) {
        if (*at > position) {
            *at = delta < 0 ? std::max(position, *at + delta) : *at + delta;
        }
    }
}

}  // namespace veln::host
