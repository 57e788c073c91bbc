// Feeds arbitrary bytes to the .docx reader. A file the reader refuses must
// be refused with a HostError; any other exception, crash, leak or hang is a
// fault in the reader.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/docx/docx_document.h"
#include "host/host_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        std::unique_ptr<veln::host::docx::DocxDocument> document =
            veln::host::docx::DocxDocument::FromBytes(std::move(bytes), "fuzz.docx");

        // Reading what was opened walks the story, bookmark and variable
        // structures the parser built, where a bad offset or dangling node
        // would show.
        long end = document->StoryEnd();
        std::size_t seen = document->TextOf(0, end).size();
        int count = document->BookmarkCount(true);
        for (int index = 1; index <= count; ++index) {
            veln::host::BookmarkInfo bookmark = document->BookmarkItem(index, true);
            seen += document->TextOf(bookmark.start, bookmark.end).size();
            seen += static_cast<std::size_t>(document->BookmarkIdAt(bookmark.start, true));
        }
        std::vector<std::string> names = document->VariableNames();
        for (const std::string& name : names) {
            seen += document->VariableValue(name).value_or("").size();
        }
        for (const veln::host::HyperlinkInfo& link : document->HyperlinkList()) {
            seen += link.address.size() + link.subAddress.size() + link.text.size();
        }
        // Keeps the reads from being optimised away.
        volatile std::size_t sink = seen;
        (void)sink;
    } catch (const veln::host::HostError&) {
        // A refused file: the expected outcome for most inputs.
    }
    return 0;
}
