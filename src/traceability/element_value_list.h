// The list of elements and property values: every live element of one
// document, a row each, with its value of every live property definition, a
// column each. The dialog and the command line build it with the same code.
#pragma once

#include <string>

#include "host/sheet/workbook.h"
#include "traceability/project_documents.h"

namespace veln {

struct ElementValueListRequest {
    std::string dbPath;
    ProjectDocument document;
    bool hyperlinks = true;
};

namespace ElementValueList {

inline constexpr const char* TITLE = "List of elements";
inline constexpr const char* SUBJECT = "elements";
// The heading of the element column, written when the project has properties.
inline constexpr const char* ELEMENTS_HEADING = "Elements";
// The heading of the label column, beside it: the same in both languages,
// as the element column's is.
inline constexpr const char* LABEL_HEADING = "Label";
inline constexpr std::size_t SHEET_NAME_LENGTH = 30;
inline constexpr int FIRST_ELEMENT_ROW = 2;
inline constexpr int FIRST_PROPERTY_COLUMN = 3;

// The sheet's name: the end of the document's file name.
std::string SheetName(const ProjectDocument& document);
// The document's whole file name, for the workbook's file.
std::string FileNames(const ProjectDocument& document);

// Fills the workbook. Host and database errors are raised with what was
// written so far left in the workbook.
void Fill(host::Workbook& workbook, const ElementValueListRequest& request);

}  // namespace ElementValueList
}  // namespace veln
