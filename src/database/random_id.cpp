#include "database/random_id.h"

#include <mutex>
#include <random>

namespace veln::dbElements {

std::string RandomId(std::int16_t length) {
    static constexpr char CHARACTERS[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static std::mutex guard;
    static std::mt19937_64 generator = [] {
        std::random_device entropy;
        std::seed_seq seed{entropy(), entropy(), entropy(), entropy()};
        return std::mt19937_64(seed);
    }();
    std::uniform_int_distribution<int> pick(0, 35);
    std::string id;
    std::lock_guard<std::mutex> lock(guard);
    for (int i = 0; i < length; ++i) {
        id += CHARACTERS[pick(generator)];
    }
    return id;
}

}  // namespace veln::dbElements
