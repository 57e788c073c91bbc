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
};

}  // namespace veln::host::office
