#include "host/sheet/file_placement.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/host_error.h"

namespace veln::host {

namespace {

// The suffix of files being written, so that a crash leaves a recognisable name.
constexpr std::string_view PARTIAL_SUFFIX = ".part";

[[noreturn]] void Fail(int error, const std::string& what) {
    throw HostError(error, what + ": " + std::generic_category().message(error));
}

// A temporary file is made private (0600); what it becomes takes the mode of
// the user's other files: a replaced file's own, else 0666 less the umask.
void TakeUsualMode(const std::string& from, const std::string& to) {
    struct stat existing {};
    mode_t mode = 0;
    if (stat(to.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        // The umask can only be read by setting it; the outputs are written
        // one at a time, on the program's one thread.
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (chmod(from.c_str(), mode) != 0) {
        Fail(errno, "cannot write " + to);
    }
}

}  // namespace

std::string NewTemporaryFile(const std::string& folder) {
    std::string pattern =
        (std::filesystem::path(folder) / ".veln-XXXXXX").string() + std::string(PARTIAL_SUFFIX);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int file = mkstemps(name.data(), static_cast<int>(PARTIAL_SUFFIX.size()));
    if (file < 0) {
        Fail(errno, "cannot write a file in " + folder);
    }
    close(file);
    return name.data();
}

bool MoveFile(const std::string& from, const std::string& to, bool replace) {
    TakeUsualMode(from, to);
    if (replace) {
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            Fail(errno, "cannot write " + to);
        }
        return true;
    }
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        Fail(errno, "cannot write " + to);
    }
    // A file system that cannot refuse to replace in a rename: a new link to
    // the file is refused on a taken name just as well.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS) {
        Fail(errno, "cannot write " + to);
    }
    // Nor links: look first, then rename.
    struct stat existing {};
    if (lstat(to.c_str(), &existing) == 0) {
        return false;
    }
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        Fail(errno, "cannot write " + to);
    }
    return true;
}

}  // namespace veln::host
