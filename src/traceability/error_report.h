// Errors that no step of a dialog handles itself: a database or document
// error ends the handler and is reported as an unhandled error is, with its
// number and description. Nothing leaves the handler.
#pragma once

#include <string>

#include "host/db/db_error.h"
#include "host/host_error.h"
#include "settings/core_context.h"

namespace veln {

// "Error number N: description", critical icon, OK only, the default title.
void ReportError(CoreContext& context, long number, const std::string& description);

// Runs action; a DbError or HostError it raises is reported and ends it.
template <typename Action>
void ReportingErrors(CoreContext& context, Action&& action) {
    try {
        action();
    } catch (const db::DbError& error) {
        ReportError(context, error.Number(), error.Description());
    } catch (const host::HostError& error) {
        ReportError(context, error.Number(), error.Description());
    }
}

}  // namespace veln
