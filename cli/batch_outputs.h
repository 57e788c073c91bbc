// The outputs written from the command line, for pipelines: the same
// builders as the dialogs, no dialog, the file written where asked.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "host/system/system.h"

namespace veln::cli {

struct MatrixOptions {
    std::string database;
    std::string source;  // a document's id or stored path
    std::string target;
    std::string output;
    bool hyperlinks = true;
    bool wrap = false;
    // The answer the dialog asks for when the target has more elements than
    // a matrix has columns.
    std::optional<int> firstRank;
};

struct ListOptions {
    std::string database;
    std::string document;
    std::string output;
    bool hyperlinks = true;
};

struct TreeOptions {
    std::string database;
    std::string root;  // documents of levels 1, 2 and 3 ("" for none)
    std::string tree;
    std::string leaf;
    std::string output;  // a .docx file
    bool hyperlinks = true;
    bool numbers = true;
    bool labels = true;
};

// Each writes its workbook to output and returns 0, or writes nothing and
// returns 1 after a message on err naming what is wrong. The matrix takes the
// time of its title and the interface language from system.
int WriteMatrix(const MatrixOptions& options, host::System& system, std::ostream& err);
int WriteList(const ListOptions& options, std::ostream& err);
// The links tree export, written as a document to output; headers in the
// interface language of system.
int WriteTree(const TreeOptions& options, host::System& system, std::ostream& err);

}  // namespace veln::cli
