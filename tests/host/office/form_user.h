// A user at a form's dialog in the office, by the controls' names: types,
// clicks and chooses through the office's toolkit, as the user's keyboard
// and mouse do, and reads back what the dialog shows (not what the form
// holds).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/office/office_connection.h"
#include "host/office/office_form_dialog.h"

namespace veln::test {

class FormUser {
  public:
    explicit FormUser(host::office::OfficeFormDialog& dialog)
        : dialog_(dialog), acts_(dialog.ActsHandled()) {}

    // Waits until the dialog is on the screen.
    void WaitShown() const;
    // Replaces the text of a text box or of a combo box's text part.
    void Type(const std::string& control, const std::string& text);
    // Presses a button, or ticks a check box or an option button; returns
    // once the form has handled it.
    void Click(const std::string& control);
    // Chooses rows of a list, or the row of a drop-down list.
    void Choose(const std::string& control, const std::vector<int>& rows);
    // Double-clicks a row of a list with the mouse, as the office's toolkit
    // posts a user's presses; returns once the form has handled it.
    void DoubleClick(const std::string& control, int row);
    // Waits up to a few seconds for condition; false when it never came.
    static bool WaitFor(const std::function<bool()>& condition);

    // What the dialog shows: a control's text (a label's caption, a box's
    // text), whether it is on the screen, a list's rows (visible columns
    // joined by tabs) and selected rows, a combo box's items.
    std::string Text(const std::string& control) const;
    bool Visible(const std::string& control) const;
    bool Enabled(const std::string& control) const;
    std::vector<std::string> Rows(const std::string& control) const;
    std::vector<int> Selected(const std::string& control) const;
    std::vector<std::string> Items(const std::string& control) const;
    // A tree's nodes as it shows them, parents first: "DEPTH TEXT -" for an
    // expanded node, "+" at the end for a collapsed one.
    std::vector<std::string> Nodes(const std::string& control) const;
    // The dialog's title.
    std::string Title() const;
    // The form the dialog shows.
    host::Form& Form() const { return dialog_.Model(); }

  private:
    void AfterAct(int handledBefore) const;
    host::office::Reference<host::office::css::awt::XControl> View(
        const std::string& control) const;

    host::office::OfficeFormDialog& dialog_;
    // Outlives the dialog, which its last act may end.
    std::shared_ptr<const host::office::OfficeFormDialog::Acts> acts_;
};

// Waits for the office's message box, presses its button of that caption,
// and returns the message it showed.
std::string AnswerMessageBox(host::office::OfficeConnection& office, const std::string& button);

}  // namespace veln::test
