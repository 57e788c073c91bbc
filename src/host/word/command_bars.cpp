#include "host/word/command_bars.h"

#include <algorithm>

#include "host/host_error.h"
#include "host/word/document.h"

namespace veln::host {

CommandBarControl::CommandBarControl(ControlType type, std::uint64_t& nextId,
                                     const CustomizationContext* context)
    : type_(type),
      id_(nextId++),
      context_(context),
      controls_(std::make_unique<CommandBarControls>(nextId, context)) {}

CommandBarControl::~CommandBarControl() = default;

bool CommandBarControl::Enabled() const {
    return EnabledFor(context_->document);
}

void CommandBarControl::SetEnabled(bool enabled) {
    if (context_->document != nullptr) {
        enabledIn_[context_->document] = enabled;
    } else {
        enabled_ = enabled;
    }
}

bool CommandBarControl::EnabledFor(const Document* document) const {
    auto own = enabledIn_.find(document);
    return own == enabledIn_.end() ? enabled_ : own->second;
}

void CommandBarControl::ForgetDocument(const Document* document) {
    enabledIn_.erase(document);
    for (int i = 1; i <= controls_->Count(); ++i) {
        controls_->Item(i).ForgetDocument(document);
    }
}

CommandBarControl& CommandBarControls::Item(int index) {
    if (index < 1 || index > Count()) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return *controls_[static_cast<std::size_t>(index) - 1];
}

const CommandBarControl& CommandBarControls::Item(int index) const {
    return const_cast<CommandBarControls*>(this)->Item(index);
}

CommandBarControl& CommandBarControls::Add(ControlType type) {
    controls_.push_back(std::make_unique<CommandBarControl>(type, *nextId_, context_));
    return *controls_.back();
}

const CommandBar& CommandBars::Item(int index) const {
    if (index < 1 || index > Count()) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return *bars_[static_cast<std::size_t>(index) - 1];
}

CommandBar* CommandBars::Find(const std::string& name) {
    auto found = std::find_if(bars_.begin(), bars_.end(),
                              [&](const auto& bar) { return bar->Name() == name; });
    return found == bars_.end() ? nullptr : found->get();
}

CommandBar& CommandBars::Add(const std::string& name, int position) {
    if (Find(name) != nullptr) {
        throw HostError(WordError::COMMAND_FAILED, "A command bar named " + name + " exists");
    }
    bars_.push_back(std::make_unique<CommandBar>(name, nextId_, context_));
    bars_.back()->Position = position;
    return *bars_.back();
}

void CommandBars::Delete(const std::string& name) {
    auto found = std::find_if(bars_.begin(), bars_.end(),
                              [&](const auto& bar) { return bar->Name() == name; });
    if (found == bars_.end()) {
        throw HostError(WordError::NO_SUCH_MEMBER, "No command bar is named " + name);
    }
    bars_.erase(found);
}

namespace {

CommandBarControl* FindIn(CommandBarControls& controls, std::uint64_t id) {
    for (int i = 1; i <= controls.Count(); ++i) {
        CommandBarControl& control = controls.Item(i);
        if (control.Id() == id) {
            return &control;
        }
        if (CommandBarControl* inner = FindIn(control.Controls(), id)) {
            return inner;
        }
    }
    return nullptr;
}

}  // namespace

CommandBarControl* CommandBars::FindControl(std::uint64_t id) {
    for (const auto& bar : bars_) {
        if (CommandBarControl* control = FindIn(bar->Controls(), id)) {
            return control;
        }
    }
    return nullptr;
}

void CommandBars::ForgetDocument(const Document* document) {
    for (const auto& bar : bars_) {
        for (int i = 1; i <= bar->Controls().Count(); ++i) {
            bar->Controls().Item(i).ForgetDocument(document);
        }
    }
}

}  // namespace veln::host
