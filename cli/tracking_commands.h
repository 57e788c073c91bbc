// The commands on suspect links and coverage, for people and for pipelines:
// veln suspect, veln review and veln coverage.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/system/system.h"

namespace veln::cli {

struct SuspectOptions {
    std::string database;
    std::vector<std::string> documents;  // none: every document
    bool check = false;                  // exit 1 when there is a suspect link
};

struct ReviewOptions {
    std::string database;
    std::vector<std::int64_t> links;  // the numbers veln suspect prints
    bool all = false;                 // every suspect link
};

struct CoverageOptions {
    std::string database;
    std::string source;
    std::string target;
    std::optional<double> minPercent;  // a gate: exit 1 below it
    bool noSuspect = false;            // a gate: exit 1 when an element is only suspect
    std::string junit;                 // a JUnit XML file to write (replaced)
    bool json = false;                 // the report as JSON on out
};

// Each prints its report on out and returns its status: 0, or 1 after a
// message on err (a failure, or a gate that fails).
int ListSuspects(const SuspectOptions& options, std::ostream& out, std::ostream& err);
int ReviewLinks(const ReviewOptions& options, host::System& system, std::ostream& out,
                std::ostream& err);
int ReportCoverage(const CoverageOptions& options, std::ostream& out, std::ostream& err);

}  // namespace veln::cli
