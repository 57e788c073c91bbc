#include "host/docx/lock_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
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
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) != 0) {
        host[0] = '\0';
    }
    return Escaped(name) + "," + Escaped(login) + "," + Escaped(host.data()) + "," +
           Escaped(Now()) + "," + Escaped("file://" + home + "/.config/veln") + ";";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(MAX_LOCK_BYTES, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace

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
    fields.resize(std::max(fields.size(), FIELDS));
    return LockOwner{fields[0], fields[1], fields[2], fields[3]};
}

std::optional<DocumentLock> DocumentLock::Take(const std::string& documentPath) {
    std::string path = LockPathOf(documentPath);
    // O_EXCL: of two programs taking it at once, one gets it.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string content = OurLock();
    bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(fd);
    if (!written) {
        std::error_code ignored;
        fs::remove(path, ignored);
        return std::nullopt;
    }
    return DocumentLock(path, content);
}

DocumentLock::DocumentLock(std::string path, std::string content)
    : path_(std::move(path)), content_(std::move(content)) {}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept
    : path_(std::exchange(other.path_, std::string())), content_(std::move(other.content_)) {}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::exchange(other.path_, std::string());
        content_ = std::move(other.content_);
    }
    return *this;
}

DocumentLock::~DocumentLock() {
    Release();
}

void DocumentLock::Release() {
    if (!path_.empty() && ReadText(path_) == content_) {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    path_.clear();
}

}  // namespace veln::host::docx
