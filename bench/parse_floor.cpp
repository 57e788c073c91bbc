#include "parse_floor.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <zip.h>

namespace veln::bench {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// word/document.xml of an open package; the package is closed.
std::string TakeMainPart(zip_t* archive) {
    if (archive == nullptr) {
        throw std::runtime_error("parse floor: not a package");
    }
    zip_stat_t stat;
    zip_stat(archive, "word/document.xml", 0, &stat);
    std::string xml(stat.size, '\0');
    zip_file_t* file = zip_fopen(archive, "word/document.xml", 0);
    zip_fread(file, xml.data(), xml.size());
    zip_fclose(file);
    zip_discard(archive);
    return xml;
}

}  // namespace

std::string ReadMainPart(const std::string& path) {
    return TakeMainPart(zip_open(path.c_str(), ZIP_RDONLY, nullptr));
}

// The package is read whole and unzipped from memory, as the model reads it.
std::unique_ptr<ParsedMainPart> ParseMainPart(const std::string& path) {
    std::string bytes = ReadAll(path);
    zip_error_t error;
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    auto parsed = std::make_unique<ParsedMainPart>();
    parsed->xml = TakeMainPart(zip_open_from_source(source, ZIP_RDONLY, &error));
    parsed->document.load_buffer_inplace(parsed->xml.data(), parsed->xml.size());
    return parsed;
}

}  // namespace veln::bench
