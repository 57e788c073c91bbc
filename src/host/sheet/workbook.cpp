#include "host/sheet/workbook.h"

#include <filesystem>
#include <system_error>

#include "host/host_error.h"
#include "host/sheet/file_placement.h"
#include "host/sheet/xlsx_file.h"

namespace veln::host {

namespace {

constexpr const char* EXTENSION = ".xlsx";
// Enough names for any folder a person keeps; past it something is wrong.
constexpr int MOST_TAKEN_NAMES = 10000;

// Writes the workbook beside its destination; the caller moves it there.
std::string WriteBeside(const Workbook& workbook, const std::string& folder) {
    std::string partial = NewTemporaryFile(folder);
    try {
        WriteXlsxFile(workbook, partial);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw;
    }
    return partial;
}

void Remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

}  // namespace

void Workbook::SaveAs(const std::string& path) const {
    std::filesystem::path target(path);
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) {
        throw HostError(EISDIR, "cannot write " + path + ": it is a folder");
    }
    std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
    std::string partial = WriteBeside(*this, folder);
    try {
        MoveFile(partial, path, true);
    } catch (...) {
        Remove(partial);
        throw;
    }
}

std::string Workbook::SaveAsNew(const std::string& folder, const std::string& stem) const {
    std::string partial = WriteBeside(*this, folder);
    try {
        for (int n = 1; n <= MOST_TAKEN_NAMES; ++n) {
            std::string name = stem + (n == 1 ? "" : " (" + std::to_string(n) + ")") + EXTENSION;
            std::string path = (std::filesystem::path(folder) / name).string();
            if (MoveFile(partial, path, false)) {
                return path;
            }
        }
    } catch (...) {
        Remove(partial);
        throw;
    }
    Remove(partial);
    throw HostError(EEXIST, "cannot write " + stem + EXTENSION + " in " + folder +
                                ": every name up to (" + std::to_string(MOST_TAKEN_NAMES) +
                                ") is taken");
}

}  // namespace veln::host
