// Host and database errors caught by the windows of properties, to be shown
// with their number and description rather than leave a handler.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "settings/core_context.h"

namespace veln::Properties {

struct ErrorReport {
    long number = 0;
    std::string description;
};

// Runs work; the report of the host or database error it raised, if any.
// Other errors pass on.
std::optional<ErrorReport> Trap(const std::function<void()>& work);

// Runs work; a host or database error it raises is shown in a critical
// message box as prefix + number + "-" + description. False after an error.
bool RunReporting(CoreContext& context, const std::string& prefix,
                  const std::function<void()>& work);

}  // namespace veln::Properties
