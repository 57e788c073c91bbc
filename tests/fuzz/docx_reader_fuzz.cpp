// Feeds the .docx reader packages made to hurt it. A file the reader refuses
// must be refused with a HostError; any other exception, crash, leak, hang or
// memory blow-up is a fault in the reader.
//
// Mutating the bytes of a zip mostly breaks its checksums, so the mutator
// opens the package, changes one part (the main part most often) and zips it
// again: the mutations reach the XML. Besides libFuzzer's own byte changes,
// it builds what real documents seldom hold: structures thousands of levels
// deep, elements repeated thousands of times, and the characters and markers
// a reader must survive.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <zip.h>

#include "host/docx/docx_document.h"
#include "host/host_error.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The mutator reads no more than this of a package: it has to stay fast.
constexpr std::size_t MAX_UNPACKED = 16 << 20;

// Wrappers the story walks into, block-level and inline.
constexpr std::array<std::pair<const char*, const char*>, 4> BLOCK_WRAPPERS{{
    {"<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>"},
    {"<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>"},
    {"<w:customXml>", "</w:customXml>"},
    {"<w:tbl><w:tr><w:tc><w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt></w:tc></w:tr></w:tbl>"},
}};
constexpr std::array<std::pair<const char*, const char*>, 6> INLINE_WRAPPERS{{
    {"<w:hyperlink>", "</w:hyperlink>"},
    {"<w:smartTag>", "</w:smartTag>"},
    {"<w:ins>", "</w:ins>"},
    {"<w:del>", "</w:del>"},
    {"<w:fldSimple>", "</w:fldSimple>"},
    {"<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>"},
}};
// Pieces a reader must survive anywhere.
constexpr std::array<const char*, 12> FRAGMENTS{
    R"(<w:bookmarkStart w:id="7" w:name="ELEM00000001"/>)",
    R"(<w:bookmarkEnd w:id="7"/>)",
    R"(<w:bookmarkStart w:id="7" w:name="_Toc1"/>)",
    "&#0;",
    "&#x1;",
    "\xFF\xC3",
    R"(<w:br w:type="page"/>)",
    "<w:r><w:t>x</w:t></w:r>",
    "<w:p/>",
    R"(<w:docVar w:name="VARDOC_DOC_ID" w:val="&#1;"/>)",
    R"(<w:sym w:char="FFFFFFFF"/>)",
    "<w:tab/><w:noBreakHyphen/>",
};

bool Unpack(const std::uint8_t* data, std::size_t size, Entries& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    zip_t* archive = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        zip_source_free(source);
        return false;
    }
    std::size_t total = 0;
    bool ok = true;
    for (zip_int64_t i = 0; ok && i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        auto index = static_cast<zip_uint64_t>(i);
        ok = zip_stat_index(archive, index, 0, &stat) == 0 && stat.name != nullptr &&
             (total += stat.size) <= MAX_UNPACKED;
        zip_file_t* file = ok ? zip_fopen_index(archive, index, 0) : nullptr;
        if (file == nullptr) {
            ok = false;
            break;
        }
        std::string part(stat.size, '\0');
        ok = zip_fread(file, part.data(), part.size()) == static_cast<zip_int64_t>(part.size());
        zip_fclose(file);
        entries.emplace_back(stat.name, std::move(part));
    }
    zip_discard(archive);
    return ok && !entries.empty();
}

std::string Pack(const Entries& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (buffer == nullptr) {
        return {};
    }
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    if (archive == nullptr) {
        zip_source_free(buffer);
        return {};
    }
    for (const auto& [name, part] : entries) {
        zip_source_t* data = zip_source_buffer(archive, part.data(), part.size(), 0);
        zip_int64_t index = zip_file_add(archive, name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
        } else {
            // The best compression, so deep and wide structures still fit.
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
        }
    }
    std::string packed;
    if (zip_close(archive) != 0) {
        zip_discard(archive);
    } else if (zip_source_open(buffer) == 0) {
        zip_source_seek(buffer, 0, SEEK_END);
        zip_int64_t size = zip_source_tell(buffer);
        zip_source_seek(buffer, 0, SEEK_SET);
        packed.resize(static_cast<std::size_t>(std::max<zip_int64_t>(size, 0)));
        zip_source_read(buffer, packed.data(), packed.size());
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return packed;
}

// A random element of xml named tag ("w:p", "w:r"), whole: its bounds, or
// {npos, npos}.
std::pair<std::size_t, std::size_t> ElementSpan(const std::string& xml, const std::string& tag,
                                                std::minstd_rand& random) {
    std::vector<std::size_t> starts;
    for (std::size_t at = xml.find("<" + tag); at != std::string::npos && starts.size() < 4096;
         at = xml.find("<" + tag, at + 1)) {
        char next = at + tag.size() + 1 < xml.size() ? xml[at + tag.size() + 1] : '\0';
        if (next == '>' || next == ' ' || next == '/') {
            starts.push_back(at);
        }
    }
    if (starts.empty()) {
        return {std::string::npos, std::string::npos};
    }
    std::size_t start = starts[random() % starts.size()];
    std::size_t close = xml.find('>', start);
    if (close != std::string::npos && xml[close - 1] == '/') {
        return {start, close + 1};
    }
    std::size_t end = xml.find("</" + tag + ">", start);
    if (end == std::string::npos) {
        return {std::string::npos, std::string::npos};
    }
    return {start, end + tag.size() + 3};
}

void Deepen(std::string& xml, std::minstd_rand& random) {
    bool block = random() % 2 == 0;
    auto [start, end] = ElementSpan(xml, block ? "w:p" : "w:r", random);
    if (start == std::string::npos) {
        return;
    }
    const auto& [open, close] = block ? BLOCK_WRAPPERS[random() % BLOCK_WRAPPERS.size()]
                                      : INLINE_WRAPPERS[random() % INLINE_WRAPPERS.size()];
    // Now and then far past any limit, otherwise around it.
    std::size_t depth = random() % 4 == 0 ? 1 + random() % 20000 : 1 + random() % 400;
    std::string wrapped;
    for (std::size_t i = 0; i < depth; ++i) {
        wrapped += open;
    }
    wrapped += xml.substr(start, end - start);
    for (std::size_t i = 0; i < depth; ++i) {
        wrapped += close;
    }
    xml.replace(start, end - start, wrapped);
}

void Widen(std::string& xml, std::minstd_rand& random) {
    const char* tags[] = {"w:p", "w:r", "w:bookmarkStart", "w:docVar", "w:t"};
    auto [start, end] = ElementSpan(xml, tags[random() % std::size(tags)], random);
    if (start == std::string::npos) {
        return;
    }
    std::string element = xml.substr(start, end - start);
    std::size_t copies = 1 + random() % 20000;
    std::string repeated;
    repeated.reserve(element.size() * copies);
    for (std::size_t i = 0; i < copies && repeated.size() < MAX_UNPACKED / 2; ++i) {
        repeated += element;
    }
    xml.insert(end, repeated);
}

void Splice(std::string& xml, std::minstd_rand& random) {
    std::size_t at = xml.empty() ? 0 : random() % xml.size();
    // Between two elements, where most fragments are well-formed.
    std::size_t gap = xml.find('>', at);
    xml.insert(gap == std::string::npos ? xml.size() : gap + 1,
               FRAGMENTS[random() % FRAGMENTS.size()]);
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    Entries entries;
    if (random() % 8 == 0 || !Unpack(data, size, entries)) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::size_t chosen = random() % entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].first == "word/document.xml" && random() % 4 != 0) {
            chosen = i;
        }
    }
    std::string& part = entries[chosen].second;
    switch (random() % 4) {
        case 0: {
            std::size_t length = part.size();
            part.resize(length * 2 + 256);
            part.resize(LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(part.data()), length,
                                         part.size()));
            break;
        }
        case 1:
            Deepen(part, random);
            break;
        case 2:
            Widen(part, random);
            break;
        default:
            Splice(part, random);
            break;
    }
    std::string packed = Pack(entries);
    if (packed.empty() || packed.size() > maxSize) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    std::memcpy(data, packed.data(), packed.size());
    return packed.size();
}

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
