#include "properties/error_report.h"

#include "host/db/db_error.h"
#include "host/host_error.h"
#include "host/ui/ui.h"

namespace veln::Properties {

std::optional<ErrorReport> Trap(const std::function<void()>& work) {
    try {
        work();
    } catch (const db::DbError& error) {
        return ErrorReport{error.Number(), error.Description()};
    } catch (const host::HostError& error) {
        return ErrorReport{error.Number(), error.Description()};
    }
    return std::nullopt;
}

bool RunReporting(CoreContext& context, const std::string& prefix,
                  const std::function<void()>& work) {
    std::optional<ErrorReport> error = Trap(work);
    if (error) {
        context.ui.MsgBox(prefix + std::to_string(error->number) + "-" + error->description,
                          host::MsgBoxStyle::vbCritical);
    }
    return !error;
}

}  // namespace veln::Properties
