// veln office [FILE...]: VELN inside LibreOffice Writer for the user who runs
// it. The program folder's veln.oxt goes into the user's LibreOffice profile
// when it is missing there or of another version (replaced, never installed
// beside it); then Writer starts on the files.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/system/system.h"

namespace veln::cli {

// The extension's identifier, as its description declares it.
inline constexpr const char* EXTENSION_ID = "org.veln.office";

// The version of the extension of that identifier in unopkg's list, "" when
// it is not there.
std::string InstalledVersion(const std::string& unopkgList, const std::string& identifier);

// Says what it did on out and returns 0, or 1 after a message on err.
// officeFolder holds LibreOffice's programs (unopkg, soffice); VELN_OFFICE in
// the environment names another program to start Writer with.
int StartOffice(const std::vector<std::string>& files, host::System& system,
                const std::string& officeFolder, const std::string& version, std::ostream& out,
                std::ostream& err);

}  // namespace veln::cli
