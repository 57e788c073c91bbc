// The add-in's toolbar as a user sees it: the command bar of the
// application's model drawn as a tool bar, pop-ups as drop-down buttons,
// faces as icons, with the enabled state the model keeps for the window's
// document and the check marks its state gives. A click goes to the
// application as a user's press.
#pragma once

#include <QToolBar>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/word/application.h"

namespace veln::desktop {

class ToolbarView : public QToolBar {
    Q_OBJECT

  public:
    // press runs a user's click on the control of that id; checkMark tells
    // whether a control's entry is checked, nothing for one without a mark.
    using CheckMark = std::function<std::optional<bool>(const host::CommandBarControl&)>;
    ToolbarView(host::Application& app, const host::Document& document,
                std::function<void(std::uint64_t)> press, CheckMark checkMark,
                QWidget* parent = nullptr);

    // Draws the bar again when the model's bar changed (it is built at the
    // first document change of the run), else brings the enabled states and
    // the check marks in step.
    void Sync();
    // The action of a control, nullptr when the bar does not show it.
    QAction* ActionOf(std::uint64_t controlId) const;
    // The action of the control whose tool tip or caption is that text.
    QAction* ActionNamed(const std::string& text) const;

  private:
    void Build(const host::CommandBar& bar);
    QAction* MakeAction(const host::CommandBarControl& control, QObject* parent);

    host::Application& app_;
    const host::Document& document_;
    std::function<void(std::uint64_t)> press_;
    CheckMark checkMark_;
    std::vector<std::uint64_t> shown_;  // the controls drawn, in order
    std::map<std::uint64_t, QAction*> actions_;
};

}  // namespace veln::desktop
