#include "output_target.h"

#include <filesystem>
#include <system_error>

namespace veln::cli {

namespace {

namespace fs = std::filesystem;

// The same file, or the same name when one of them is not there (yet).
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error) {
        return true;
    }
    return fs::absolute(a, error).lexically_normal() == fs::absolute(b, error).lexically_normal();
}

[[noreturn]] void Refuse(const std::string& output, const std::string& what) {
    throw OutputRefused("will not write " + output + ": it is " + what +
                        "; an output goes to a new file or replaces a regular file that is "
                        "none of the project's");
}

}  // namespace

std::string OutputTarget(const std::string& output, const std::string& database,
                         const std::vector<ProjectDocument>& documents) {
    if (SameFile(output, database)) {
        Refuse(output, "the project database");
    }
    for (const ProjectDocument& document : documents) {
        if (SameFile(output, document.path)) {
            Refuse(output, "the project's document " + document.id);
        }
    }
    std::error_code error;
    fs::file_status link = fs::symlink_status(output, error);
    if (!fs::exists(link)) {
        return output;  // a new name
    }
    fs::file_status file = fs::status(output, error);
    if (fs::is_symlink(link) && !fs::exists(file)) {
        Refuse(output, "a symbolic link that leads nowhere");
    }
    if (fs::is_directory(file)) {
        Refuse(output, "a folder");
    }
    if (!fs::is_regular_file(file)) {
        Refuse(output, "a device, a pipe or a socket");
    }
    return fs::is_symlink(link) ? fs::canonical(output).string() : output;
}

}  // namespace veln::cli
