// Putting a finished file where it belongs: written first under a name of its
// own beside its destination, then moved there in one step, so that nobody
// ever sees half a file and, where asked, nothing is ever overwritten.
#pragma once

#include <string>

namespace veln::host {

// A new, empty file of a unique name in folder; its path. Raises HostError
// when the folder cannot take a file.
std::string NewTemporaryFile(const std::string& folder);

// Moves from to to. When to exists: with replace it is replaced, without it
// nothing moves and the result is false. Raises HostError on other failures.
bool MoveFile(const std::string& from, const std::string& to, bool replace);

}  // namespace veln::host
