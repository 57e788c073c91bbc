#include "host/ui/form.h"

#include <algorithm>

namespace veln::host {

Form::Form(std::string name) : name_(std::move(name)) {}

Control* Form::FindControl(std::string_view name) const {
    auto found = std::find_if(controls_.begin(), controls_.end(),
                              [&](const Control* c) { return c->Name() == name; });
    return found == controls_.end() ? nullptr : *found;
}

void Form::Load() {
    open_ = true;
    OnLoad();
}

void Form::CloseBox() {
    if (open_ && OnQueryClose()) {
        Unload();
    }
}

void Form::Unload() {
    if (open_) {
        open_ = false;
        OnUnload();
    }
}

void Form::ClearOptionGroup(const OptionButton& chosen) {
    for (Control* control : controls_) {
        auto* option = dynamic_cast<OptionButton*>(control);
        if (option != nullptr && option != &chosen && option->GroupName == chosen.GroupName) {
            option->SetValue(false);
        }
    }
}

}  // namespace veln::host
