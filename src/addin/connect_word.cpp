#include "addin/connect_word.h"

namespace veln::addin {

void ConnectWord::AddinInstance_OnConnection(host::Application& application,
                                             const std::string& progId) {
    progId_ = progId;
    if (!instance_) {
        instance_ = std::make_unique<ThisApplication>(context_, progId_);
    }
    application_ = &application;
    application.ConnectAddIn(progId_);
    instance_->SetApp(&application);
}

void ConnectWord::AddinInstance_OnDisconnection() {
    if (instance_) {
        instance_->SetApp(nullptr);
    }
    if (application_ != nullptr) {
        application_->DisconnectAddIn(progId_);
        application_ = nullptr;
    }
}

}  // namespace veln::addin
