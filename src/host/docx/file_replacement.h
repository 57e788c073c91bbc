// Replacing a document's file so that a crash at any moment leaves the old
// file or the new one, whole: the new file is written beside the old one
// under a temporary name, flushed, given the old file's mode, owner and
// group, renamed over it, and the folder flushed. Temporaries that a save
// killed midway left behind go at the next save of the same file.
#pragma once

#include <string>

namespace veln::host::docx {

class FileReplacement {
  public:
    // Prepares to replace the file at path, or to make it; through a symbolic
    // link, its target. A file that is read-only, or not a regular file, is
    // refused with a HostError as word processors refuse it.
    explicit FileReplacement(const std::string& path);
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Removes the temporary file of a replacement never committed.
    ~FileReplacement();

    const std::string& Target() const { return target_; }
    // Where the new file is to be written; nothing is there yet.
    const std::string& Temporary() const { return temporary_; }
    // Puts the file written at Temporary() in the target's place.
    void Commit();

  private:
    void RemoveStaleTemporaries() const;

    std::string path_;  // as the caller named it, for messages
    std::string target_;
    std::string temporary_;
    bool existed_ = false;
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
    bool committed_ = false;
};

}  // namespace veln::host::docx
