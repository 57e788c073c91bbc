// The forms' designs read and laid out for the office's dialogs, without an
// office: the texts measured at a fixed width a character, as a plain font would.
#include "host/office/form_design.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>

#include "host/host_error.h"

namespace veln::test {
namespace {

using host::office::ControlMeasure;
using host::office::FormDesign;
using host::office::FormPlaces;
using host::office::PixelRect;
using host::office::PixelSize;

constexpr int CHARACTER = 7;
constexpr int LINE = 20;

std::filesystem::path Designs() {
    const char* home = std::getenv("VELN_HOME");  // NOLINT(concurrency-mt-unsafe)
    return std::filesystem::path(home == nullptr ? "." : home) / "forms";
}

FormDesign Design(const std::string& form) {
    std::ifstream in(Designs() / (form + ".ui"));
    std::ostringstream text;
    text << in.rdbuf();
    return FormDesign::Read(text.str(), form + ".ui");
}

class FormDesignTest : public ::testing::Test {
  protected:
    // The captions the office would show, by control; others measure empty.
    std::map<std::string, std::string> captions;
    ControlMeasure measure{[this](const std::string& name) {
                               const int chars = static_cast<int>(captions[name].size());
                               return PixelSize{chars * CHARACTER + 8, LINE};
                           },
                           [this](const std::string& name, int width) {
                               const int total =
                                   static_cast<int>(captions[name].size()) * CHARACTER;
                               return LINE * std::max(1, (total + width - 1) / std::max(1, width));
                           }};

    static int Right(const PixelRect& place) { return place.x + place.width; }
    static int Bottom(const PixelRect& place) { return place.y + place.height; }
};

TEST_F(FormDesignTest, EveryDesignOfTheProgramIsReadWithItsWidgets) {
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Designs())) {
        if (entry.path().extension() != ".ui") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        const FormDesign design = Design(entry.path().stem().string());
        EXPECT_EQ(design.FormName(), entry.path().stem().string());
        EXPECT_GT(design.Designed().width, 0);
        const FormPlaces places = design.LayOut(measure, {});
        EXPECT_GE(places.window.width, design.Designed().width);
        EXPECT_FALSE(places.places.empty());
        for (const auto& [name, place] : places.places) {
            EXPECT_GE(place.x, 0) << name;
            EXPECT_LE(Right(place), places.window.width) << name << " leaves the window";
            EXPECT_LE(Bottom(place), places.window.height) << name << " leaves the window";
        }
        ++read;
    }
    EXPECT_EQ(read, 14) << "every form of the program";
    const FormDesign add = Design("frmAddProperty");
    ASSERT_NE(add.Widget("TextBoxPropertyLabel"), nullptr);
    EXPECT_EQ(add.Widget("TextBoxPropertyLabel")->widgetClass, "QLineEdit");
    EXPECT_EQ(add.Widget("TextBoxPropertyLabel")->minimum.width, 240);
    EXPECT_TRUE(add.Widget("CommandButtonOk")->isDefault);
    EXPECT_TRUE(add.Widget("LabelWarning")->wordWrap);
    EXPECT_EQ(add.Widget("NoSuchControl"), nullptr);
}

TEST_F(FormDesignTest, AGridKeepsItsColumnsAndItsButtonsAtTheBottomRight) {
    captions = {{"LabelProperty", "Property Label"},
                {"LabelType", "Display Type (double-click to select)"},
                {"LabelDefaultValue", "Default Value"},
                {"LabelComboValues", "Values delimited by ';'"},
                {"CommandButtonOk", "OK"},
                {"CommandButtonCancel", "Cancel"}};
    const FormPlaces laid = Design("frmAddProperty").LayOut(measure, {});
    const auto& at = laid.places;
    EXPECT_EQ(at.at("LabelProperty").x, 12) << "the designed margin";
    EXPECT_EQ(at.at("TextBoxPropertyLabel").x, at.at("TextBoxComboValues").x) << "one column";
    EXPECT_GE(at.at("TextBoxPropertyLabel").x,
              at.at("LabelProperty").x + static_cast<int>(captions["LabelType"].size()) * CHARACTER)
        << "after the widest label of its column";
    EXPECT_EQ(Right(at.at("CommandButtonCancel")), laid.window.width - 12);
    EXPECT_LT(Right(at.at("CommandButtonOk")), at.at("CommandButtonCancel").x);
    EXPECT_EQ(at.at("CommandButtonOk").width, 100) << "its designed least width";
    EXPECT_EQ(Right(at.at("TextBoxPropertyLabel")), laid.window.width - 12)
        << "a text box takes the room left";
    EXPECT_LE(at.at("ListBoxType").height, 76) << "its designed greatest height";
}

TEST_F(FormDesignTest, ALongerCaptionWidensItsColumnAndHiddenControlsTakeNoRoom) {
    captions = {{"LabelProperty", "Property Label"}, {"LabelComboValues", "Values"}};
    const FormDesign design = Design("frmAddProperty");
    const FormPlaces english = design.LayOut(measure, {});
    captions["LabelProperty"] = "Libellé de la propriété affichée dans la liste";
    const FormPlaces french = design.LayOut(measure, {});
    EXPECT_GE(french.places.at("LabelProperty").width,
              static_cast<int>(captions["LabelProperty"].size()) * CHARACTER)
        << "the caption fits";
    EXPECT_GT(french.places.at("TextBoxComboValues").x, english.places.at("TextBoxComboValues").x);
    EXPECT_GE(french.window.width, english.window.width);

    const FormPlaces hidden = design.LayOut(measure, {"LabelComboValues", "TextBoxComboValues"});
    EXPECT_FALSE(hidden.places.contains("TextBoxComboValues"));
    EXPECT_GE(hidden.places.at("LabelWarning").y, Bottom(hidden.places.at("TextBoxDefaultValue")))
        << "the rows still one under the other";
}

TEST_F(FormDesignTest, AWrappedLabelIsAsTallAsItsTextAtItsWidth) {
    captions = {{"LabelWarning", std::string(300, 'w')}};
    const FormPlaces laid = Design("frmAddProperty").LayOut(measure, {});
    const PixelRect& warning = laid.places.at("LabelWarning");
    EXPECT_GE(warning.height, measure.heightFor("LabelWarning", warning.width)) << "its lines fit";
    EXPECT_GT(warning.height, LINE) << "several lines";
}

TEST_F(FormDesignTest, APlainDesignStacksItsControlsAndRowsItsButtonsAtTheBottomRight) {
    auto widget = [](const char* name, const char* widgetClass) {
        host::office::DesignedWidget designed;
        designed.name = name;
        designed.widgetClass = widgetClass;
        return designed;
    };
    host::office::DesignedWidget prompt = widget("LabelPrompt", "QLabel");
    host::office::DesignedWidget value = widget("TextBoxValue", "QLineEdit");
    value.minimum.width = 320;
    host::office::DesignedWidget ok = widget("CommandButtonOK", "QPushButton");
    host::office::DesignedWidget cancel = widget("CommandButtonCancel", "QPushButton");
    captions = {{"LabelPrompt", "Enter an Element description"},
                {"CommandButtonOK", "OK"},
                {"CommandButtonCancel", "Cancel"}};
    const FormPlaces laid = FormDesign::Plain({prompt, value}, {ok, cancel}).LayOut(measure, {});
    const auto& at = laid.places;
    EXPECT_LT(Bottom(at.at("LabelPrompt")), at.at("TextBoxValue").y + 1);
    EXPECT_LT(Bottom(at.at("TextBoxValue")), at.at("CommandButtonOK").y + 1);
    EXPECT_EQ(at.at("CommandButtonOK").y, at.at("CommandButtonCancel").y) << "one row";
    EXPECT_EQ(Right(at.at("CommandButtonCancel")), laid.window.width - 9);
    EXPECT_GE(at.at("TextBoxValue").width, 320);
}

TEST_F(FormDesignTest, AFileThatIsNoDesignIsRefusedWithItsName) {
    for (const char* text : {"<html><body/></html>", "<ui><widget", ""}) {
        try {
            FormDesign::Read(text, "broken.ui");
            ADD_FAILURE() << "read " << text;
        } catch (const host::HostError& error) {
            EXPECT_THAT(error.Description(), ::testing::HasSubstr("broken.ui"));
        }
    }
}

}  // namespace
}  // namespace veln::test
