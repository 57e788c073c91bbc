#include "addin/operations.h"

#include <memory>
#include <stdexcept>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/linking.h"
#include "database/random_id.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "elements/frm_list_elem.h"
#include "settings/frm_language.h"

namespace veln::addin {

namespace {

// An operation that takes no argument.
Operation NoArguments(const std::string& name, std::function<void(Context&)> run) {
    return
        [name, run = std::move(run)](
            Context& context, const std::vector<std::string>& args) -> std::optional<std::string> {
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
    std::function<std::optional<std::string>(Context&, const std::vector<std::string>&)> run) {
    return
        [name, count, usage, run = std::move(run)](
            Context& context, const std::vector<std::string>& args) -> std::optional<std::string> {
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
        {"dbCreateProjectDatabase",
         NoArguments("dbCreateProjectDatabase",
                     [](Context& context) { dbElements::dbCreateProjectDatabase(context); })},
        {"RandomId", WithArguments("RandomId", 1, "LENGTH",
                                   [](Context&, const std::vector<std::string>& args) {
                                       return dbElements::RandomId(
                                           static_cast<std::int16_t>(std::stoi(args[0])));
                                   })},
        {"dbInsertDocument",
         WithArguments("dbInsertDocument", 2, "DBPATH DESCRIPTION",
                       [](Context& context, const std::vector<std::string>& args) {
                           return dbElements::dbInsertDocument(context, args[0], args[1]);
                       })},
        {"dbGetDocumentName",
         WithArguments("dbGetDocumentName", 1, "DBPATH",
                       [](Context& context, const std::vector<std::string>& args) {
                           return dbElements::dbGetDocumentName(context, args[0]);
                       })},
        {"dbUpdateDocumentName",
         WithArguments("dbUpdateDocumentName", 1, "DBPATH",
                       [](Context& context, const std::vector<std::string>& args) {
                           return Boolean(dbElements::dbUpdateDocumentName(context, args[0]));
                       })},
        {"dbReplaceDocument",
         WithArguments("dbReplaceDocument", 3, "DBPATH DOCID DESCRIPTION",
                       [](Context& context, const std::vector<std::string>& args) {
                           return Boolean(
                               dbElements::dbReplaceDocument(context, args[0], args[1], args[2]));
                       })},
        {"dbMarkDeleteElement",
         WithArguments("dbMarkDeleteElement", 2, "DBPATH ELEMENTID",
                       [](Context& context, const std::vector<std::string>& args) {
                           dbElements::dbMarkDeleteElement(context, args[0], args[1]);
                           return std::nullopt;
                       })},
        {"dbElementExists", WithArguments("dbElementExists", 2, "DBPATH ELEMENTID",
                                          [](Context&, const std::vector<std::string>& args) {
                                              return Boolean(
                                                  dbElements::dbElementExists(args[0], args[1]));
                                          })},
        {"dbChooseDatabase", WithArguments("dbChooseDatabase", 0, "",
                                           [](Context& context, const auto&) {
                                               return dbElements::dbChooseDatabase(context);
                                           })},
        {"GetDocVariable",
         WithArguments("GetDocVariable", 1, "NAME",
                       [](Context& context, const std::vector<std::string>& args) {
                           return utilElements::GetDocVariable(context, args[0]);
                       })},
        {"SetDocVariable",
         WithArguments("SetDocVariable", 2, "NAME VALUE",
                       [](Context& context, const std::vector<std::string>& args) {
                           utilElements::SetDocVariable(context, args[0], args[1]);
                           return std::nullopt;
                       })},
        {"DeleteDocVariable",
         WithArguments("DeleteDocVariable", 1, "NAME",
                       [](Context& context, const std::vector<std::string>& args) {
                           utilElements::DeleteDocVariable(context, args[0]);
                           return std::nullopt;
                       })},
        {"GetDbName", WithArguments("GetDbName", 0, "",
                                    [](Context& context, const auto&) {
                                        return utilElements::GetDbName(context);
                                    })},
        {"GetDocId", WithArguments("GetDocId", 0, "",
                                   [](Context& context, const auto&) {
                                       return utilElements::GetDocId(context);
                                   })},
        {"RegisterDocument", WithArguments("RegisterDocument", 0, "",
                                           [](Context& context, const auto&) {
                                               return Boolean(
                                                   utilElements::RegisterDocument(context));
                                           })},
        {"EditDocumentDescription",
         NoArguments("EditDocumentDescription",
                     [](Context& context) { utilElements::EditDocumentDescription(context); })},
        {"ShortenPath", WithArguments("ShortenPath", 2, "PATH MAXLENGTH",
                                      [](Context&, const std::vector<std::string>& args) {
                                          return utilElements::ShortenPath(args[0],
                                                                           std::stoi(args[1]));
                                      })},
        {"CreateElement", WithArguments("CreateElement", 1, "LEVEL",
                                        [](Context& context, const std::vector<std::string>& args) {
                                            auto level =
                                                static_cast<std::int16_t>(std::stoi(args[0]));
                                            bool made = Elements::CreateElement(context, level);
                                            return Boolean(made) + " " + std::to_string(level);
                                        })},
        {"CreateElementFromSelection",
         WithArguments("CreateElementFromSelection", 2, "LEVEL LABEL",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::CreateElementFromSelection(
                               context, static_cast<std::int16_t>(std::stoi(args[0])), args[1]);
                           return std::nullopt;
                       })},
        {"LoadDocumentElements",
         WithArguments("LoadDocumentElements", 2, "DBPATH DOCID",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::LoadDocumentElements(context, args[0], args[1]);
                           return std::nullopt;
                       })},
        {"dbAttachDocument", WithArguments("dbAttachDocument", 0, "",
                                           [](Context& context, const auto&) {
                                               return Boolean(
                                                   dbElements::dbAttachDocument(context));
                                           })},
        {"CurrentElementId", WithArguments("CurrentElementId", 0, "",
                                           [](Context& context, const auto&) {
                                               return Elements::CurrentElementId(context);
                                           })},
        {"IndexOfElement",
         WithArguments("IndexOfElement", 1, "ID",
                       [](Context& context, const std::vector<std::string>& args) {
                           return std::to_string(Elements::IndexOfElement(context, args[0]));
                       })},
        {"GetElementInfo",
         WithArguments("GetElementInfo", 1, "ID",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::ElementInfo info = Elements::GetElementInfo(context, args[0]);
                           return info.number + "|" + info.label + "|" + std::to_string(info.level);
                       })},
        {"FindElement", WithArguments("FindElement", 1, "MODE",
                                      [](Context& context, const std::vector<std::string>& args) {
                                          return std::to_string(
                                              Elements::FindElement(context, std::stoi(args[0])));
                                      })},
        {"GoNextElement", NoArguments("GoNextElement", Elements::GoNextElement)},
        {"GoPreviousElement", NoArguments("GoPreviousElement", Elements::GoPreviousElement)},
        {"GoFirstElement", NoArguments("GoFirstElement", Elements::GoFirstElement)},
        {"GoLastElement", NoArguments("GoLastElement", Elements::GoLastElement)},
        {"GoToElement", WithArguments("GoToElement", 1, "ID",
                                      [](Context& context, const std::vector<std::string>& args) {
                                          Elements::GoToElement(context, args[0]);
                                          return std::nullopt;
                                      })},
        {"IsFirstElement", WithArguments("IsFirstElement", 0, "",
                                         [](Context& context, const auto&) {
                                             return Boolean(Elements::IsFirstElement(context));
                                         })},
        {"IsLastElement", WithArguments("IsLastElement", 0, "",
                                        [](Context& context, const auto&) {
                                            return Boolean(Elements::IsLastElement(context));
                                        })},
        {"MarkElementDeleted",
         WithArguments("MarkElementDeleted", 1, "ID",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::MarkElementDeleted(context, args[0]);
                           return std::nullopt;
                       })},
        {"MarkCurrentElementDeleted",
         NoArguments("MarkCurrentElementDeleted", Elements::MarkCurrentElementDeleted)},
        {"RemoveDocumentElements",
         WithArguments("RemoveDocumentElements", 1, "True|False",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::RemoveDocumentElements(context, args[0] == "True");
                           return std::nullopt;
                       })},
        {"CheckDocumentElements", WithArguments("CheckDocumentElements", 0, "",
                                                [](Context& context, const auto&) {
                                                    return std::to_string(
                                                        Elements::CheckDocumentElements(context));
                                                })},
        {"RenumberElements", NoArguments("RenumberElements", Elements::RenumberElements)},
        {"RenumberElementsCommand",
         NoArguments("RenumberElementsCommand", Elements::RenumberElementsCommand)},
        {"ResetElementNumbers", NoArguments("ResetElementNumbers", Elements::ResetElementNumbers)},
        {"ShowAllNumbers", NoArguments("ShowAllNumbers", Elements::ShowAllNumbers)},
        {"HideAllNumbers", NoArguments("HideAllNumbers", Elements::HideAllNumbers)},
        {"HighlightAll", NoArguments("HighlightAll", Elements::HighlightAll)},
        {"UnHighlightAll", NoArguments("UnHighlightAll", Elements::UnHighlightAll)},
        {"ToggleNumbers", NoArguments("ToggleNumbers", Elements::ToggleNumbers)},
        {"ToggleDelimiters", NoArguments("ToggleDelimiters", Elements::ToggleDelimiters)},
        {"SetHighlightColour",
         WithArguments("SetHighlightColour", 1, "0|3|4|5|7|15",
                       [](Context& context, const std::vector<std::string>& args) {
                           Elements::SetHighlightColour(
                               context, static_cast<std::int16_t>(std::stoi(args[0])));
                           return std::nullopt;
                       })},
        {"frmListElem", NoArguments("frmListElem",
                                    [](Context& context) {
                                        context.ui.Show(std::make_shared<frmListElem>(context),
                                                        true);
                                    })},
        // The language dialog opens without waiting, as from the about box.
        {"frmLanguage", NoArguments("frmLanguage",
                                    [](Context& context) {
                                        context.ui.Show(std::make_shared<frmLanguage>(context),
                                                        false);
                                    })},
    };
    return operations;
}

}  // namespace veln::addin
