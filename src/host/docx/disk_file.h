// Document files as the model meets them on disk: read only when they are
// regular files of a sane size, followed through symbolic links when
// written, and recognised again by what the file system says of them.
#pragma once

#include <cstdint>
#include <string>

namespace veln::host::docx {

// What the file system says of a file: enough to tell that someone replaced
// or rewrote it since it was last seen.
struct DiskState {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds

    bool operator==(const DiskState&) const = default;
};

DiskState StateOf(const std::string& path);

// The whole file, which must be a regular file (a pipe would block, a device
// never end) of at most limit bytes; a HostError naming path otherwise.
// state, when given, receives the state of the file read.
std::string ReadRegularFile(const std::string& path, std::uint64_t limit,
                            DiskState* state = nullptr);

// The file that path names once its symbolic links are followed: saving
// through a link writes its target and leaves the link a link.
std::string FollowLinks(const std::string& path);

}  // namespace veln::host::docx
