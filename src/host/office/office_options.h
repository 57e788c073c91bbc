// How the office host reaches LibreOffice across processes.
#pragma once

#include <string>

namespace veln::host::office {

struct OfficeOptions {
    // The office's program folder (soffice.bin, fundamentalrc); empty: the
    // one VELN was built against.
    std::string programFolder;
    // The user profile the office runs in; empty: a new one in a temporary
    // folder, removed when the office stops.
    std::string profile;
    // Bounds: the office up and answering, and each call across the bridge.
    int startSeconds = 90;
    int callSeconds = 60;
    // An office whose dialogs run as a user's do: on display (an X display
    // name), or drawn off screen when it is empty. Otherwise the office runs
    // headless, where every dialog is cancelled as it opens.
    bool dialogs = false;
    std::string display;
};

}  // namespace veln::host::office
