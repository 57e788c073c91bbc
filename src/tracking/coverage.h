// Coverage of one document's elements by another's: each live source element
// is covered when a live link joins it to a live element of the target, in
// either direction; covered only through suspect links, it is suspect. The
// report is written for people, as JSON for tools and as JUnit XML for the
// dashboards of continuous integration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/db_stamps.h"
#include "host/db/database.h"

namespace veln::tracking {

enum class Coverage : std::uint8_t { Covered, Suspect, Uncovered };

struct CoveredElement {
    std::string id;
    std::string number;  // "1.2.0.0"
    std::string label;
    Coverage coverage = Coverage::Uncovered;
    std::vector<std::string> targets;  // the elements it is linked to
};

struct CoverageReport {
    std::string source;  // as the user named them
    std::string target;
    std::vector<CoveredElement> elements;  // in number order

    int Count(Coverage coverage) const;
    // Covered or suspect, as a percentage of the elements (100 for none).
    double Percent() const;
};

CoverageReport BuildCoverage(const db::Database& database, const std::string& sourceDocId,
                             const std::string& targetDocId);

// A percentage with one decimal, as the reports print it ("66.7").
std::string PercentText(double percent);

// One line per element and the totals.
std::string CoverageText(const CoverageReport& report);
std::string CoverageJson(const CoverageReport& report);
// One test case per element, failed when uncovered or suspect.
std::string CoverageJUnit(const CoverageReport& report);

// The suspect links among states, one line each, with what changed.
std::string SuspectText(const std::vector<dbStamps::LinkState>& states);

}  // namespace veln::tracking
