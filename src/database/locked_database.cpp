#include "database/locked_database.h"

#include "host/ui/ui.h"

namespace veln::dbElements {

std::string ErrorText(const db::DbError& error) {
    return "Error number " + std::to_string(error.Number()) + ": " + error.Description();
}

void RetryWhileLocked(CoreContext& context, const std::function<void()>& write) {
    using namespace host::MsgBoxStyle;
    for (;;) {
        try {
            write();
            return;
        } catch (const db::DbError& error) {
            if (error.Number() != db::ERR_LOCKED) {
                throw;
            }
            if (context.ui.MsgBox(ErrorText(error), vbRetryCancel + vbCritical, LOCKED_TITLE) !=
                host::MsgBoxResult::vbRetry) {
                throw Cancelled(error.Description());
            }
        }
    }
}

}  // namespace veln::dbElements
