#include "host/word/application.h"

#include <algorithm>
#include <filesystem>

namespace veln::host {

Template* Application::FindTemplate(const std::string& fullName) {
    auto found = std::find_if(templates_.begin(), templates_.end(),
                              [&](const Template& loaded) { return loaded.FullName == fullName; });
    return found == templates_.end() ? nullptr : &*found;
}

void Application::AttachTemplate(Document& document, const std::string& fullName) {
    if (!fullName.empty() && FindTemplate(fullName) == nullptr) {
        templates_.push_back({fullName, true});
    }
    document.AttachedTemplate = fullName;
}

void Application::LoadStartupTemplates() {
    std::error_code error;
    if (StartupPath.empty() || !std::filesystem::is_directory(StartupPath, error)) {
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(StartupPath, error)) {
        std::string extension = entry.path().extension().string();
        if (entry.is_regular_file(error) &&
            (extension == ".dot" || extension == ".dotx" || extension == ".dotm")) {
            std::string fullName = entry.path().lexically_normal().string();
            if (FindTemplate(fullName) == nullptr) {
                templates_.push_back({fullName, true});
            }
        }
    }
}

void Application::Press(CommandBarControl& control) {
    if (!control.Visible || !control.EnabledFor(ActiveDocument()) || !control.Click) {
        return;
    }
    const std::string& action = control.OnAction;
    if (!action.starts_with("!<") || !action.ends_with(">")) {
        return;
    }
    std::string progId = action.substr(2, action.size() - 3);
    if (std::find(connected_.begin(), connected_.end(), progId) != connected_.end()) {
        control.Click();
    }
}

void Application::DisconnectAddIn(const std::string& progId) {
    connected_.erase(std::remove(connected_.begin(), connected_.end(), progId), connected_.end());
}

}  // namespace veln::host
