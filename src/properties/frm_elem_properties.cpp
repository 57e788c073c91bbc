#include "properties/frm_elem_properties.h"

#include <unordered_set>

#include "database/db_element_values.h"
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "host/ui/ui.h"
#include "host/utf8.h"
#include "host/word/bookmarks.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "properties/error_report.h"
#include "tracking/element_suspects.h"

namespace veln {

namespace {

// Pictures of the navigation buttons: a triangle up under a bar, a triangle
// up, a triangle down, a triangle down over a bar.
constexpr int PICTURE_FIRST = 108;
constexpr int PICTURE_PREVIOUS = 109;
constexpr int PICTURE_NEXT = 110;
constexpr int PICTURE_LAST = 111;
constexpr int LEVELS = 4;
// E_label holds 255 characters.
constexpr std::size_t ELEMENT_LABEL_LENGTH = 255;

// A file URI of an absolute path: what is not plainly allowed in one is
// percent-encoded (a blank is %20).
std::string FileUri(const std::string& path) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) != 0 || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += HEX[c >> 4];
            uri += HEX[c & 0x0F];
        }
    }
    return uri;
}

// Shows text in a combo box: its row when it has one.
void ShowInCombo(host::ComboBox& combo, const std::string& text) {
    for (int row = 0; row < combo.ListCount(); ++row) {
        if (combo.List(row) == text) {
            combo.SetListIndex(row);
            return;
        }
    }
    combo.SetListIndex(-1);
    combo.Text = text;
}

}  // namespace

PropertySlot::PropertySlot(host::Form& form, int index)
    : LblProperty(form, "LblProperty" + std::to_string(index)),
      tbProperty(form, "tbProperty" + std::to_string(index)),
      CbProperty(form, "CbProperty" + std::to_string(index)),
      ChkProperty(form, "ChkProperty" + std::to_string(index)) {
    // A value longer than its column could not be saved.
    tbProperty.MaxLength = static_cast<int>(Properties::VALUE_LENGTH);
}

frmElemProperties::frmElemProperties(Context& context)
    : Form("frmElemProperties"), context_(context) {
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        slots_[k] = std::make_unique<PropertySlot>(*this, static_cast<int>(k));
    }
    Caption = context_.LoadText(StringId::ELEMENT_EDITOR_CAPTION);
    CommandButtonLink.Caption = context_.LoadText(StringId::CREATE_HYPERLINK);
    CommandButtonChangeLevel.Caption = context_.LoadText(StringId::CHANGE_LEVEL);
    CommandButtonUpdateLabel.Caption = context_.LoadText(StringId::MODIFY_LABEL);
    CommandButtonExit.Caption = "Exit";
    tbElemLabel.MaxLength = static_cast<int>(ELEMENT_LABEL_LENGTH);
    CommandButtonFirst.OnClick = [this] { Navigate(Move::First); };
    CommandButtonPrevious.OnClick = [this] { Navigate(Move::Previous); };
    CommandButtonNext.OnClick = [this] { Navigate(Move::Next); };
    CommandButtonLast.OnClick = [this] { Navigate(Move::Last); };
    CommandButtonChangeLevel.OnClick = [this] { CommandButtonChangeLevel_Click(); };
    CommandButtonUpdateLabel.OnClick = [this] { CommandButtonUpdateLabel_Click(); };
    CommandButtonLink.OnClick = [this] { CommandButtonLink_Click(); };
    CommandButtonExit.OnClick = [this] { Unload(); };
}

void frmElemProperties::OnLoad() {
    Height = HEIGHT;
    BackColor = host::DIALOG_BACK_COLOR;
    Icon = host::ADDIN_ICON;
    CommandButtonFirst.Picture = PICTURE_FIRST;
    CommandButtonPrevious.Picture = PICTURE_PREVIOUS;
    CommandButtonNext.Picture = PICTURE_NEXT;
    CommandButtonLast.Picture = PICTURE_LAST;
    lbElemLevel.Clear();
    for (int level = 1; level <= LEVELS; ++level) {
        lbElemLevel.AddItem(std::to_string(level));
    }
    project_ = utilElements::GetDbName(context_);
    LabelSuspectLinks.Visible = false;
    for (const auto& slot : slots_) {
        slot->LblProperty.Visible = false;
        slot->tbProperty.Visible = false;
        slot->CbProperty.Visible = false;
        slot->ChkProperty.Visible = false;
    }
    Properties::RunReporting(context_, "FormLoad: ", [this] {
        CollectProperties();
        CollectPropValues();
        // A project that cannot be read was reported by the reads above.
        Properties::Trap([this] {
            suspectEnds_ = tracking::SuspectEndsByElement(
                schema::OpenProjectDatabase(project_, db::OpenMode::ReadOnly),
                utilElements::GetDocId(context_));
        });
        // When the selection was in no element, one was made over it: the
        // document stays on it, as the window shows it.
        std::string id = CollectElementInformations();
        InitControlsValues();
        DisplayPropValues(id);
        if (Elements::IsFirstElement(context_)) {
            CommandButtonFirst.Enabled = false;
            CommandButtonPrevious.Enabled = false;
        }
        if (Elements::IsLastElement(context_)) {
            CommandButtonLast.Enabled = false;
            CommandButtonNext.Enabled = false;
        }
    });
}

void frmElemProperties::CollectProperties() {
    Properties::RunReporting(context_, "CollectProperties : ", [this] {
        db::Database database = schema::OpenProjectDatabase(project_, db::OpenMode::ReadOnly);
        std::vector<Properties::PropertyDefinition> live = Properties::LiveProperties(database);
        if (live.size() > static_cast<std::size_t>(SHORT_SLOTS)) {
            Height = TALL_HEIGHT;
        }
        // One slot a definition; a project holds no more definitions than slots.
        if (live.size() > slots_.size()) {
            live.resize(slots_.size());
        }
        properties_ = std::move(live);
        for (std::size_t k = 0; k < properties_.size(); ++k) {
            const Properties::PropertyDefinition& definition = properties_[k];
            PropertySlot& slot = *slots_[k];
            slot.LblProperty.Caption = definition.label;
            slot.LblProperty.Visible = true;
            if (definition.type == Properties::TYPE_TEXT) {
                slot.tbProperty.Visible = true;
            } else if (definition.type == Properties::TYPE_COMBO) {
                slot.CbProperty.Clear();
                // Every value defined is offered.
                for (const auto& entry :
                     Properties::ComboEntries(definition.comboValues.value_or(""))) {
                    slot.CbProperty.AddItem(entry);
                    if (entry == definition.defaultValue) {
                        slot.CbProperty.SetListIndex(slot.CbProperty.ListCount() - 1);
                    }
                }
                slot.CbProperty.Visible = true;
            } else if (definition.type == Properties::TYPE_CHECK) {
                slot.ChkProperty.Visible = true;
            }
        }
    });
}

void frmElemProperties::CollectPropValues() {
    Properties::RunReporting(context_, "ErrCollectPropValues : ", [this] {
        const std::string docId = utilElements::GetDocId(context_);
        std::unordered_set<std::string> loaded;
        for (int p = 1; p <= context_.loadedElements.Count(); ++p) {
            const Element& element = context_.loadedElements.Item(p);
            if (element.ElementDocId == docId) {
                loaded.insert(element.ElementID);
            }
        }
        std::unordered_set<std::int64_t> shown;
        for (const auto& definition : properties_) {
            shown.insert(definition.id);
        }
        db::Database database = schema::OpenProjectDatabase(project_, db::OpenMode::ReadOnly);
        for (auto& row : dbElementValues::OfDocument(database, docId)) {
            if (!loaded.contains(row.elementId)) {
                continue;
            }
            // The value of a property not shown is never shown nor rewritten.
            if (!shown.contains(row.propertyId)) {
                row.value.reset();
            }
            values_.Add({std::move(row.elementId), row.propertyId, std::move(row.value), false});
        }
    });
}

std::string frmElemProperties::CollectElementInformations() {
    std::string result;
    std::optional<Properties::ErrorReport> error = Properties::Trap([&] {
        std::string id = Elements::CurrentElementId(context_);
        if (!id.empty()) {
            ShowElement(id);
            result = id;
            return;
        }
        host::Document* document = context_.app.ActiveDocument();
        if (document == nullptr) {
            return;
        }
        // In no element: one is made over the selection, or the paragraph at
        // an insertion point.
        std::string label = Elements::LabelFromDocument(context_);
        host::Selection selection = document->Selection();
        if (selection.Type() == host::wdSelectionIP) {
            selection.EndOf(host::WdUnits::wdParagraph, host::WdMovementType::wdExtend);
            selection.StartOf(host::WdUnits::wdParagraph, host::WdMovementType::wdExtend);
        }
        tbElemLabel.Text = label;
        lbElemLevel.SetListIndex(0);
        const int before = context_.loadedElements.Count();
        Elements::CreateElementFromSelection(context_, 1, label);
        if (context_.loadedElements.Count() > before) {
            // The element made is the last one loaded.
            ShowElement(context_.loadedElements.Item(context_.loadedElements.Count()).ElementID);
        }
    });
    if (error) {
        context_.ui.MsgBox("CollectElementInformations Eid : " + currentId_ + "-" +
                               std::to_string(error->number) + "-" + error->description,
                           host::MsgBoxStyle::vbCritical);
    }
    return result;
}

void frmElemProperties::ShowElement(const std::string& id) {
    currentId_ = id;
    Elements::ElementInfo info = Elements::GetElementInfo(context_, id);
    currentLabel_ = info.label;
    tbElemLabel.Text = info.label;
    tbElemNumber.Text = info.number;
    lbElemLevel.SetListIndex(info.level >= 1 && info.level <= LEVELS ? info.level - 1 : -1);
    ShowSuspectLinks();
}

void frmElemProperties::ShowSuspectLinks() {
    auto found = suspectEnds_.find(currentId_);
    LabelSuspectLinks.Visible = found != suspectEnds_.end();
    LabelSuspectLinks.Caption.clear();
    if (found == suspectEnds_.end()) {
        return;
    }
    std::string ends;
    for (const std::string& end : found->second) {
        ends += (ends.empty() ? "" : "; ") + end;
    }
    LabelSuspectLinks.Caption = context_.LoadText(StringId::ELEMENT_SUSPECT_LINKS) + " " + ends;
}

void frmElemProperties::ShowDefault(int slot) {
    const Properties::PropertyDefinition& definition = properties_[static_cast<std::size_t>(slot)];
    PropertySlot& controls = *slots_[static_cast<std::size_t>(slot)];
    if (definition.type == Properties::TYPE_TEXT) {
        controls.tbProperty.Text = definition.defaultValue.value_or("");
    } else if (definition.type == Properties::TYPE_COMBO) {
        ShowInCombo(controls.CbProperty, definition.defaultValue.value_or(""));
    } else if (definition.type == Properties::TYPE_CHECK) {
        controls.ChkProperty.Value = Properties::CheckValue(definition.defaultValue);
    }
}

void frmElemProperties::InitControlsValues() {
    for (std::size_t k = 0; k < properties_.size(); ++k) {
        ShowDefault(static_cast<int>(k));
    }
}

void frmElemProperties::DisplayPropValues(const std::string& elementId) {
    for (std::size_t k = 0; k < properties_.size(); ++k) {
        const Properties::PropertyDefinition& definition = properties_[k];
        const PropValue* held = values_.Find(elementId, definition.id);
        if (held == nullptr) {
            continue;
        }
        PropertySlot& controls = *slots_[k];
        if (!held->Value) {
            // No value stored: the default, else an empty box, the first
            // choice, a cleared check box.
            if (definition.defaultValue || definition.type != Properties::TYPE_COMBO) {
                ShowDefault(static_cast<int>(k));
            } else if (controls.CbProperty.ListCount() > 0) {
                controls.CbProperty.SetListIndex(0);
            }
        } else if (definition.type == Properties::TYPE_TEXT) {
            controls.tbProperty.Text = *held->Value;
        } else if (definition.type == Properties::TYPE_COMBO) {
            ShowInCombo(controls.CbProperty, *held->Value);
        } else if (definition.type == Properties::TYPE_CHECK) {
            controls.ChkProperty.Value = Properties::CheckValue(held->Value);
        }
    }
}

void frmElemProperties::PushPropValues(const std::string& elementId) {
    // Without an element there is nothing to hold values for.
    if (elementId.empty()) {
        return;
    }
    for (std::size_t k = 0; k < properties_.size(); ++k) {
        const Properties::PropertyDefinition& definition = properties_[k];
        const PropertySlot& controls = *slots_[k];
        std::string value;
        if (definition.type == Properties::TYPE_TEXT) {
            value = controls.tbProperty.Text;
        } else if (definition.type == Properties::TYPE_COMBO) {
            value = controls.CbProperty.Text;
        } else if (definition.type == Properties::TYPE_CHECK) {
            value = Properties::CheckText(controls.ChkProperty.Value);
        } else {
            continue;
        }
        // What the column cannot hold is cut here rather than fail the save,
        // and a control character, which no value holds, is a blank.
        values_.Set(
            elementId, definition.id,
            host::FirstCharacters(host::BlankControlCharacters(value), Properties::VALUE_LENGTH));
    }
}

void frmElemProperties::SavePropValues() {
    const bool anyChanged = std::any_of(values_.Items().begin(), values_.Items().end(),
                                        [](const PropValue& value) { return value.Changed; });
    if (!anyChanged) {
        return;
    }
    // The values belong to the project the editor read them from, whichever
    // document is active now.
    db::Database database = schema::OpenProjectDatabase(project_);
    // All or nothing: a failure leaves every value to be saved again.
    db::Transaction transaction(database);
    dbElementValues::ValueWriter writer(database);
    for (const PropValue& value : values_.Items()) {
        if (value.Changed) {
            writer.Store({value.ElementID, value.PropertyID, value.Value});
        }
    }
    transaction.Commit();
    values_.MarkSaved();
}

void frmElemProperties::OnUnload() {
    Guarded([this] { PushPropValues(currentId_); });
    // Values reach the project only now: a failed save is offered again
    // rather than losing what was typed.
    for (;;) {
        std::optional<Properties::ErrorReport> error =
            Properties::Trap([this] { SavePropValues(); });
        if (!error) {
            break;
        }
        if (context_.ui.MsgBox(
                "SavePropValues : " + std::to_string(error->number) + "-" + error->description,
                host::MsgBoxStyle::vbRetryCancel + host::MsgBoxStyle::vbCritical) !=
            host::MsgBoxResult::vbRetry) {
            break;
        }
    }
    values_.Clear();
}

void frmElemProperties::Guarded(const std::function<void()>& work) {
    Properties::RunReporting(context_, Name() + " : ", work);
}

void frmElemProperties::SetNavigation(bool firstAndPrevious, bool nextAndLast) {
    CommandButtonFirst.Enabled = firstAndPrevious;
    CommandButtonPrevious.Enabled = firstAndPrevious;
    CommandButtonNext.Enabled = nextAndLast;
    CommandButtonLast.Enabled = nextAndLast;
}

void frmElemProperties::Navigate(Move move) {
    Guarded([&] {
        PushPropValues(currentId_);
        switch (move) {
            case Move::First:
                Elements::GoFirstElement(context_);
                break;
            case Move::Previous:
                Elements::GoPreviousElement(context_);
                break;
            case Move::Next:
                Elements::GoNextElement(context_);
                break;
            case Move::Last:
                Elements::GoLastElement(context_);
                break;
        }
        InitControlsValues();
        std::string id = CollectElementInformations();
        DisplayPropValues(id);
        switch (move) {
            case Move::First:
                SetNavigation(false, true);
                break;
            case Move::Last:
                SetNavigation(true, false);
                break;
            case Move::Next:
                SetNavigation(true, !Elements::IsLastElement(context_));
                break;
            case Move::Previous:
                SetNavigation(!Elements::IsFirstElement(context_), true);
                break;
        }
    });
}

void frmElemProperties::CommandButtonChangeLevel_Click() {
    Guarded([this] {
        const int position = Elements::IndexOfElement(context_, currentId_);
        const int row = lbElemLevel.ListIndex();
        if (position == 0 || row < 0) {
            return;
        }
        auto level = static_cast<std::int16_t>(row + 1);
        Elements::SetElementLevel(context_, position, level);
        // Numbered under the element before it; the others keep their
        // numbers until the next renumbering.
        Elements::computeLevel(context_, position, level);
        CollectElementInformations();
        Elements::HideAllNumbers(context_);
        Elements::ShowAllNumbers(context_);
        const Element& element =
            context_.loadedElements.Item(Elements::IndexOfElement(context_, currentId_));
        dbElements::dbUpdateElement(context_, currentId_, element.ElementLabel, element.numbers,
                                    element.ElementLevel);
    });
}

void frmElemProperties::CommandButtonUpdateLabel_Click() {
    Guarded([this] {
        const int position = Elements::IndexOfElement(context_, currentId_);
        // A label is never erased, and an unchanged one is not written.
        if (position == 0 || tbElemLabel.Text.empty() || tbElemLabel.Text == currentLabel_) {
            return;
        }
        if (host::HoldsControlCharacters(tbElemLabel.Text)) {
            tbElemLabel.Text = host::BlankControlCharacters(tbElemLabel.Text);
            context_.ui.MsgBox(Elements::ControlCharactersText(context_),
                               host::MsgBoxStyle::vbExclamation);
            return;
        }
        // The stored label holds 255 characters, as at creation.
        const std::string label = host::FirstCharacters(tbElemLabel.Text, ELEMENT_LABEL_LENGTH);
        Elements::SetElementLabel(context_, position, label);
        const Element& element = context_.loadedElements.Item(position);
        dbElements::dbUpdateElement(context_, currentId_, label, element.numbers,
                                    element.ElementLevel);
        currentLabel_ = label;
        tbElemLabel.Text = label;
    });
}

void frmElemProperties::CommandButtonLink_Click() {
    Guarded([this] {
        host::Document* document = context_.app.ActiveDocument();
        if (document == nullptr || currentId_.empty()) {
            return;
        }
        // A selected paragraph carries its mark, which a hyperlink in the
        // text cannot: the link covers the paragraph's text.
        host::Range anchor = document->Selection().Range();
        if (anchor.End() - anchor.Start() > 1 && anchor.Text().ends_with('\r')) {
            anchor = document->MakeRange(anchor.Start(), anchor.End() - 1);
        }
        document->Hyperlinks().Add(anchor, FileUri(document->FullName()), currentId_);
    });
}

}  // namespace veln
