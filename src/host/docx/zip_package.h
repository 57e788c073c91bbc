// The zip package of a .docx file, held in memory as the bytes read from disk
// so that parts nobody changed are written back exactly as they came. Only
// the parts the model reads are ever inflated whole; the others are checked
// by streaming them through and copied through compressed when saving.
// Hostile packages are refused on what they declare, before anything is
// inflated: an entry over 256 MiB, over 1 GiB in all, or parts to parse over
// 64 MiB in all. A name met twice keeps its first entry.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct zip;

namespace veln::host::docx {

inline constexpr std::uint64_t MAX_ENTRY_SIZE = 256ULL << 20;
inline constexpr std::uint64_t MAX_PACKAGE_SIZE = 1ULL << 30;
// The parts the model parses and keeps, in all: the memory a document takes
// grows with them (up to some twenty bytes for each).
inline constexpr std::uint64_t MAX_READ_SIZE = 64ULL << 20;

class ZipPackage {
  public:
    // Reads the package's directory; label names the file in errors.
    static ZipPackage FromBytes(std::string bytes, const std::string& label);

    ZipPackage(ZipPackage&& other) noexcept;
    ZipPackage& operator=(ZipPackage&& other) noexcept;
    ~ZipPackage();

    bool Has(const std::string& name) const;
    // The entry's data, checked against its checksum. The parts read whole
    // may not pass MAX_READ_SIZE in all.
    std::string Read(const std::string& name);
    // Checks every entry not read yet against its checksum, holding none of them.
    void CheckTheRest();
    // What reading noticed and passed over (an entry named twice), for the log.
    const std::vector<std::string>& Notes() const { return notes_; }

    // Writes the package as a new file at path, which must not exist:
    // replaced entries with their new data, the others copied through
    // compressed as they are, then added entries. source may be nullptr for a
    // package made from nothing; label names the document in errors.
    static void Write(const ZipPackage* source, const std::string& path, const std::string& label,
                      const std::map<std::string, std::string>& replaced,
                      const std::vector<std::pair<std::string, std::string>>& added);

  private:
    ZipPackage(std::string bytes, std::string label);
    // Reads the entry through; keeps the data when keep is set.
    std::string ReadIndex(std::uint64_t index, bool keep);

    // Held apart so the archive's view of it survives moves of the package.
    std::unique_ptr<std::string> bytes_;
    std::string label_;
    zip* archive_ = nullptr;
    std::vector<std::string> names_;
    std::map<std::string, std::uint64_t> indexes_;
    std::set<std::uint64_t> checked_;
    std::uint64_t read_ = 0;  // bytes of the parts read whole
    std::vector<std::string> notes_;
};

}  // namespace veln::host::docx
