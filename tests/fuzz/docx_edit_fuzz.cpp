// Edits documents at random and checks every edit against the reference of
// the story's positions, and the result against itself saved and read back.
// An input that is a zip package is read as a document first (edits then
// follow a generator started from its size); any other input starts from a
// small document of paragraphs, a table and bookmarks, and its bytes choose
// the edits. A difference, a crash or an error other than a refusal is a
// finding.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "edit_oracle.h"
#include "host/docx/docx_document.h"
#include "host/host_error.h"

namespace {

using veln::host::docx::DocxDocument;

constexpr int MOST_EDITS = 64;
// Each edit is checked against the whole document: a long one gets few edits,
// so that a run tries many documents rather than a few long ones.
constexpr long LONG_STORY = 20000;
constexpr int EDITS_OF_A_LONG_STORY = 8;
constexpr const char* SAVED = "edit-fuzz.docx";
// A document that holds macros is refused as .docx: it is saved as .docm.
constexpr const char* SAVED_WITH_MACROS = "edit-fuzz.docm";

std::unique_ptr<DocxDocument> Starting() {
    auto document = DocxDocument::New("Document1", true);
    document->InsertText(0, "Braking shall stop the vehicle.\rWithin 40 m. é 漢\r\rNotes");
    document->SetBookmark("ELEM00000001", 0, 32);
    document->SetBookmark("Empty", 45, 45);
    document->SetHighlight(3, 20, 5);
    return document;
}

[[noreturn]] void Finding(const std::string& what) {
    fprintf(stderr, "edit fuzz: %s\n", what.c_str());
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<DocxDocument> document;
    std::size_t used = 0;
    std::mt19937 generator(static_cast<std::uint32_t>(size));
    bool package = size >= 2 && data[0] == 'P' && data[1] == 'K';
    try {
        document = package ? DocxDocument::FromBytes(
                                 std::string(reinterpret_cast<const char*>(data), size), "in.docx")
                           : Starting();
    } catch (const veln::host::HostError&) {
        return 0;  // a refused file
    }
    auto next = [&]() -> std::uint32_t {
        if (package) {
            return static_cast<std::uint32_t>(generator());
        }
        std::uint32_t value = 0;
        for (int k = 0; k < 4; ++k) {
            value = (value << 8) | (used < size ? data[used++] : 0);
        }
        return value;
    };
    try {
        veln::test::EditOracle oracle(*document);
        const int edits = document->StoryEnd() > LONG_STORY ? EDITS_OF_A_LONG_STORY : MOST_EDITS;
        for (int edit = 0; edit < edits && (package || used < size); ++edit) {
            std::string did = oracle.Apply(*document, next);
            if (std::string difference = oracle.DifferenceFrom(*document); !difference.empty()) {
                Finding("after " + did + ": " + difference);
            }
        }
        std::string saved = SAVED;
        try {
            document->SaveAs(saved);
        } catch (const veln::host::HostError& error) {
            if (std::string(error.what()).find("holds macros") == std::string::npos) {
                throw;
            }
            saved = SAVED_WITH_MACROS;
            document->SaveAs(saved);
        }
        auto reopened = DocxDocument::Open(saved);
        if (std::string difference = veln::test::EditOracle::Difference(*document, *reopened);
            !difference.empty()) {
            Finding("saved and read back: " + difference);
        }
    } catch (const veln::host::HostError& error) {
        // Edits the model refuses (a mark inside a paragraph) change nothing;
        // the oracle never asks for one, so any refusal is a finding.
        Finding(std::string("refused: ") + error.what());
    }
    std::error_code ignored;
    std::filesystem::remove(SAVED, ignored);
    std::filesystem::remove(SAVED_WITH_MACROS, ignored);
    return 0;
}
