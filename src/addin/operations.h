// The operations of the system by their own names, for whatever runs them by
// name: the command line's `call`, later the toolbar's dispatch.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "elements/context.h"

namespace veln::addin {

// Runs an operation with its arguments; returns its result when it has one.
using Operation = std::function<std::optional<std::string>(Context& context,
                                                           const std::vector<std::string>& args)>;

// Every registered operation, by name.
const std::map<std::string, Operation>& Operations();

}  // namespace veln::addin
