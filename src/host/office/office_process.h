// A headless LibreOffice started by this program: its own process group,
// a private user profile, a named pipe to accept a UNO bridge on. Stopped,
// and waited for, when the object goes, whatever state it is in.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

#include "host/office/office_options.h"

namespace veln::host::office {

class OfficeProcess {
  public:
    // program: soffice.bin; options: its profile (an existing folder or ""
    // for a new temporary one) and how it shows dialogs. Raises a HostError
    // when the program cannot be started.
    OfficeProcess(const std::string& program, const OfficeOptions& options);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // The pipe's name, for "pipe,name=...".
    const std::string& PipeName() const { return pipe_; }
    // False once the office has ended; why, in the text.
    bool Running(std::string& why);
    // Waits up to limit for the office to end by itself, then ends it.
    void Stop(std::chrono::milliseconds limit);

  private:
    void Launch();
    void QuietProfile() const;
    // The office's environment: ours, with the display its dialogs need.
    std::vector<std::string> Environment() const;

    std::string program_;
    int restarts_ = 0;
    pid_t pid_ = -1;
    std::string pipe_;
    std::string profile_;
    bool ownProfile_ = false;
    bool dialogs_ = false;
    std::string display_;
};

}  // namespace veln::host::office
