#include "host/docx/disk_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/word/document.h"

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

// A chain of links longer than this is a loop, as the kernel counts them.
constexpr int MAX_LINKS = 40;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

DiskState StateOfStatus(const struct stat& status) {
    return {true, static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino), static_cast<std::int64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

}  // namespace

DiskState StateOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return {};
    }
    return StateOfStatus(status);
}

std::string ReadRegularFile(const std::string& path, std::uint64_t limit, DiskState* state) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer forever.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        int error = errno;
        throw HostError(WordError::FILE_NOT_FOUND,
                        path + (error == ENOENT ? ": the file does not exist"
                                                : ": the file cannot be read (" +
                                                      std::string(std::strerror(error)) + ")"));
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        throw HostError(WordError::FILE_CORRUPT, path + ": is a folder, not a document");
    }
    if (!S_ISREG(status.st_mode)) {
        throw HostError(WordError::FILE_CORRUPT,
                        path +
                            ": is not a regular file (a device, a pipe or a socket), "
                            "which is never read as a document");
    }
    if (static_cast<std::uint64_t>(status.st_size) > limit) {
        throw HostError(
            WordError::FILE_CORRUPT,
            path + ": is larger than " + std::to_string(limit >> 20) + " MiB, which is refused");
    }
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        ssize_t read = ::read(file.Get(), bytes.data() + filled, bytes.size() - filled);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            throw HostError(WordError::FILE_NOT_FOUND,
                            path + ": the file cannot be read (" + std::strerror(errno) + ")");
        }
        if (read == 0) {
            break;  // shortened while we read: what there is, is read
        }
        filled += static_cast<std::size_t>(read);
    }
    bytes.resize(filled);
    if (state != nullptr) {
        *state = StateOfStatus(status);
    }
    return bytes;
}

std::string FollowLinks(const std::string& path) {
    fs::path current(path);
    std::error_code error;
    for (int hops = 0; fs::is_symlink(current, error); ++hops) {
        if (hops == MAX_LINKS) {
            throw HostError(WordError::CANNOT_SAVE,
                            path + ": cannot be saved (its symbolic links form a loop)");
        }
        fs::path target = fs::read_symlink(current, error);
        current = target.is_absolute() ? target : current.parent_path() / target;
        current = current.lexically_normal();
    }
    return current.string();
}

}  // namespace veln::host::docx
