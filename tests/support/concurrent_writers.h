// Many users writing to one project at once: each a process of its own
// (veln_test_concurrent_writer) in a folder of its own, started together,
// each creating elements, linking them and editing values for a bounded
// time; then what each did, read back from what it wrote.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace veln::test {

struct WritersTally {
    std::vector<std::string> created;  // element ids, as each writer made them
    std::vector<std::pair<std::string, std::string>> linked;  // source, target
    std::vector<std::string> valued;                          // elements whose value was stored
    std::vector<double> commandMs;                            // every command's time
    int retried = 0;                                          // locks answered Retry
    std::vector<std::string> refused;                         // the messages of refused commands
    int failed = 0;                                           // writers that did not end well
    double seconds = 0;                                       // from the start to the last end

    // The time within which share (0 to 1) of the commands ended.
    double Percentile(double share) const;
};

// Starts writers processes on project, each in a folder under folder, for
// seconds; values are stored under propertyId. Returns once every one ended.
WritersTally RunWriters(const std::string& project, const TempDir& folder, int writers, int seconds,
                        std::int64_t propertyId);

}  // namespace veln::test
