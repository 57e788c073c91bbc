// The word processor: its open documents, the active one, and the few
// application settings the system touches.
#pragma once

#include <string>
#include <string_view>

#include "host/word/document.h"

namespace veln::host {

class Application {
  public:
    virtual ~Application() = default;

    virtual int DocumentCount() const = 0;
    virtual Document& DocumentItem(int index) = 0;  // index from 1
    // The open document of that name (Name), nullptr when none.
    virtual Document* FindDocument(std::string_view name) = 0;
    // A new empty document ("Document1", ...); it becomes active when visible.
    virtual Document& AddDocument(bool visible = true) = 0;
    // Opens a file; it becomes the active document. An open file is returned as is.
    virtual Document& OpenDocument(const std::string& path) = 0;
    virtual void CloseDocument(Document& document) = 0;
    // nullptr when no document is open.
    virtual Document* ActiveDocument() = 0;
    virtual void Activate(Document& document) = 0;

    // Lets the host process pending messages during long walks.
    virtual void DoEvents() { ++doEventsCalls; }

    bool ScreenUpdating = true;
    bool Overtype = false;
    int doEventsCalls = 0;
};

// Keeps a setting of the application at a value for a scope, and gives it
// back its previous value on every way out, an error included: a failed walk
// never leaves the screen frozen or overtype changed.
class ApplicationSettingGuard {
  public:
    ApplicationSettingGuard(bool& setting, bool value) : setting_(setting), previous_(setting) {
        setting_ = value;
    }
    ~ApplicationSettingGuard() { setting_ = previous_; }
    ApplicationSettingGuard(const ApplicationSettingGuard&) = delete;
    ApplicationSettingGuard& operator=(const ApplicationSettingGuard&) = delete;

  private:
    bool& setting_;
    bool previous_;
};

// Screen updating off while markers come and go.
class ScreenUpdatingOff : public ApplicationSettingGuard {
  public:
    explicit ScreenUpdatingOff(Application& app)
        : ApplicationSettingGuard(app.ScreenUpdating, false) {}
};

// Overtype off while text is inserted, so that it eats nothing.
class OvertypeOff : public ApplicationSettingGuard {
  public:
    explicit OvertypeOff(Application& app) : ApplicationSettingGuard(app.Overtype, false) {}
};

// The text with the word processor's control characters normalised: line
// breaks, tabs and paragraph marks become blanks, the non-breaking hyphen a
// hyphen, cell marks and optional hyphens disappear.
std::string CleanString(std::string_view text);

}  // namespace veln::host
