#include "addin/operations.h"

#include <memory>
#include <stdexcept>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/linking.h"
#include "database/random_id.h"
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

// An operation with a fixed number of text arguments.
Operation WithArguments(
    const std::string& name, std::size_t count, const std::string& usage,
    std::function<std::optional<std::string>(DocumentContext&, const std::vector<std::string>&)>
        run) {
    return [name, count, usage, run = std::move(run)](
               DocumentContext& context,
               const std::vector<std::string>& args) -> std::optional<std::string> {
        if (args.size() != count) {
            throw std::invalid_argument("usage: " + name + " " + usage);
        }
        return run(context, args);
    };
}

std::string Boolean(bool value) {
    return value ? "True" : "False";
}

}  // namespace

const std::map<std::string, Operation>& Operations() {
    static const std::map<std::string, Operation> operations{
        {"dbCreateProjectDatabase", NoArguments("dbCreateProjectDatabase",
                                                [](DocumentContext& context) {
                                                    dbElements::dbCreateProjectDatabase(context);
                                                })},
        {"RandomId", WithArguments("RandomId", 1, "LENGTH",
                                   [](DocumentContext&, const std::vector<std::string>& args) {
                                       return dbElements::RandomId(
                                           static_cast<std::int16_t>(std::stoi(args[0])));
                                   })},
        {"dbInsertDocument",
         WithArguments("dbInsertDocument", 2, "DBPATH DESCRIPTION",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           return dbElements::dbInsertDocument(context, args[0], args[1]);
                       })},
        {"dbGetDocumentName",
         WithArguments("dbGetDocumentName", 1, "DBPATH",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           return dbElements::dbGetDocumentName(context, args[0]);
                       })},
        {"dbUpdateDocumentName",
         WithArguments("dbUpdateDocumentName", 1, "DBPATH",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           return Boolean(dbElements::dbUpdateDocumentName(context, args[0]));
                       })},
        {"dbReplaceDocument",
         WithArguments("dbReplaceDocument", 3, "DBPATH DOCID DESCRIPTION",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           return Boolean(
                               dbElements::dbReplaceDocument(context, args[0], args[1], args[2]));
                       })},
        {"dbMarkDeleteElement",
         WithArguments("dbMarkDeleteElement", 2, "DBPATH ELEMENTID",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           dbElements::dbMarkDeleteElement(context, args[0], args[1]);
                           return std::nullopt;
                       })},
        {"dbElementExists",
         WithArguments("dbElementExists", 2, "DBPATH ELEMENTID",
                       [](DocumentContext&, const std::vector<std::string>& args) {
                           return Boolean(dbElements::dbElementExists(args[0], args[1]));
                       })},
        {"dbChooseDatabase", WithArguments("dbChooseDatabase", 0, "",
                                           [](DocumentContext& context, const auto&) {
                                               return dbElements::dbChooseDatabase(context);
                                           })},
        {"GetDocVariable",
         WithArguments("GetDocVariable", 1, "NAME",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           return utilElements::GetDocVariable(context, args[0]);
                       })},
        {"SetDocVariable",
         WithArguments("SetDocVariable", 2, "NAME VALUE",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           utilElements::SetDocVariable(context, args[0], args[1]);
                           return std::nullopt;
                       })},
        {"DeleteDocVariable",
         WithArguments("DeleteDocVariable", 1, "NAME",
                       [](DocumentContext& context, const std::vector<std::string>& args) {
                           utilElements::DeleteDocVariable(context, args[0]);
                           return std::nullopt;
                       })},
        {"GetDbName", WithArguments("GetDbName", 0, "",
                                    [](DocumentContext& context, const auto&) {
                                        return utilElements::GetDbName(context);
                                    })},
        {"GetDocId", WithArguments("GetDocId", 0, "",
                                   [](DocumentContext& context, const auto&) {
                                       return utilElements::GetDocId(context);
                                   })},
        {"RegisterDocument", WithArguments("RegisterDocument", 0, "",
                                           [](DocumentContext& context, const auto&) {
                                               return Boolean(
                                                   utilElements::RegisterDocument(context));
                                           })},
        {"EditDocumentDescription", NoArguments("EditDocumentDescription",
                                                [](DocumentContext& context) {
                                                    utilElements::EditDocumentDescription(context);
                                                })},
        {"ShortenPath", WithArguments("ShortenPath", 2, "PATH MAXLENGTH",
                                      [](DocumentContext&, const std::vector<std::string>& args) {
                                          return utilElements::ShortenPath(args[0],
                                                                           std::stoi(args[1]));
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
