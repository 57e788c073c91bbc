// The zip package of a .docx file, held in memory as the bytes read from disk
// so that parts nobody changed are written back exactly as they came.
// Hostile packages are refused: entries over 256 MiB, or compressed more than
// 100:1 beyond 10 MiB, or whose data fails its check.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct zip;

namespace veln::host::docx {

inline constexpr std::uint64_t MAX_ENTRY_SIZE = 256ULL << 20;
inline constexpr std::uint64_t RATIO_CHECK_SIZE = 10ULL << 20;
inline constexpr std::uint64_t MAX_RATIO = 100;

class ZipPackage {
  public:
    // Reads the package; with verify, reads every entry through to check its
    // data and size. label names the file in errors.
    static ZipPackage FromBytes(std::string bytes, const std::string& label, bool verify = true);

    ZipPackage(ZipPackage&& other) noexcept;
    ZipPackage& operator=(ZipPackage&& other) noexcept;
    ~ZipPackage();

    const std::vector<std::string>& EntryNames() const { return names_; }
    bool Has(const std::string& name) const;
    // The entry's data: taken from what the check read when it is still
    // held, read again from the package otherwise.
    std::string Read(const std::string& name);
    // Lets go of the data the check read and nobody took.
    void DropCache() { cache_.clear(); }

    // Writes the package to path: replaced entries with their new data, the
    // others copied through compressed as they are, then added entries. The
    // file is written beside path and renamed over it, so a failure leaves
    // the old file whole.
    // source may be nullptr for a package made from nothing.
    static void Write(const ZipPackage* source, const std::string& path,
                      const std::map<std::string, std::string>& replaced,
                      const std::vector<std::pair<std::string, std::string>>& added);

  private:
    ZipPackage(std::string bytes, std::string label);
    std::string ReadIndex(std::uint64_t index) const;

    // Held apart so the archive's view of it survives moves of the package.
    std::unique_ptr<std::string> bytes_;
    std::string label_;
    zip* archive_ = nullptr;
    std::vector<std::string> names_;
    std::map<std::string, std::uint64_t> indexes_;
    std::map<std::string, std::string> cache_;
};

}  // namespace veln::host::docx
