#include "host/docx/lock_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veln::host::docx {

namespace fs = std::filesystem;

namespace {

// LibreOffice's lock holds five fields; a longer file is not one.
constexpr std::size_t FIELDS = 5;
constexpr std::size_t MAX_LOCK_BYTES = 4096;

// Commas, semicolons and backslashes inside a field are escaped with a backslash.
std::string Escaped(const std::string& field) {
    std::string out;
    for (char c : field) {
        if (c == ',' || c == ';' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            fields.back() += text[++i];
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == ';') {
            return fields;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 32> text{};
    std::size_t length = std::strftime(text.data(), text.size(), "%d.%m.%Y %H:%M", &local);
    return {text.data(), length};
}

// The last part of the profile field of the locks VELN writes.
constexpr std::string_view VELN_PROFILE = "/.config/veln";

std::string ThisHost() {
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) != 0) {
        host[0] = '\0';
    }
    return host.data();
}

std::string OurLock() {
    std::string name;
    std::string login;
    std::string home;
    if (const passwd* user = ::getpwuid(::getuid())) {  // NOLINT(concurrency-mt-unsafe)
        login = user->pw_name != nullptr ? user->pw_name : "";
        name = user->pw_gecos != nullptr ? user->pw_gecos : "";
        name = name.substr(0, name.find(','));
        home = user->pw_dir != nullptr ? user->pw_dir : "";
    }
    return Escaped(name) + "," + Escaped(login) + "," + Escaped(ThisHost()) + "," + Escaped(Now()) +
           "," + Escaped("file://" + home + std::string(VELN_PROFILE)) + ";";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(MAX_LOCK_BYTES, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

// A lock VELN writes is held, as long as its process lives, by an advisory
// lock on the file (flock), which the system lets go when the process ends
// however it ends. A lock VELN wrote on this host that nobody holds so was
// left by a process that is gone: it is removed, as long as it is still the
// file that was found free. LibreOffice's locks, and those of other hosts,
// are never judged so.
bool RemovedAsStale(const std::string& path, const std::vector<std::string>& fields) {
    if (fields.size() < FIELDS || fields[2] != ThisHost() || !fields[4].ends_with(VELN_PROFILE)) {
        return false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool removed = false;
    struct stat held {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
        ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev) {
        removed = ::unlink(path.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

// The locks this process holds, by path, with what it wrote in each.
std::mutex heldMutex;
std::map<std::string, std::string>& Held() {
    static std::map<std::string, std::string> held;
    return held;
}

void RemoveIfOurs(const std::string& path, const std::string& content) {
    if (ReadText(path) == content) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

}  // namespace

void ReleaseEveryLock() {
    std::lock_guard<std::mutex> guard(heldMutex);
    for (const auto& [path, content] : Held()) {
        RemoveIfOurs(path, content);
    }
    Held().clear();
}

std::string LockOwner::Who() const {
    if (!name.empty()) {
        return name;
    }
    return host.empty() ? login : login + "@" + host;
}

std::string LockPathOf(const std::string& documentPath) {
    fs::path path(documentPath);
    return (path.parent_path() / (".~lock." + path.filename().string() + "#")).string();
}

std::optional<LockOwner> ReadLock(const std::string& documentPath) {
    std::error_code error;
    std::string path = LockPathOf(documentPath);
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::vector<std::string> fields = Fields(ReadText(path));
    if (RemovedAsStale(path, fields)) {
        return std::nullopt;
    }
    fields.resize(std::max(fields.size(), FIELDS));
    return LockOwner{fields[0], fields[1], fields[2], fields[3]};
}

std::optional<DocumentLock> DocumentLock::Take(const std::string& documentPath) {
    std::string path = LockPathOf(documentPath);
    ReadLock(documentPath);  // a stale lock goes
    // O_EXCL: of two programs taking it at once, one gets it. Held before it
    // is written, so that it is never seen whole and free.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string content = OurLock();
    bool written =
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (!written) {
        std::error_code ignored;
        fs::remove(path, ignored);
        ::close(fd);
        return std::nullopt;
    }
    return DocumentLock(path, content, fd);
}

DocumentLock::DocumentLock(std::string path, std::string content, int fd)
    : path_(std::move(path)), content_(std::move(content)), fd_(fd) {
    std::lock_guard<std::mutex> guard(heldMutex);
    Held()[path_] = content_;
}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept
    : path_(std::exchange(other.path_, std::string())),
      content_(std::move(other.content_)),
      fd_(std::exchange(other.fd_, -1)) {}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::exchange(other.path_, std::string());
        content_ = std::move(other.content_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

DocumentLock::~DocumentLock() {
    Release();
}

void DocumentLock::Release() {
    if (!path_.empty()) {
        std::lock_guard<std::mutex> guard(heldMutex);
        RemoveIfOurs(path_, content_);
        Held().erase(path_);
    }
    path_.clear();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace veln::host::docx
