// The add-in's connection object: what the word processor calls when it
// loads the add-in and when it lets it go.
#pragma once

#include <memory>
#include <string>

#include "addin/this_application.h"

namespace veln::addin {

// The ProgId the word processor knows the add-in by.
inline constexpr const char* PROG_ID = "VELN.ConnectWord";

class ConnectWord {
  public:
    explicit ConnectWord(Context& context) : context_(context) {}

    // Keeps the ProgId, creates the add-in's ThisApplication and hooks the
    // application's events to it.
    void AddinInstance_OnConnection(host::Application& application,
                                    const std::string& progId = PROG_ID);
    // Unhooks the events; the toolbar stays until the next run rebuilds it.
    void AddinInstance_OnDisconnection();

    // The add-in of this run, nullptr before the connection.
    ThisApplication* Instance() const { return instance_.get(); }
    const std::string& ProgId() const { return progId_; }

  private:
    Context& context_;
    std::string progId_;
    host::Application* application_ = nullptr;
    std::unique_ptr<ThisApplication> instance_;
};

}  // namespace veln::addin
