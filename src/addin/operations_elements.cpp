// The operations of elements: creation and loading, lookups, navigation,
// deletion, numbering and display and the open-time check.
#include <memory>

#include "addin/operations.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"

namespace veln::addin {

std::vector<Operation> ElementOperations() {
    using Args = const Arguments&;
    using namespace Elements;
    return {
        Entry("CreateElement", "LEVEL",
              [](Context& c, Args a) {
                  std::int16_t level = a.Level(0);
                  bool made = CreateElement(c, level);
                  return std::string(made ? "True" : "False") + " " + std::to_string(level);
              }),
        Entry("CreateElementFromSelection", "LEVEL LABEL",
              [](Context& c, Args a) { CreateElementFromSelection(c, a.Level(0), a[1]); }),
        Entry("LoadDocumentElements", "DBPATH DOCID",
              [](Context& c, Args a) { LoadDocumentElements(c, a[0], a[1]); }),
        Entry("dbAttachDocument", "", [](Context& c) { return dbElements::dbAttachDocument(c); }),
        Entry("CurrentElementId", "", [](Context& c) { return CurrentElementId(c); }),
        Entry("IndexOfElement", "ID", [](Context& c, Args a) { return IndexOfElement(c, a[0]); }),
        Entry("GetElementInfo", "ID",
              [](Context& c, Args a) {
                  ElementInfo info = GetElementInfo(c, a[0]);
                  return info.number + "|" + info.label + "|" + std::to_string(info.level);
              }),
        Entry("FindElement", "MODE",
              [](Context& c, Args a) {
                  return FindElement(c, static_cast<int>(a.Number(0, -32768, 32767)));
              }),
        Entry("GoNextElement", "", GoNextElement),
        Entry("GoPreviousElement", "", GoPreviousElement),
        Entry("GoFirstElement", "", GoFirstElement),
        Entry("GoLastElement", "", GoLastElement),
        Entry("GoToElement", "ID", [](Context& c, Args a) { GoToElement(c, a[0]); }),
        Entry("IsFirstElement", "", IsFirstElement),
        Entry("IsLastElement", "", IsLastElement),
        Entry("MarkElementDeleted", "ID", [](Context& c, Args a) { MarkElementDeleted(c, a[0]); }),
        Entry("MarkCurrentElementDeleted", "", MarkCurrentElementDeleted),
        Entry("RemoveDocumentElements", "True|False",
              [](Context& c, Args a) { RemoveDocumentElements(c, a.Boolean(0)); }),
        Entry("CheckDocumentElements", "", CheckDocumentElements),
        Entry("RenumberElements", "", RenumberElements),
        Entry("RenumberElementsCommand", "", RenumberElementsCommand),
        Entry("ResetElementNumbers", "", ResetElementNumbers),
        Entry("ShowAllNumbers", "", ShowAllNumbers),
        Entry("HideAllNumbers", "", HideAllNumbers),
        Entry("HighlightAll", "", HighlightAll),
        Entry("UnHighlightAll", "", UnHighlightAll),
        Entry("ToggleNumbers", "", ToggleNumbers),
        Entry("ToggleDelimiters", "", ToggleDelimiters),
        Entry("SetHighlightColour", "0|3|4|5|7|15",
              [](Context& c, Args a) {
                  SetHighlightColour(c, static_cast<std::int16_t>(a.Number(0, 0, 16)));
              }),
    };
}

}  // namespace veln::addin
