#include "host/docx/zip_package.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include <zip.h>

#include "host/word/document.h"

namespace veln::host::docx {

namespace {

// Whether the stored (compressed) bytes of an entry can all be read, as a
// save copies them: a size that runs past the end of the file, from the
// entry's own place, cannot.
bool StoredBytesReadable(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat,
                         std::size_t fileSize) {
    if ((stat.valid & ZIP_STAT_COMP_SIZE) == 0) {
        return true;
    }
    if (stat.comp_size > fileSize) {
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive, index, ZIP_FL_COMPRESSED);
    if (file == nullptr) {
        return false;
    }
    std::array<char, 1 << 16> chunk{};
    zip_uint64_t read = 0;
    while (read < stat.comp_size) {
        zip_int64_t got = zip_fread(file, chunk.data(), chunk.size());
        if (got <= 0) {
            break;
        }
        read += static_cast<zip_uint64_t>(got);
    }
    zip_fclose(file);
    return read >= stat.comp_size;
}

// Deflate level of the parts we write.
constexpr int DEFLATE_LEVEL = 6;

HostError Corrupt(const std::string& label, const std::string& reason) {
    return HostError(WordError::FILE_CORRUPT, label + ": " + reason);
}

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

}  // namespace

ZipPackage::ZipPackage(std::string bytes, std::string label)
    : bytes_(std::make_unique<std::string>(std::move(bytes))), label_(std::move(label)) {}

ZipPackage ZipPackage::FromBytes(std::string bytes, const std::string& label) {
    ZipPackage package(std::move(bytes), label);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(package.bytes_->data(), package.bytes_->size(), 0, &error);
    if (source == nullptr) {
        throw Corrupt(label, "cannot read the package");
    }
    package.archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (package.archive_ == nullptr) {
        zip_source_free(source);
        std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw Corrupt(label, "not a valid zip package (" + reason + ")");
    }
    zip_int64_t count = zip_get_num_entries(package.archive_, 0);
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(package.archive_, static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
            stat.name == nullptr) {
            throw Corrupt(label, "unreadable zip entry " + std::to_string(i));
        }
        std::string name = stat.name;
        if (stat.size > MAX_ENTRY_SIZE) {
            throw Corrupt(label, name + " is larger than 256 MiB uncompressed, which is refused");
        }
        total += stat.size;
        if (total > MAX_PACKAGE_SIZE) {
            throw Corrupt(label,
                          "its parts are larger than 1 GiB uncompressed in all, which is "
                          "refused");
        }
        // A part whose stored bytes run past the end of the file cannot be
        // copied, so no save could write it: refused now rather than at the save.
        if (!StoredBytesReadable(package.archive_, static_cast<zip_uint64_t>(i), stat,
                                 package.bytes_->size())) {
            throw Corrupt(label, name + " claims more bytes than the file holds");
        }
        if (stat.encryption_method != ZIP_EM_NONE) {
            throw Corrupt(label, name + " is encrypted");
        }
        if (package.indexes_.contains(name)) {
            // Word keeps the first; a second copy would make every save fail.
            package.notes_.push_back("the package holds " + name +
                                     " more than once: the first is kept, the others dropped");
            continue;
        }
        package.indexes_[name] = static_cast<std::uint64_t>(i);
        package.names_.push_back(std::move(name));
    }
    return package;
}

ZipPackage::ZipPackage(ZipPackage&& other) noexcept
    : bytes_(std::move(other.bytes_)),
      label_(std::move(other.label_)),
      archive_(std::exchange(other.archive_, nullptr)),
      names_(std::move(other.names_)),
      indexes_(std::move(other.indexes_)),
      checked_(std::move(other.checked_)),
      read_(other.read_),
      notes_(std::move(other.notes_)) {}

ZipPackage& ZipPackage::operator=(ZipPackage&& other) noexcept {
    if (this != &other) {
        if (archive_ != nullptr) {
            zip_discard(archive_);
        }
        bytes_ = std::move(other.bytes_);
        label_ = std::move(other.label_);
        archive_ = std::exchange(other.archive_, nullptr);
        names_ = std::move(other.names_);
        indexes_ = std::move(other.indexes_);
        checked_ = std::move(other.checked_);
        read_ = other.read_;
        notes_ = std::move(other.notes_);
    }
    return *this;
}

ZipPackage::~ZipPackage() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
    }
}

bool ZipPackage::Has(const std::string& name) const {
    return indexes_.contains(name);
}

std::string ZipPackage::Read(const std::string& name) {
    auto found = indexes_.find(name);
    if (found == indexes_.end()) {
        throw Corrupt(label_, "the package has no part " + name);
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_stat_index(archive_, found->second, 0, &stat);
    read_ += stat.size;
    if (read_ > MAX_READ_SIZE) {
        throw Corrupt(label_, "its XML parts are larger than " +
                                  std::to_string(MAX_READ_SIZE >> 20) +
                                  " MiB in all, more than a document is read with");
    }
    return ReadIndex(found->second, true);
}

void ZipPackage::CheckTheRest() {
    for (const auto& name : names_) {
        std::uint64_t index = indexes_.at(name);
        if (!checked_.contains(index) && !name.ends_with("/")) {
            ReadIndex(index, false);
        }
    }
}

std::string ZipPackage::ReadIndex(std::uint64_t index, bool keep) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_stat_index(archive_, index, 0, &stat);
    std::string name = stat.name == nullptr ? "?" : stat.name;
    zip_file_t* file = zip_fopen_index(archive_, index, 0);
    if (file == nullptr) {
        throw Corrupt(label_, name + ": " + zip_strerror(archive_));
    }
    // Read straight into place, or through a small buffer when only checked;
    // the entry may not hold more than it declares, and reading to its end
    // makes libzip check its checksum.
    constexpr std::size_t CHUNK = 64 << 10;
    std::string data(keep ? static_cast<std::size_t>(stat.size) : CHUNK, '\0');
    std::uint64_t total = 0;
    for (;;) {
        std::size_t room = keep ? data.size() - static_cast<std::size_t>(total) : data.size();
        char overflow = 0;
        bool full = keep && room == 0;
        zip_int64_t read = full ? zip_fread(file, &overflow, 1)
                                : zip_fread(file, data.data() + (keep ? total : 0), room);
        if (read < 0) {
            std::string reason = zip_file_strerror(file);
            zip_fclose(file);
            throw Corrupt(label_, name + " cannot be read (" + reason + ")");
        }
        if (read == 0) {
            break;
        }
        total += static_cast<std::uint64_t>(read);
        if (full || total > stat.size) {
            zip_fclose(file);
            throw Corrupt(label_, name + " holds more data than it declares");
        }
    }
    data.resize(keep ? static_cast<std::size_t>(total) : 0);
    int closed = zip_fclose(file);
    if (closed != 0) {
        throw Corrupt(label_, name + " fails its check (" + ZipErrorText(closed) + ")");
    }
    checked_.insert(index);
    return data;
}

void ZipPackage::Write(const ZipPackage* source, const std::string& path, const std::string& label,
                       const std::map<std::string, std::string>& replaced,
                       const std::vector<std::pair<std::string, std::string>>& added) {
    auto fail = [&](const std::string& reason) {
        return HostError(WordError::CANNOT_SAVE, label + ": cannot be saved (" + reason + ")");
    };
    int code = 0;
    // The caller names a new file; making the old one give way is its business.
    zip_t* out = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (out == nullptr) {
        throw fail(ZipErrorText(code));
    }
    auto add = [&](const std::string& name, zip_source_t* source, bool compress,
                   std::optional<time_t> mtime) {
        if (source == nullptr) {
            std::string reason = zip_strerror(out);
            zip_discard(out);
            throw fail(reason);
        }
        zip_int64_t index = zip_file_add(out, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            std::string reason = zip_strerror(out);
            zip_discard(out);
            throw fail(reason);
        }
        auto at = static_cast<zip_uint64_t>(index);
        if (compress) {
            zip_set_file_compression(out, at, ZIP_CM_DEFLATE, DEFLATE_LEVEL);
        }
        if (mtime) {
            zip_file_set_mtime(out, at, *mtime, 0);
        }
    };
    if (source != nullptr) {
        for (const auto& name : source->names_) {
            zip_uint64_t index = source->indexes_.at(name);
            zip_stat_t stat;
            zip_stat_init(&stat);
            zip_stat_index(source->archive_, index, 0, &stat);
            std::optional<time_t> mtime;
            if ((stat.valid & ZIP_STAT_MTIME) != 0) {
                mtime = stat.mtime;
            }
            auto replacement = replaced.find(name);
            if (replacement != replaced.end()) {
                add(name,
                    zip_source_buffer(out, replacement->second.data(), replacement->second.size(),
                                      0),
                    true, mtime);
            } else {
                // Start 0 and length -1: the compressed data is copied as it is.
                add(name, zip_source_zip(out, source->archive_, index, 0, 0, -1), false, mtime);
            }
        }
    }
    for (const auto& [name, data] : added) {
        add(name, zip_source_buffer(out, data.data(), data.size(), 0), true, std::nullopt);
    }
    if (zip_close(out) != 0) {
        std::string reason = zip_strerror(out);
        zip_discard(out);
        throw fail(reason);
    }
}

}  // namespace veln::host::docx
