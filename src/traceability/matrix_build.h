// The traceability matrix: the live elements of a source document as rows,
// those of a target document as columns, and a mark where a live link joins
// them, with counts per row and column. The dialog and the command line build
// it with the same code.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/sheet/workbook.h"
#include "settings/language.h"
#include "traceability/project_documents.h"

namespace veln {

struct MatrixRequest {
    std::string dbPath;
    ProjectDocument source;  // rows
    ProjectDocument target;  // columns
    bool hyperlinks = true;
    bool wrap = false;
    // The first-level number the columns are kept to, when the target had
    // too many elements and the user chose one.
    std::optional<int> firstRank;
};

namespace MatrixBuild {

// Above this many target elements the user is asked for a first rank.
inline constexpr int COLUMN_LIMIT = 256;
inline constexpr int FIRST_RANK_LEAST = 1;
inline constexpr int FIRST_RANK_MOST = 256;
// The most target elements placed as columns.
inline constexpr int TARGET_TABLE_SIZE = 255;
inline constexpr int FIRST_ELEMENT_ROW = 5;
inline constexpr int FIRST_ELEMENT_COLUMN = 4;
inline constexpr const char* LINK_MARK = "\u2022";
// A cell whose link is suspect: another mark, in red, and a legend line.
inline constexpr const char* SUSPECT_MARK = "!";
inline constexpr std::int32_t SUSPECT_COLOR = 0xC00000;
inline constexpr double MARK_FONT_SIZE = 18;
inline constexpr std::size_t SHEET_NAME_LENGTH = 30;
inline constexpr std::size_t FILE_NAME_PART_LENGTH = 30;
// The workbook's title and subject.
inline constexpr const char* DOCUMENT_PROPERTY = "matrix";

struct Size {
    int rows = 0;
    int columns = 0;
};

// The live elements of each document, before anything is built.
Size CountElements(const MatrixRequest& request);

// The question put when the target has more elements than the column limit.
std::string ColumnLimitPrompt(const Language& language, Size size);

// The first rank an answer gives: its leading number rounded down ("2abc"
// is 2), when that is from 1 to 256; nothing otherwise (text without a
// leading number reads as 0).
std::optional<int> FirstRankOf(std::string_view answer);

// "source part-target part", each part the end of its document's file name.
std::string SheetName(const ProjectDocument& source, const ProjectDocument& target);
// "plan.docx-tests.docx": the documents' whole file names, for the workbook's file.
std::string FileNames(const ProjectDocument& source, const ProjectDocument& target);

// Fills the workbook: title and frame, source rows, target columns, link
// marks, counts and the total. now is the date and time for the title;
// doEvents runs after each row, column, link and count. Host and database
// errors are raised with what was written so far left in the workbook.
void Fill(host::Workbook& workbook, const MatrixRequest& request, const Language& language,
          const std::string& now, const std::function<void()>& doEvents = {});

}  // namespace MatrixBuild
}  // namespace veln
