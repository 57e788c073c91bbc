#include "addin/operations.h"

#include <memory>
#include <stdexcept>

#include "database/db_elements.h"
#include "settings/frm_language.h"

namespace veln::addin {

namespace {

// An operation that takes no argument.
Operation NoArguments(const std::string& name, std::function<void(DocumentContext&)> run) {
    return [name, run = std::move(run)](
               DocumentContext& context,
               const std::vector<std::string>& args) -> std::optional<std::string> {
        if (!args.empty()) {
            throw std::invalid_argument(name + " takes no argument");
        }
        run(context);
        return std::nullopt;
    };
}

}  // namespace

const std::map<std::string, Operation>& Operations() {
    static const std::map<std::string, Operation> operations{
        {"dbCreateProjectDatabase", NoArguments("dbCreateProjectDatabase",
                                                [](DocumentContext& context) {
                                                    dbElements::dbCreateProjectDatabase(context);
                                                })},
        // The language dialog opens without waiting, as from the about box.
        {"frmLanguage", NoArguments("frmLanguage",
                                    [](DocumentContext& context) {
                                        context.ui.Show(std::make_shared<frmLanguage>(context),
                                                        false);
                                    })},
    };
    return operations;
}

}  // namespace veln::addin
