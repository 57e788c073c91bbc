// The word processor's command bars: toolbars of buttons and pop-ups, as an
// add-in builds them and a user clicks them. A bar lives in the
// customization context it was made in (a template); the enabled state of a
// control may also be set in a document's context, so that each document
// keeps its own. The desktop program draws these bars; scripts click them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace veln::host {

class Document;

// Kinds of controls, numbered as the word processor numbers them.
enum class ControlType : int { Button = 1, Popup = 10 };

// Where customizations go: a template (by full name) or a document.
struct CustomizationContext {
    const Document* document = nullptr;
    std::string templateName;

    bool operator==(const CustomizationContext&) const = default;
};

class CommandBarControls;

class CommandBarControl {
  public:
    CommandBarControl(ControlType type, std::uint64_t& nextId, const CustomizationContext* context);
    CommandBarControl(const CommandBarControl&) = delete;
    CommandBarControl& operator=(const CommandBarControl&) = delete;
    ~CommandBarControl();

    ControlType Type() const { return type_; }
    // Unique in the application's run: what handlers and the desktop key on.
    std::uint64_t Id() const { return id_; }

    std::string Caption;
    std::string TooltipText;
    std::string Tag;
    // "!<ProgId>" routes a click to the connected add-in of that ProgId.
    std::string OnAction;
    // A built-in face of the word processor's icon set, 0 for none.
    int FaceId = 0;
    // A face pasted from the add-in's own bitmaps (a resource id), 0 for none.
    int Picture = 0;
    bool BeginGroup = false;
    bool Visible = true;

    // Enabled in the current customization context: a document's own state
    // when it has one, else the state the bar was made with.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Enabled as a user sees it while document is the active one.
    bool EnabledFor(const Document* document) const;
    // Forgets the states a closed document kept.
    void ForgetDocument(const Document* document);

    // What a click runs, set by the add-in that owns the control; the word
    // processor calls it when OnAction routes the click to that add-in.
    std::function<void()> Click;

    // A pop-up's own controls; empty for a button.
    CommandBarControls& Controls() { return *controls_; }
    const CommandBarControls& Controls() const { return *controls_; }

  private:
    ControlType type_;
    std::uint64_t id_;
    const CustomizationContext* context_;
    bool enabled_ = true;
    std::map<const Document*, bool> enabledIn_;
    std::unique_ptr<CommandBarControls> controls_;
};

class CommandBarControls {
  public:
    CommandBarControls(std::uint64_t& nextId, const CustomizationContext* context)
        : nextId_(&nextId), context_(context) {}

    int Count() const { return static_cast<int>(controls_.size()); }
    CommandBarControl& Item(int index);  // index from 1
    const CommandBarControl& Item(int index) const;
    CommandBarControl& Add(ControlType type);

  private:
    std::uint64_t* nextId_;
    const CustomizationContext* context_;
    std::vector<std::unique_ptr<CommandBarControl>> controls_;
};

class CommandBar {
  public:
    CommandBar(std::string name, std::uint64_t& nextId, const CustomizationContext* context)
        : name_(std::move(name)), controls_(nextId, context) {}

    const std::string& Name() const { return name_; }
    // 1: docked at the top.
    int Position = 1;
    bool Visible = false;
    CommandBarControls& Controls() { return controls_; }
    const CommandBarControls& Controls() const { return controls_; }

  private:
    std::string name_;
    CommandBarControls controls_;
};

class CommandBars {
  public:
    explicit CommandBars(const CustomizationContext& context) : context_(&context) {}

    int Count() const { return static_cast<int>(bars_.size()); }
    const CommandBar& Item(int index) const;  // index from 1
    // The bar of that name, nullptr when there is none.
    CommandBar* Find(const std::string& name);
    // A new bar in the current customization context.
    CommandBar& Add(const std::string& name, int position);
    // Deletes the bar of that name; an error when there is none.
    void Delete(const std::string& name);
    // Every control of every bar, pop-ups' own included, the one of that id.
    CommandBarControl* FindControl(std::uint64_t id);
    // Forgets the states a closed document kept.
    void ForgetDocument(const Document* document);

  private:
    const CustomizationContext* context_;
    std::uint64_t nextId_ = 1;
    std::vector<std::unique_ptr<CommandBar>> bars_;
};

}  // namespace veln::host
