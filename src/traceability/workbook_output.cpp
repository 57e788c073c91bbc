#include "traceability/workbook_output.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "host/db/database.h"
#include "host/db/db_error.h"
#include "host/host_error.h"
#include "host/ui/ui.h"
#include "host/utf8.h"

namespace veln {

namespace {

constexpr const char* FAILURE_TEXT = " Excel management problem. ";
constexpr const char* FAILURE_TITLE = "Error: ";

struct Failure {
    long number;
    std::string description;
};

}  // namespace

std::string WorkbookStem(const std::string& names, const std::string& now) {
    // Room for the time, a " (2)" of a name already taken and ".xlsx" in the
    // 255 bytes a file name may take.
    constexpr std::size_t NAMES_BYTES = 200;
    std::string stem;
    for (std::size_t at = 0; at < names.size();) {
        std::size_t start = at;
        char32_t c = host::DecodeCharacter(names, at);
        if (stem.size() + (at - start) > NAMES_BYTES) {
            break;
        }
        bool refused = c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' ||
                       c == '\\' || c == '|' || c == '?' || c == '*';
        stem += refused ? std::string("_") : names.substr(start, at - start);
    }
    // Dashes in the time: a colon is refused in file names on the other
    // systems these files get copied to.
    std::string time = now;
    std::replace(time.begin(), time.end(), ':', '-');
    return stem + " " + time;
}

std::string OutputFolder(const CoreContext& context, const std::string& dbPath) {
    if (db::Database::IsServerName(dbPath)) {
        // A server's project has no folder: the user's home stands for it.
        return context.system.Environment("HOME");
    }
    return std::filesystem::path(dbPath).parent_path().string();
}

void BuildAndShowWorkbook(CoreContext& context, const std::string& dbPath, const std::string& names,
                          const std::function<void(host::Workbook&, const std::string&)>& fill) {
    std::string now = context.system.Now();
    host::Workbook workbook;
    std::optional<Failure> failure;
    try {
        fill(workbook, now);
    } catch (const host::HostError& error) {
        failure = Failure{error.Number(), error.Description()};
    } catch (const db::DbError& error) {
        failure = Failure{error.Number(), error.Description()};
    }
    try {
        std::string folder = OutputFolder(context, dbPath);
        std::string path =
            workbook.SaveAsNew(folder.empty() ? "." : folder, WorkbookStem(names, now));
        context.ui.ShowWorkbook(path);
    } catch (const host::HostError& error) {
        if (!failure) {
            failure = Failure{error.Number(), error.Description()};
        }
    }
    if (failure) {
        ShowOutputError(context, failure->number, failure->description);
    }
}

void ShowOutputError(CoreContext& context, long number, const std::string& description) {
    context.ui.MsgBox(description + FAILURE_TEXT, host::MsgBoxStyle::vbCritical,
                      FAILURE_TITLE + std::to_string(number));
}

}  // namespace veln
