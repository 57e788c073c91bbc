#include "office/addons_config.h"

#include <array>
#include <filesystem>
#include <map>
#include <vector>

#include "addin/connect_word.h"
#include "addin/face_icons.h"
#include "host/docx/docx_application.h"
#include "host/office/office_extension.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "host/xml_escape.h"

namespace veln::office {

namespace {

// Writer's names of the languages, in the order of the add-in's runs.
constexpr std::array<const char*, 2> LANGUAGES{"en-US", "fr"};
constexpr std::array<const char*, 2> LOCALES{"en_US.UTF-8", "fr_FR.UTF-8"};
constexpr const char* TEXT_DOCUMENT = "com.sun.star.text.TextDocument";

struct Item {
    std::string command;  // without the scheme
    std::string icon;     // the face's icon name, "" for none
    bool beginGroup = false;
    std::array<std::string, LANGUAGES.size()> titles;
    std::vector<Item> entries;  // a pop-up's
};

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string Escaped(std::string_view text) {
    return host::XmlEscaped(text, host::XmlControls::Kept);
}

// The bar's controls as items, titles in the language of index language.
void Read(const host::CommandBarControls& controls, const addin::ThisApplication& addin,
          std::size_t language, int& popups, std::vector<Item>& items) {
    for (int i = 1; i <= controls.Count(); ++i) {
        const host::CommandBarControl& control = controls.Item(i);
        if (items.size() < static_cast<std::size_t>(i)) {
            items.emplace_back();
        }
        Item& item = items[static_cast<std::size_t>(i) - 1];
        const bool popup = control.Type() == host::ControlType::Popup;
        item.command = popup ? host::office::PopupCommand(++popups) : addin.MemberName(control);
        item.icon = std::string(addin::FaceIconName(control.FaceId));
        item.beginGroup = control.BeginGroup;
        item.titles.at(language) =
            Trimmed(control.Caption.empty() ? control.TooltipText : control.Caption);
        if (popup) {
            int nested = 0;
            Read(control.Controls(), addin, language, nested, item.entries);
        }
    }
}

// Runs the add-in in a language until it has built its toolbar, and reads it.
void ReadToolbar(const std::string& programFolder, const std::string& workFolder,
                 std::size_t language, std::vector<Item>& items) {
    const std::string home = workFolder + "/" + LANGUAGES.at(language);
    host::PosixSystem system(host::FixedEnvironment({{"HOME", home},
                                                     {"LANG", LOCALES.at(language)},
                                                     {"XDG_CONFIG_HOME", home + "/config"},
                                                     {"XDG_DATA_HOME", home + "/data"},
                                                     {"VELN_HOME", programFolder}}));
    host::ScriptedUi ui;
    // The first run tells where it made the global template.
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    host::docx::DocxApplication app(&ui);
    Context context(ui, system, app);
    addin::ConnectWord connect(context);
    app.StartupPath = system.StartupFolder();
    connect.AddinInstance_OnConnection(app);
    app.AddDocument();  // the first document change builds the bar
    const host::CommandBar* bar = app.CommandBars.Find(addin::TOOLBAR_NAME);
    if (bar == nullptr) {
        throw std::runtime_error("the add-in built no toolbar");
    }
    int popups = 0;
    Read(bar->Controls(), *connect.Instance(), language, popups, items);
}

class Writer {
  public:
    void Line(int depth, const std::string& text) {
        xml_ += std::string(static_cast<std::size_t>(2 * depth), ' ') + text + "\n";
    }
    void Prop(int depth, const char* name, const std::string& value) {
        Line(depth, std::string("<prop oor:name=\"") + name + "\" oor:type=\"xs:string\"><value>" +
                        Escaped(value) + "</value></prop>");
    }
    void Titles(int depth, const Item& item, char mnemonic) {
        std::string values;
        for (std::size_t i = 0; i < LANGUAGES.size(); ++i) {
            values += std::string("<value xml:lang=\"") + LANGUAGES.at(i) + "\">" +
                      Escaped(host::office::ShownCaption(item.titles.at(i), mnemonic)) + "</value>";
        }
        Line(depth, "<prop oor:name=\"Title\" oor:type=\"xs:string\">" + values + "</prop>");
    }
    // One node per item, a separator node before an item that begins a group.
    void Items(int depth, const std::vector<Item>& items, bool menu, int& counter) {
        for (const Item& item : items) {
            if (item.beginGroup) {
                Line(depth, Node(++counter));
                Prop(depth + 1, "URL", "private:separator");
                Line(depth, "</node>");
            }
            Line(depth, Node(++counter));
            Prop(depth + 1, "URL", std::string(host::office::COMMAND_SCHEME) + item.command);
            Prop(depth + 1, "Target", "_self");
            Prop(depth + 1, "Context", TEXT_DOCUMENT);
            Titles(depth + 1, item, menu ? '~' : '\0');
            if (!item.entries.empty() && menu) {
                Line(depth + 1, "<node oor:name=\"Submenu\">");
                int nested = 0;
                Items(depth + 2, item.entries, menu, nested);
                Line(depth + 1, "</node>");
            } else if (!item.entries.empty()) {
                Prop(depth + 1, "ControlType", "DropdownButton");
            }
            Line(depth, "</node>");
        }
    }
    void Images(int depth, const std::vector<Item>& items) {
        for (const Item& item : items) {
            if (!item.icon.empty()) {
                Line(depth,
                     "<node oor:name=\"org.veln.image." + item.command + "\" oor:op=\"replace\">");
                Prop(depth + 1, "URL", std::string(host::office::COMMAND_SCHEME) + item.command);
                Line(depth + 1, "<node oor:name=\"UserDefinedImages\">");
                Prop(depth + 2, "ImageSmallURL", "%origin%/icons/" + item.icon + ".svg");
                Prop(depth + 2, "ImageBigURL", "%origin%/icons/" + item.icon + ".svg");
                Line(depth + 1, "</node>");
                Line(depth, "</node>");
            }
            Images(depth, item.entries);
        }
    }
    std::string Text() const { return xml_; }

  private:
    static std::string Node(int counter) {
        std::string number = std::to_string(counter);
        return "<node oor:name=\"m" +
               std::string(3 - std::min<std::size_t>(3, number.size()), '0') + number +
               "\" oor:op=\"replace\">";
    }
    std::string xml_;
};

}  // namespace

std::string AddonsConfig(const std::string& programFolder, const std::string& workFolder) {
    std::vector<Item> items;
    for (std::size_t language = 0; language < LANGUAGES.size(); ++language) {
        ReadToolbar(programFolder, workFolder, language, items);
    }
    Writer xml;
    xml.Line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    xml.Line(0,
             "<oor:component-data xmlns:oor=\"http://openoffice.org/2001/registry\" "
             "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" oor:name=\"Addons\" "
             "oor:package=\"org.openoffice.Office\">");
    xml.Line(1, "<node oor:name=\"AddonUI\">");
    xml.Line(2, "<node oor:name=\"OfficeToolBar\">");
    xml.Line(3, std::string("<node oor:name=\"") + addin::TOOLBAR_NAME + "\" oor:op=\"replace\">");
    int counter = 0;
    xml.Items(4, items, false, counter);
    xml.Line(3, "</node>");
    xml.Line(2, "</node>");
    xml.Line(2, "<node oor:name=\"OfficeMenuBar\">");
    xml.Line(3, "<node oor:name=\"org.veln.menu\" oor:op=\"replace\">");
    xml.Prop(4, "Context", TEXT_DOCUMENT);
    xml.Line(4, "<prop oor:name=\"Title\" oor:type=\"xs:string\"><value>VELN</value></prop>");
    xml.Line(4, "<node oor:name=\"Submenu\">");
    counter = 0;
    xml.Items(5, items, true, counter);
    xml.Line(4, "</node>");
    xml.Line(3, "</node>");
    xml.Line(2, "</node>");
    xml.Line(2, "<node oor:name=\"Images\">");
    xml.Images(3, items);
    xml.Line(2, "</node>");
    xml.Line(1, "</node>");
    xml.Line(0, "</oor:component-data>");
    return xml.Text();
}

}  // namespace veln::office
