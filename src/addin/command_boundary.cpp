#include "addin/command_boundary.h"

#include <new>
#include <string>

#include "database/locked_database.h"
#include "host/db/db_error.h"
#include "host/host_error.h"
#include "host/ui/ui.h"

namespace veln::addin {

namespace {

void Report(Context& context, const std::string& text) {
    context.ui.MsgBox(text, host::MsgBoxStyle::vbCritical);
}

std::string ErrorText(long number, const std::string& description) {
    return "Error number " + std::to_string(number) + ": " + description;
}

}  // namespace

bool RunCommand(Context& context, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const host::NoOneToAnswer&) {
        throw;
    } catch (const dbElements::Cancelled&) {
        // The user chose Cancel at a locked database: nothing more to say.
    } catch (const db::DbError& error) {
        Report(context, ErrorText(error.Number(), error.Description()));
    } catch (const host::HostError& error) {
        Report(context, ErrorText(error.Number(), error.Description()));
    } catch (const std::bad_alloc&) {
        Report(context, "Out of memory: the command was stopped.");
    } catch (const std::exception& error) {
        Report(context, error.what());
    }
    return false;
}

}  // namespace veln::addin
