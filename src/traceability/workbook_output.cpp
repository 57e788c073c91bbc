#include "traceability/workbook_output.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "host/db/db_error.h"
#include "host/host_error.h"
#include "host/ui/ui.h"

namespace veln {

namespace {

constexpr const char* FAILURE_TEXT = " Excel management problem. ";
constexpr const char* FAILURE_TITLE = "Error: ";

struct Failure {
    long number;
    std::string description;
};

}  // namespace

std::string WorkbookStem(const std::string& sheetName, const std::string& now) {
    // Dashes in the time: a colon is refused in file names on the other
    // systems these files get copied to.
    std::string time = now;
    std::replace(time.begin(), time.end(), ':', '-');
    return sheetName + " " + time;
}

void BuildAndShowWorkbook(CoreContext& context, const std::string& dbPath,
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
        std::string folder = std::filesystem::path(dbPath).parent_path().string();
        std::string path = workbook.SaveAsNew(folder.empty() ? "." : folder,
                                              WorkbookStem(workbook.ActiveSheet().Name(), now));
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
