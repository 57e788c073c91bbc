// The one answer to a project database that another user holds locked past
// the busy timeout (error 3008): "Retry" runs the failed write again, "Cancel"
// ends the command. Every write to a project database goes through here.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "host/db/database.h"
#include "settings/core_context.h"

namespace veln::dbElements {

// Texts of the question, the same in both languages.
inline constexpr const char* LOCKED_TITLE = "Erreur grave : Corriger ou abandonner";

// The user answered Cancel to a locked database: the command ends here,
// without another message.
class Cancelled : public std::runtime_error {
  public:
    explicit Cancelled(const std::string& what) : std::runtime_error(what) {}
};

// "Error number N: description", as the messages of the database show errors.
std::string ErrorText(const db::DbError& error);

// Runs write. When it fails on a locked database, asks Retry or Cancel and
// runs it again on Retry; on Cancel throws Cancelled. Other errors pass on.
// write must leave nothing behind when it fails (one statement, or one
// transaction), so that running it again is safe.
void RetryWhileLocked(CoreContext& context, const std::function<void()>& write);

}  // namespace veln::dbElements
