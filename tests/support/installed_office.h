// An office on a profile of its own where veln.oxt is installed by
// unopkg, as a user installs it; the office stops with the object. Shared
// by the extension's tests, its benchmark and the screenshots of Writer.
#pragma once

#include <memory>
#include <string>

#include "host/office/office_connection.h"
#include "host/office/office_options.h"

namespace veln::test {

class InstalledOffice {
  public:
    // Installs the package into folder/profile, then starts the office
    // there as options say (headless by default); a std::runtime_error
    // carries unopkg's own words when it fails.
    explicit InstalledOffice(const std::string& folder, host::office::OfficeOptions options = {});

    host::office::OfficeConnection& Connection() { return *connection_; }

  private:
    std::unique_ptr<host::office::OfficeConnection> connection_;
};

// Runs a vnd.veln: command in the frame of a document, as its toolbar does.
void DispatchCommand(host::office::OfficeConnection& office,
                     const host::office::Reference<css::text::XTextDocument>& document,
                     const std::string& command,
                     const css::uno::Sequence<css::beans::PropertyValue>& arguments = {});

}  // namespace veln::test
