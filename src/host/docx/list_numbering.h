// The numbering part as far as a view needs it: the label each numbered
// paragraph shows (a bullet, "2.", "1.3.", "b)") and the indentation of its
// level, counted through the document in order as word processors count:
// lists of one abstract definition go on from each other unless a list
// restarts, and a level restarts below each use of a higher one.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace veln::host::docx {

class ListNumbering {
  public:
    static constexpr int LEVELS = 9;

    struct Level {
        int start = 1;
        std::string format = "decimal";  // w:numFmt
        std::string text;                // w:lvlText, "%1." and the like
        int indent = 0;                  // twips
        int firstLine = 0;               // negative: hanging
    };

    ListNumbering() = default;
    // Reads the root element (w:numbering) of a numbering part.
    explicit ListNumbering(const pugi::xml_node& numbering);

    // The level of a list, nullptr when the part does not define it.
    const Level* LevelOf(int numId, int level) const;
    // Counts the next paragraph of list numId at level, and returns its label.
    std::string Count(int numId, int level);

  private:
    struct Abstract {
        std::array<Level, LEVELS> levels;
    };
    struct List {
        int abstractId = 0;
        std::map<int, int> startOverrides;  // by level
        bool begun = false;
    };
    std::map<int, Abstract> abstracts_;
    std::map<int, List> lists_;
    // The counters of each abstract definition, 0 for a level not begun.
    std::map<int, std::array<int, LEVELS>> counters_;
};

// The numbers of 1, 2... in a format of w:numFmt: "3", "c", "C", "iii", "III".
std::string FormatNumber(int value, const std::string& format);

}  // namespace veln::host::docx
