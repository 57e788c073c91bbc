// What the extension declares to Writer (Addons.xcu): the toolbar
// "velnToolbar", the "VELN" menu and the faces of their commands, made
// from the toolbar the add-in itself builds, in English and in French, so
// that Writer shows the same commands with the same captions as the add-in.
#pragma once

#include <string>

namespace veln::office {

// The configuration's XML. programFolder holds the add-in's data; the
// add-in's run leaves its settings and templates in workFolder.
std::string AddonsConfig(const std::string& programFolder, const std::string& workFolder);

}  // namespace veln::office
