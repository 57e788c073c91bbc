#include "host/sheet/long_cells.h"

#include <array>
#include <cstdio>
#include <memory>
#include <random>

#include <zip.h>

#include "host/host_error.h"

namespace veln::host {

namespace {

// The library's number for a file it cannot write.
constexpr long ERR_WRITE = 2;

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw HostError(ERR_WRITE, "cannot write " + path + ": " + what);
}

// The XML the library writes for a placeholder: its control characters as
// "_x0001_", the rest as it is.
std::string AsWritten(const std::string& placeholder) {
    std::string xml;
    for (char c : placeholder) {
        xml += c == '\x01' ? std::string("_x0001_") : std::string(1, c);
    }
    return xml;
}

// Element text as XML holds it; control characters the way the library
// writes them, so that the text reads back the same.
std::string XmlText(const std::string& text) {
    std::string xml;
    xml.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '&') {
            xml += "&amp;";
        } else if (c == '<') {
            xml += "&lt;";
        } else if (c == '>') {
            xml += "&gt;";
        } else if (byte < 0x20 && c != '\t' && c != '\n') {
            std::array<char, 8> code{};
            std::snprintf(code.data(), code.size(), "_x%04X_", byte);
            xml += code.data();
        } else {
            xml += c;
        }
    }
    return xml;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

}  // namespace

LongCells::LongCells() {
    std::random_device random;
    nonce_ = std::to_string(random()) + std::to_string(random());
}

std::string LongCells::Placeholder(const std::string& escaped) {
    std::string placeholder = "\x01VELN-" + nonce_ + "-" + std::to_string(texts_.size()) + "\x01";
    texts_.emplace(placeholder, escaped);
    return placeholder;
}

void LongCells::WriteInto(const std::string& path, const std::string& sheetPart) const {
    int error = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(path.c_str(), 0, &error));
    if (!archive) {
        Fail(path, "the workbook cannot be reopened");
    }
    zip_stat_t stat{};
    zip_stat_init(&stat);
    if (zip_stat(archive.get(), sheetPart.c_str(), 0, &stat) != 0) {
        Fail(path, "the workbook has no " + sheetPart);
    }
    std::string sheet(stat.size, '\0');
    zip_file_t* part = zip_fopen(archive.get(), sheetPart.c_str(), 0);
    bool read = part != nullptr &&
                zip_fread(part, sheet.data(), stat.size) == static_cast<zip_int64_t>(stat.size);
    if (part != nullptr) {
        zip_fclose(part);
    }
    if (!read) {
        Fail(path, "its sheet cannot be read back");
    }
    for (const auto& [placeholder, escaped] : texts_) {
        std::string written = "<t>" + AsWritten(placeholder) + "</t>";
        std::size_t at = sheet.find(written);
        if (at == std::string::npos) {
            Fail(path, "a long cell's place is not in its sheet");
        }
        sheet.replace(at, written.size(), "<t xml:space=\"preserve\">" + XmlText(escaped) + "</t>");
    }
    zip_source_t* source = zip_source_buffer(archive.get(), sheet.data(), sheet.size(), 0);
    if (source == nullptr || zip_file_add(archive.get(), sheetPart.c_str(), source,
                                          ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        if (source != nullptr) {
            zip_source_free(source);
        }
        Fail(path, "its sheet cannot be replaced");
    }
    // Closing writes the archive; the buffer must live until then.
    if (zip_close(archive.get()) != 0) {
        Fail(path, zip_strerror(archive.get()));
    }
    (void)archive.release();
}

}  // namespace veln::host
