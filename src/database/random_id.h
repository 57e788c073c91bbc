// Ids of documents and elements: characters drawn from 0-9 and A-Z.
#pragma once

#include <cstdint>
#include <string>

namespace veln::dbElements {

// length characters from 0-9 and A-Z, each equally likely; "" for 0 or less.
// One generator serves the whole program, seeded once from the system's
// entropy source: two calls in one clock tick, or two users at the same
// second, do not draw the same ids.
std::string RandomId(std::int16_t length);

}  // namespace veln::dbElements
