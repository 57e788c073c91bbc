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

// An input opened as a zip package; the archive views the input's bytes.
class Package {
  public:
    Package(const std::uint8_t* data, std::size_t size) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
        archive_ = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
        if (archive_ == nullptr) {
            zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;
    ~Package() {
        if (archive_ != nullptr) {
            zip_discard(archive_);
        }
    }
    zip_int64_t Count() const { return archive_ == nullptr ? 0 : zip_get_num_entries(archive_, 0); }
    std::string Name(zip_int64_t index) const {
        const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(index), 0);
        return name == nullptr ? std::string() : name;
    }
    // The entry's data; false when it cannot be read or is too large.
    bool Read(zip_int64_t index, std::string& data) const {
        zip_stat_t stat;
        zip_stat_init(&stat);
        auto at = static_cast<zip_uint64_t>(index);
        if (zip_stat_index(archive_, at, 0, &stat) != 0 || stat.size > MAX_UNPACKED) {
            return false;
        }
        zip_file_t* file = zip_fopen_index(archive_, at, 0);
        if (file == nullptr) {
            return false;
        }
        data.assign(stat.size, '\0');
        bool read =
            zip_fread(file, data.data(), data.size()) == static_cast<zip_int64_t>(data.size());
        zip_fclose(file);
        return read;
    }
    // The package again with one entry's data replaced; the others are
    // copied through compressed, never inflated.
    std::string With(zip_int64_t changed, const std::string& data) const {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
        zip_error_fini(&error);
        if (buffer == nullptr) {
            return {};
        }
        zip_source_keep(buffer);
        zip_t* out = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
        if (out == nullptr) {
            zip_source_free(buffer);
            return {};
        }
        for (zip_int64_t i = 0; i < Count(); ++i) {
            auto at = static_cast<zip_uint64_t>(i);
            zip_source_t* source = i == changed
                                       ? zip_source_buffer(out, data.data(), data.size(), 0)
                                       : zip_source_zip(out, archive_, at, 0, 0, -1);
            if (source != nullptr && zip_file_add(out, Name(i).c_str(), source, 0) < 0) {
                zip_source_free(source);
            }
        }
        std::string packed;
        if (zip_close(out) != 0) {
            zip_discard(out);
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

  private:
    zip_t* archive_ = nullptr;
};

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
    // Many copies of something small, few of something large.
    std::size_t copies = std::min<std::size_t>(
        1 + random() % 20000, MAX_UNPACKED / 2 / std::max<std::size_t>(element.size(), 1));
    std::string repeated;
    repeated.reserve(element.size() * copies);
    for (std::size_t i = 0; i < copies; ++i) {
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
    std::string packed;
    {
        Package package(data, size);
        zip_int64_t count = package.Count();
        if (count == 0 || random() % 8 == 0) {
            return LLVMFuzzerMutate(data, size, maxSize);
        }
        // The main part most often: it is where the story lives.
        zip_int64_t chosen = static_cast<zip_int64_t>(random() % static_cast<unsigned>(count));
        for (zip_int64_t i = 0; i < count; ++i) {
            if (package.Name(i) == "word/document.xml" && random() % 4 != 0) {
                chosen = i;
            }
        }
        std::string part;
        if (!package.Read(chosen, part)) {
            return LLVMFuzzerMutate(data, size, maxSize);
        }
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
        packed = package.With(chosen, part);
    }
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
