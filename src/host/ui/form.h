// The base of every dialog: a named form holding named controls, with the
// handlers that run when it loads and when it closes. A Ui shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/ui/controls.h"

namespace veln::host {

// The background colour of the system's dialogs (red 117, green 165, blue 217).
inline constexpr std::int32_t DIALOG_BACK_COLOR = 14263669;
// The add-in's icon resource, shown in the windows of its dialogs.
inline constexpr int ADDIN_ICON = 101;

class Form {
  public:
    explicit Form(std::string name);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(std::string_view name) const;

    // Driven by the Ui: Load runs the form's load handler; CloseBox is the
    // window's close box. The form closes itself with Unload.
    void Load();
    void CloseBox();
    void Unload();
    bool IsOpen() const { return open_; }
    // A key the user typed while the form had the focus ("a", "Escape").
    void KeyPress(const std::string& key) {
        if (open_ && OnKeyPress) {
            OnKeyPress(key);
        }
    }
    std::function<void(const std::string& key)> OnKeyPress;

    std::string Caption;
    // In twips, as forms are designed; 0 keeps the designed height.
    std::int32_t Height = 0;
    std::int32_t BackColor = 0;
    int Icon = 0;  // resource id of the window icon, 0 for the default

  protected:
    virtual void OnLoad() {}
    // Return false to keep the form open when the user closes its window.
    virtual bool OnQueryClose() { return true; }
    virtual void OnUnload() {}

  private:
    friend class Control;
    friend class OptionButton;
    void Register(Control& control) { controls_.push_back(&control); }
    void ClearOptionGroup(const OptionButton& chosen);

    std::string name_;
    std::vector<Control*> controls_;
    bool open_ = false;
};

}  // namespace veln::host
