// The word processor: its open documents, the active one, and the few
// application settings the system touches.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/word/command_bars.h"
#include "host/word/document.h"

namespace veln::host {

// What the word processor tells a connected add-in: the application events.
class ApplicationEvents {
  public:
    virtual ~ApplicationEvents() = default;
    // The active document changed (the first window included).
    virtual void DocumentChange() = 0;
    virtual void DocumentOpen(Document& document) = 0;
    virtual void NewDocument(Document& document) = 0;
    virtual void DocumentBeforeSave(Document& document) = 0;
    // cancel: set to true to keep the document open.
    virtual void DocumentBeforeClose(Document& document, bool& cancel) = 0;
};

// A template the word processor has loaded: a global one from the startup
// folder, or one attached to a document.
struct Template {
    std::string FullName;
    bool Saved = true;
};

class Application {
  public:
    Application() = default;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application() = default;

    virtual int DocumentCount() const = 0;
    virtual Document& DocumentItem(int index) = 0;  // index from 1
    // The open document of that name (Name), nullptr when none.
    virtual Document* FindDocument(std::string_view name) = 0;
    // A new empty document ("Document1", ...); it becomes active when visible.
    // Raises NewDocument, then DocumentChange.
    virtual Document& AddDocument(bool visible = true) = 0;
    // Opens a file; it becomes the active document. An open file is returned
    // as is. Raises DocumentOpen for a file opened now, then DocumentChange.
    virtual Document& OpenDocument(const std::string& path) = 0;
    // Closes without saving, unless DocumentBeforeClose cancels; true when
    // the document was closed.
    virtual bool CloseDocument(Document& document) = 0;
    // nullptr when no document is open.
    virtual Document* ActiveDocument() = 0;
    // Raises DocumentChange when the active document changes.
    virtual void Activate(Document& document) = 0;

    // Lets the host process pending messages during long walks.
    virtual void DoEvents() { ++doEventsCalls; }

    bool ScreenUpdating = true;
    bool Overtype = false;
    int doEventsCalls = 0;

    // --- templates and command bars ---------------------------------------------------
    // The startup folder: its templates are loaded when the word processor starts.
    std::string StartupPath;
    // The loaded template of that full name, nullptr when it is not loaded.
    Template* FindTemplate(const std::string& fullName);
    // Attaches the template at fullName to document, loading it when needed.
    void AttachTemplate(Document& document, const std::string& fullName);
    // Loads the templates found in the startup folder, as at start.
    void LoadStartupTemplates();

    // Where changes to command bars go: a document, or a template by full name.
    host::CustomizationContext CustomizationContext;
    host::CommandBars CommandBars{CustomizationContext};

    // Presses a control as a user would: nothing when it is hidden or
    // disabled for the active document; otherwise its OnAction routes the
    // click to the connected add-in it names.
    void Press(CommandBarControl& control);

    // --- add-ins and events ---------------------------------------------------------------
    // Add-ins connected now, by ProgId.
    void ConnectAddIn(const std::string& progId) { connected_.push_back(progId); }
    void DisconnectAddIn(const std::string& progId);
    // The receiver of the application events, nullptr for none.
    void SetEvents(ApplicationEvents* events) { events_ = events; }
    ApplicationEvents* Events() const { return events_; }

  protected:
    // What every host tells the connected add-in as documents come and go.
    void RaiseDocumentChange() {
        if (events_ != nullptr) {
            events_->DocumentChange();
        }
    }

  private:
    std::vector<Template> templates_;
    std::vector<std::string> connected_;
    ApplicationEvents* events_ = nullptr;
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
