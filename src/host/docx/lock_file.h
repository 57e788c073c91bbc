// The lock file LibreOffice keeps beside a document open for editing
// (".~lock.NAME#": name, login, host, time and profile, separated by commas
// and ended by a semicolon). VELN writes and reads the same file, so that
// each program warns when the other has the document open.
#pragma once

#include <optional>
#include <string>

namespace veln::host::docx {

struct LockOwner {
    std::string name;  // the user's name as the program knows it, may be empty
    std::string login;
    std::string host;
    std::string since;  // "DD.MM.YYYY HH:MM"

    // Who to name in a question: the name, else login@host.
    std::string Who() const;
};

std::string LockPathOf(const std::string& documentPath);

// The holder of the document's lock; nothing when nobody holds it. A lock
// VELN left on this host when its process ended without letting it go is
// stale: it is removed, and nobody holds the document.
std::optional<LockOwner> ReadLock(const std::string& documentPath);

// Lets go every lock this process holds, for an end that runs no more of the
// program (a signal to end): the locks are the only trace it leaves.
void ReleaseEveryLock();

// A lock this process holds on a document; released when it goes.
class DocumentLock {
  public:
    // Takes the lock when nobody holds it. Nothing when someone does, or
    // when the folder takes no new file (the document then opens unlocked,
    // as LibreOffice opens it).
    static std::optional<DocumentLock> Take(const std::string& documentPath);

    DocumentLock(DocumentLock&& other) noexcept;
    DocumentLock& operator=(DocumentLock&& other) noexcept;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
    ~DocumentLock();

  private:
    DocumentLock(std::string path, std::string content, int fd);
    void Release();

    std::string path_;
    std::string content_;  // what we wrote: a lock rewritten by another is theirs
    int fd_ = -1;          // open, and flock-ed, while the lock is ours
};

}  // namespace veln::host::docx
