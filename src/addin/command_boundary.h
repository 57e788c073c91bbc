// The one place where a command of the user ends, whatever happened inside
// it: a toolbar click, a document event. Operations report the failures they
// know in their own words; an error none of them caught is reported here, and
// never reaches the word processor.
#pragma once

#include <functional>

#include "elements/context.h"

namespace veln::addin {

// Runs command. An error that leaves it is shown to the user in a critical
// message box ("Error number N: description") and the command ends there;
// returns false then, true when the command ran to its end. Cancel at a
// locked database ends it without another message. Only the absence of
// anyone to answer a dialog (a script without its answer) goes through.
bool RunCommand(Context& context, const std::function<void()>& command);

}  // namespace veln::addin
