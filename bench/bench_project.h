// The project the benchmarks run on: a generated document with elements
// marked (ELEM10000000 on, in reading order) and its project database, which
// holds the document's row and one row an element.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "temp_dir.h"
#include "world.h"

namespace veln::bench {

struct ProjectShape {
    int paragraphs = 0;
    int elements = 0;
    // The level of the element at index i.
    std::function<std::int16_t(int)> level = [](int) { return std::int16_t{1}; };
    // The document's variables name the project, numbers and highlight on.
    bool linked = false;
    // Elements rows carry their first number (i + 1), as after a renumbering.
    bool numbered = false;
};

struct BenchProject {
    explicit BenchProject(ProjectShape chosen);
    static std::string ElementId(int i);

    ProjectShape shape;
    test::TempDir folder;
    std::string documentPath;
    std::string databasePath;
};

// The project's document open in a session, linked, its elements loaded.
struct BenchSession : test::Services {
    explicit BenchSession(const BenchProject& project);
};

}  // namespace veln::bench
