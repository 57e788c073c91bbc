// The forms and the input box of OfficeUi: dialogs of the office's toolkit,
// laid out by the forms' designs.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <com/sun/star/awt/InvalidateStyle.hpp>
#include <com/sun/star/awt/XWindowPeer.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>

#include "host/host_error.h"
#include "host/office/office_application.h"
#include "host/office/office_connection.h"
#include "host/office/office_form_dialog.h"
#include "host/office/office_ui.h"
#include "host/word/document.h"

namespace veln::host::office {

namespace {

// The input box: a prompt, the text the user types, OK and Cancel.
class InputBoxForm : public Form {
  public:
    static constexpr const char* NAME = "InputBox";

    InputBoxForm(const std::string& prompt, const std::string& title,
                 const std::string& defaultText, const std::string& cancel)
        : Form(NAME) {
        Caption = title.empty() ? DEFAULT_TITLE : title;
        LabelPrompt.Caption = prompt;
        TextBoxValue.Text = defaultText;
        CommandButtonOK.Caption = "OK";
        CommandButtonCancel.Caption = cancel;
        CommandButtonOK.OnClick = [this] {
            answer = TextBoxValue.Text;
            Unload();
        };
        CommandButtonCancel.OnClick = [this] { Unload(); };
    }

    Label LabelPrompt{*this, "LabelPrompt"};
    TextBox TextBoxValue{*this, "TextBoxValue"};
    CommandButton CommandButtonOK{*this, "CommandButtonOK"};
    CommandButton CommandButtonCancel{*this, "CommandButtonCancel"};
    std::string answer;
};

// A form without a design: its controls one under the other as Qt would
// show their kinds, its buttons in a row.
FormDesign PlainDesign(const Form& form) {
    constexpr int TEXT_WIDTH = 320;
    constexpr int BUTTON_WIDTH = 90;
    std::vector<DesignedWidget> controls;
    std::vector<DesignedWidget> buttons;
    for (const Control* control : form.Controls()) {
        DesignedWidget widget;
        widget.name = control->Name();
        if (dynamic_cast<const CommandButton*>(control) != nullptr) {
            widget.widgetClass = "QPushButton";
            widget.minimum.width = BUTTON_WIDTH;
            widget.isDefault = buttons.empty();
            buttons.push_back(widget);
            continue;
        }
        if (dynamic_cast<const TextBox*>(control) != nullptr) {
            widget.widgetClass = "QLineEdit";
            widget.minimum.width = TEXT_WIDTH;
        } else if (dynamic_cast<const ListBox*>(control) != nullptr ||
                   dynamic_cast<const TreeView*>(control) != nullptr) {
            widget.widgetClass = "QTreeWidget";
        } else if (dynamic_cast<const ComboBox*>(control) != nullptr) {
            widget.widgetClass = "QComboBox";
            widget.editable = true;
        } else if (dynamic_cast<const CheckBox*>(control) != nullptr) {
            widget.widgetClass = "QCheckBox";
        } else if (dynamic_cast<const OptionButton*>(control) != nullptr) {
            widget.widgetClass = "QRadioButton";
        } else {
            widget.widgetClass = "QLabel";
            widget.wordWrap = true;
            widget.minimum.width = TEXT_WIDTH;
        }
        controls.push_back(widget);
    }
    return FormDesign::Plain(controls, buttons);
}

// The office's word for Cancel, in the language of its menus.
std::string CancelWord(OfficeConnection& connection) {
    try {
        Reference<css::lang::XMultiServiceFactory> provider =
            css::configuration::theDefaultProvider::get(connection.Context());
        css::uno::Any path;
        path <<= css::beans::NamedValue(ToOUString("nodepath"),
                                        css::uno::Any(ToOUString("/org.openoffice.Setup/L10N")));
        Reference<css::container::XNameAccess> settings(
            provider->createInstanceWithArguments(
                ToOUString("com.sun.star.configuration.ConfigurationAccess"), {&path, 1}),
            UNO_QUERY_THROW);
        rtl::OUString locale;
        settings->getByName(ToOUString("ooLocale")) >>= locale;
        if (locale.startsWith("fr")) {
            return "Annuler";
        }
    } catch (const css::uno::Exception&) {
        // An office without its settings speaks English.
    }
    return "Cancel";
}

}  // namespace

const FormDesign& OfficeUi::DesignOf(const Form& form) {
    std::unique_ptr<FormDesign>& design = designs_[form.Name()];
    if (design == nullptr) {
        const std::filesystem::path file =
            std::filesystem::path(programFolder_) / "forms" / (form.Name() + ".ui");
        std::ifstream in(file, std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            design = std::make_unique<FormDesign>(FormDesign::Read(text.str(), file.string()));
        } else {
            design = std::make_unique<FormDesign>(PlainDesign(form));
        }
    }
    return *design;
}

void OfficeUi::Show(const std::shared_ptr<Form>& form, bool modal) {
    OfficeConnection& connection = application_.Connection();
    // Dialogs closed since the last one was shown go now, outside their own events.
    std::erase_if(modeless_, [this](const Modeless& shown) {
        if (shown.dialog->Closed()) {
            Showing(shown.dialog.get(), false);
        }
        return shown.dialog->Closed();
    });
    Runner run =
        runnerFor_ ? runnerFor_() : [](const std::function<void()>& handler) { handler(); };
    OfficeFormDialog::PictureFiles pictures = [this](int picture) {
        const std::string name = iconName_ ? iconName_(picture) : "";
        return name.empty() ? name : programFolder_ + "/icons/" + name + ".svg";
    };
    auto dialog = std::make_unique<OfficeFormDialog>(connection, form, DesignOf(*form), run,
                                                     ActiveWindow(connection), pictures);
    form->Load();
    dialog->Push();
    if (!form->IsOpen()) {
        return;
    }
    Showing(dialog.get(), true);
    if (modal) {
        struct Shown {
            Shown(OfficeUi& ui, OfficeFormDialog* dialog) : ui_(ui), dialog_(dialog) {}
            ~Shown() { ui_.Showing(dialog_, false); }
            Shown(const Shown&) = delete;
            Shown& operator=(const Shown&) = delete;
            OfficeUi& ui_;
            OfficeFormDialog* dialog_;
        } shown(*this, dialog.get());
        dialog->RunModal();
        return;
    }
    dialog->ShowModeless();
    modeless_.push_back({application_.ActiveDocument(), std::move(dialog)});
}

std::string OfficeUi::InputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) {
    auto form = std::make_shared<InputBoxForm>(prompt, title, defaultText,
                                               CancelWord(application_.Connection()));
    // Not through the program's runner: the box's buttons are the box's own.
    std::function<Runner()> runnerFor = std::exchange(runnerFor_, nullptr);
    try {
        Show(form, true);
    } catch (...) {
        runnerFor_ = std::move(runnerFor);
        throw;
    }
    runnerFor_ = std::move(runnerFor);
    return form->answer;
}

void OfficeUi::Showing(OfficeFormDialog* dialog, bool shown) {
    std::lock_guard lock(shownMutex_);
    std::erase(shown_, dialog);
    if (shown) {
        shown_.push_back(dialog);
    }
}

OfficeFormDialog* OfficeUi::Shown(const std::string& formName) {
    std::lock_guard lock(shownMutex_);
    auto found = std::find_if(shown_.rbegin(), shown_.rend(), [&](OfficeFormDialog* dialog) {
        return !dialog->Closed() && dialog->Model().IsOpen() && dialog->Model().Name() == formName;
    });
    return found == shown_.rend() ? nullptr : *found;
}

void OfficeUi::Settle() {
    OfficeConnection& connection = application_.Connection();
    std::vector<OfficeFormDialog*> shown;
    {
        std::lock_guard lock(shownMutex_);
        shown = shown_;
    }
    connection.Run(
        "drawing the dialogs",
        [&] {
            // Painted now, not when the office's loop next idles (Writer's
            // own idle work, its layout and spelling, comes then too).
            for (OfficeFormDialog* dialog : shown) {
                if (!dialog->Closed()) {
                    dialog->Dialog()->getPeer()->invalidate(css::awt::InvalidateStyle::CHILDREN |
                                                            css::awt::InvalidateStyle::UPDATE);
                }
            }
        },
        WordError::COMMAND_FAILED);
}

void OfficeUi::CloseModeless() {
    for (const Modeless& shown : modeless_) {
        if (!shown.dialog->Closed()) {
            shown.dialog->CloseBox();
        }
    }
}

void OfficeUi::CloseModelessOf(const Document& document) {
    for (const Modeless& shown : modeless_) {
        if (shown.openedOn == &document && !shown.dialog->Closed()) {
            shown.dialog->CloseBox();
        }
    }
}

}  // namespace veln::host::office
