#include "tracking_commands.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "batch_common.h"
#include "database/db_stamps.h"
#include "database/schema.h"
#include "output_target.h"
#include "tracking/coverage.h"

namespace veln::cli {

namespace {

void WriteFileOrSay(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        throw BatchError("the file " + path + " could not be written");
    }
}

}  // namespace

int ListSuspects(const SuspectOptions& options, std::ostream& out, std::ostream& err) {
    bool suspect = false;
    int status = Reported("suspect", err, [&] {
        std::vector<ProjectDocument> documents = DocumentsOf(options.database);
        std::vector<std::string> ids;
        for (const std::string& name : options.documents) {
            ids.push_back(Named(documents, name, options.database).id);
        }
        const std::vector<dbStamps::LinkState> states = dbStamps::LinkStates(
            schema::OpenProjectDatabase(options.database, db::OpenMode::ReadOnly), ids, false);
        out << tracking::SuspectText(states);
        suspect = std::any_of(states.begin(), states.end(),
                              [](const dbStamps::LinkState& link) { return link.Suspect(); });
    });
    if (status == 0 && options.check && suspect) {
        err << "veln suspect: the project has suspect links: review them (veln review)\n";
        return 1;
    }
    return status;
}

int ReviewLinks(const ReviewOptions& options, host::System& system, std::ostream& out,
                std::ostream& err) {
    return Reported("review", err, [&] {
        db::Database database = schema::OpenProjectDatabase(options.database);
        std::set<std::int64_t> live;
        std::vector<std::int64_t> links;
        for (const dbStamps::LinkState& link : dbStamps::LinkStates(database, {}, false)) {
            live.insert(link.link);
            if (options.all && link.Suspect()) {
                links.push_back(link.link);
            }
        }
        for (std::int64_t link : options.links) {
            if (!live.contains(link)) {
                throw BatchError("link " + std::to_string(link) +
                                 " is not a live link of the project: nothing was reviewed");
            }
            links.push_back(link);
        }
        const int reviewed =
            dbStamps::Review(database, links, system.Now(), system.Environment("USER"));
        out << reviewed << " link" << (reviewed == 1 ? "" : "s") << " reviewed\n";
    });
}

int ReportCoverage(const CoverageOptions& options, std::ostream& out, std::ostream& err) {
    std::optional<tracking::CoverageReport> report;
    int status = Reported("coverage", err, [&] {
        std::vector<ProjectDocument> documents = DocumentsOf(options.database);
        const ProjectDocument& source = Named(documents, options.source, options.database);
        const ProjectDocument& target = Named(documents, options.target, options.database);
        std::string junit;
        if (!options.junit.empty()) {
            junit = OutputTarget(options.junit, options.database, documents);
        }
        report = tracking::BuildCoverage(
            schema::OpenProjectDatabase(options.database, db::OpenMode::ReadOnly), source.id,
            target.id);
        report->source = options.source;
        report->target = options.target;
        out << (options.json ? tracking::CoverageJson(*report) : tracking::CoverageText(*report));
        if (!junit.empty()) {
            WriteFileOrSay(junit, tracking::CoverageJUnit(*report));
        }
    });
    if (status != 0) {
        return status;
    }
    if (options.minPercent && report->Percent() < *options.minPercent) {
        err << "veln coverage: " << tracking::PercentText(report->Percent()) << "% of "
            << options.source << " is covered by " << options.target << ", below the "
            << tracking::PercentText(*options.minPercent) << "% asked\n";
        return 1;
    }
    if (options.noSuspect && report->Count(tracking::Coverage::Suspect) > 0) {
        err << "veln coverage: " << report->Count(tracking::Coverage::Suspect) << " elements of "
            << options.source << " are covered only by suspect links: review them\n";
        return 1;
    }
    return 0;
}

}  // namespace veln::cli
