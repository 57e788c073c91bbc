#include "host/docx/file_replacement.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/docx/disk_file.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

// Temporaries are named ".~veln-PID@HOST~NAME.RANDOM": the process that
// writes one, so that only those of dead processes are taken for debris.
constexpr std::string_view PREFIX = ".~veln-";
// The document's name is cut so the whole stays within a file name's 255
// bytes, libzip's own suffix included.
constexpr std::size_t NAME_BYTES = 120;
constexpr std::size_t HOST_BYTES = 64;

std::string HostName() {
    std::array<char, HOST_BYTES + 1> name{};
    if (::gethostname(name.data(), HOST_BYTES) != 0) {
        return "localhost";
    }
    std::string host(name.data());
    for (char& c : host) {
        c = c == '~' || c == '/' ? '_' : c;
    }
    return host;
}

std::string ShortName(const std::string& name) {
    if (name.size() <= NAME_BYTES) {
        return name;
    }
    std::size_t cut = NAME_BYTES;
    // Never in the middle of a character.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return name.substr(0, cut);
}

HostError Failed(const std::string& path, const std::string& reason) {
    return HostError(WordError::CANNOT_SAVE, path + ": cannot be saved (" + reason + ")");
}

bool ProcessIsGone(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path)
    : path_(path), target_(FollowLinks(path)) {
    struct stat status {};
    if (::stat(target_.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            throw Failed(path_, "it is not a regular file");
        }
        // Write permission for nobody is read-only even to root, who passes
        // every access() test.
        if (::access(target_.c_str(), W_OK) != 0 || (status.st_mode & 0222) == 0) {
            throw HostError(WordError::CANNOT_SAVE,
                            path_ +
                                " is read-only: it cannot be saved over (save it under "
                                "another name)");
        }
        existed_ = true;
        mode_ = status.st_mode & 07777;
        owner_ = status.st_uid;
        group_ = status.st_gid;
    }
    RemoveStaleTemporaries();
    fs::path target(target_);
    std::random_device random;
    std::uniform_int_distribution<int> letter(0, 25);
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += static_cast<char>('a' + letter(random));
    }
    temporary_ = (target.parent_path() /
                  (std::string(PREFIX) + std::to_string(::getpid()) + "@" + HostName() + "~" +
                   ShortName(target.filename().string()) + "." + suffix))
                     .string();
}

FileReplacement::~FileReplacement() {
    if (!committed_) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
}

void FileReplacement::RemoveStaleTemporaries() const {
    fs::path target(target_);
    const std::string host = HostName();
    const std::string mine = ShortName(target.filename().string()) + ".";
    std::error_code error;
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with(PREFIX)) {
            continue;
        }
        std::size_t at = name.find('@');
        std::size_t tilde = name.find('~', PREFIX.size());
        if (at == std::string::npos || tilde == std::string::npos || tilde < at) {
            continue;
        }
        long pid = std::strtol(name.c_str() + PREFIX.size(), nullptr, 10);
        bool ours = name.compare(at + 1, tilde - at - 1, host) == 0 &&
                    name.compare(tilde + 1, mine.size(), mine) == 0;
        // A process of this host that is gone, or this very one (which is
        // not writing this file now), left it.
        if (ours && pid > 0 && (pid == ::getpid() || ProcessIsGone(pid))) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
}

void FileReplacement::Commit() {
    int fd = ::open(temporary_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        throw Failed(path_, std::strerror(errno));
    }
    if (existed_) {
        // The new file stands for the old one: same permissions, owner and
        // group, as far as this user may set them.
        if (::fchown(fd, owner_, group_) != 0) {
            (void)::fchown(fd, static_cast<uid_t>(-1), group_);
        }
        ::fchmod(fd, mode_);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    // Flushed before the rename: the name never points at data still in flight.
    bool flushed = ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    if (!flushed) {
        throw Failed(path_, std::strerror(error));
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        throw Failed(path_, std::strerror(errno));
    }
    committed_ = true;
    // And the folder after it, so the new name itself survives a crash.
    fs::path folder = fs::path(target_).parent_path();
    int directory =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

}  // namespace veln::host::docx
