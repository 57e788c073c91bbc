// The three windows of property definitions on a real project: what they
// show, the order of their checks, the limit of live definitions, and what
// they store, read back with the sqlite3 shell.
#include <gmock/gmock.h>

#include "properties/frm_add_property.h"
#include "properties/frm_del_property.h"
#include "properties/frm_modify_property.h"
#include "properties/property_definitions.h"
#include "properties_fixture.h"

namespace veln {
namespace {

using host::FormAction;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* WARNING_LABEL = "No Label for the Property";
constexpr const char* WARNING_VALUES = "No Values for the Combo";
constexpr const char* WARNING_RANGE = "The Default Value is not within values range";
constexpr const char* WARNING_MAXIMUM =
    "Maximum Number of Properties Reached. Operation Cancelled.";

using DefinitionsTest = test::PropertiesTest;

// Adding a property: its label typed, its type's row double-clicked, what
// more is given, then OK.
std::vector<FormAction> Adding(const std::string& label, const char* typeRow,
                               std::vector<FormAction> given = {}) {
    std::vector<FormAction> actions{{"text", "TextBoxPropertyLabel", {label}},
                                    {"dblclick", "ListBoxType", {typeRow}}};
    actions.insert(actions.end(), given.begin(), given.end());
    actions.push_back({"click", "CommandButtonOk", {}});
    return actions;
}

TEST_F(DefinitionsTest, AddWindowChecksInOrderAndStoresEachType) {
    // Every check fails in turn, in order; a second type double-clicked is ignored.
    auto form = Show<frmAddProperty>({{"dblclick", "ListBoxType", {"1"}},
                                      {"dblclick", "ListBoxType", {"2"}},
                                      {"click", "CommandButtonOk", {}}});
    EXPECT_EQ(form->LabelWarning.Caption, WARNING_LABEL);
    EXPECT_TRUE(form->LabelWarning.Visible);
    EXPECT_EQ(form->ChosenType(), "COMB");
    EXPECT_FALSE(form->CheckBoxDefaultValue.Visible);
    EXPECT_TRUE(form->TextBoxComboValues.Visible);
    for (const auto& [values, defaultValue, warning] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "x", WARNING_VALUES}, {"High;Low", "Medium", WARNING_RANGE}}) {
        form = Show<frmAddProperty>(Adding("Priority", "1",
                                           {{"text", "TextBoxComboValues", {values}},
                                            {"text", "TextBoxDefaultValue", {defaultValue}}}));
        EXPECT_EQ(form->LabelWarning.Caption, warning);
        EXPECT_TRUE(LeftOpen()) << "a refused OK leaves the window open";
    }
    EXPECT_EQ(Stored("SELECT count(*) FROM Properties"), "0");

    // "ig" occurs inside "High;Low": accepted, and the values end with ";".
    Show<frmAddProperty>(Adding(
        "Priority", "1",
        {{"text", "TextBoxComboValues", {"High;Low"}}, {"text", "TextBoxDefaultValue", {"ig"}}}));
    // Empty defaults: none for a text, the empty text for a choice list.
    Show<frmAddProperty>(Adding("Driver's note", "0"));
    Show<frmAddProperty>(Adding("Colour", "1", {{"text", "TextBoxComboValues", {"Red;Blue;"}}}));
    Show<frmAddProperty>(Adding("Verified", "2", {{"check", "CheckBoxDefaultValue", {"1"}}}));
    EXPECT_EQ(Stored("SELECT P_Label, P_Type, quote(P_DefaultValue), quote(P_ComboValues), "
                     "P_Deleted, P_CreationDate IS NOT NULL FROM Properties"),
              "Priority|COMB|'ig'|'High;Low;'|0|1\n"
              "Driver's note|TEXT|NULL|NULL|0|1\n"
              "Colour|COMB|''|'Red;Blue;'|0|1\n"
              "Verified|CHCK|'1'|NULL|0|1");
}

TEST_F(DefinitionsTest, AddWindowOpensAsDesignedAndCancelStoresNothing) {
    auto form = Show<frmAddProperty>({{"text", "TextBoxPropertyLabel", {"Note"}},
                                      {"dblclick", "ListBoxType", {"0"}},
                                      {"click", "CommandButtonCancel", {}}});
    EXPECT_EQ(form->Caption, "Add a Property");
    EXPECT_EQ(form->LabelType.Caption, "Display Type (double-click to select)");
    EXPECT_EQ(form->BackColor, 14263669);
    EXPECT_EQ(form->Icon, 101);
    EXPECT_EQ(form->ListBoxType.Describe(),
              "ListBoxType: 3 rows, index 0\n  > TextBox\n    ComboBox\n    CheckBox");
    EXPECT_FALSE(form->IsOpen());
    EXPECT_EQ(Stored("SELECT count(*) FROM Properties"), "0");

    form = Open<frmAddProperty>();
    for (const host::Control* hidden : std::initializer_list<const host::Control*>{
             &form->LabelWarning, &form->TextBoxDefaultValue, &form->CheckBoxDefaultValue,
             &form->LabelComboValues, &form->TextBoxComboValues, &form->LabelDefaultValue}) {
        EXPECT_FALSE(hidden->Visible) << hidden->Name();
    }
    EXPECT_FALSE(form->CommandButtonOk.Enabled);
    EXPECT_EQ(form->TextBoxPropertyLabel.MaxLength, 50);
}

TEST_F(DefinitionsTest, TwentyLiveDefinitionsAreTheLimit) {
    const std::vector<FormAction> addOne = Adding("One more", "0");
    for (int k = 1; k <= 19; ++k) {
        Define("P" + std::to_string(k), "TEXT");
    }
    // A deleted definition does not count.
    db::Database::Open(database).Execute(
        "INSERT INTO Properties (P_Label, P_Type, P_Deleted) VALUES ('Old', 'TEXT', 1)");
    EXPECT_EQ(Properties::CountProperties(context), 19);
    auto form = Show<frmAddProperty>(addOne);
    EXPECT_FALSE(form->IsOpen()) << "the 20th is accepted";
    EXPECT_EQ(Properties::CountProperties(context), 20);

    form = Show<frmAddProperty>(addOne);
    EXPECT_EQ(form->LabelWarning.Caption, WARNING_MAXIMUM);
    EXPECT_TRUE(form->LabelWarning.Visible);
    EXPECT_FALSE(form->ListBoxType.Enabled);
    EXPECT_FALSE(form->CommandButtonOk.Enabled) << "only Cancel is left";
    EXPECT_EQ(form->ChosenType(), "");
    EXPECT_EQ(Stored("SELECT count(*) FROM Properties WHERE P_Deleted = 0"), "20");

    // Another user took the last place while the window was open.
    db::Database::Open(database).Execute(
        "UPDATE Properties SET P_Deleted = 1 WHERE P_Label = 'P1'");
    form = Open<frmAddProperty>();
    Define("P21", "TEXT");
    form->TextBoxPropertyLabel.Type("Late");
    form->ListBoxType.DoubleClick(0);
    form->CommandButtonOk.Click();
    EXPECT_EQ(form->LabelWarning.Caption, WARNING_MAXIMUM);
    EXPECT_EQ(Stored("SELECT count(*) FROM Properties WHERE P_Deleted = 0"), "20");
}

TEST_F(DefinitionsTest, ValuesThatCannotTakeTheirSemicolonAreCutAndShown) {
    const std::string sixtyFour =
        "Alpha;Beta;Gamma;Delta;Epsilon;Zeta;Eta;Theta;Iota;Kappa;Lambdas";
    ASSERT_EQ(sixtyFour.size(), 64U);
    auto form = Open<frmAddProperty>();
    form->TextBoxPropertyLabel.Type("Letter");
    form->ListBoxType.DoubleClick(1);
    form->TextBoxComboValues.Type(sixtyFour + ";Mu;");
    EXPECT_EQ(form->TextBoxComboValues.Text, sixtyFour) << "the box takes what the column holds";
    form->CommandButtonOk.Click();
    EXPECT_TRUE(form->IsOpen()) << "the user sees what will be stored first";
    EXPECT_THAT(form->LabelWarning.Caption, HasSubstr("64"));
    EXPECT_EQ(form->TextBoxComboValues.Text, sixtyFour.substr(0, 63) + ";");
    form->CommandButtonOk.Click();
    EXPECT_FALSE(form->IsOpen());
    EXPECT_EQ(Stored("SELECT P_ComboValues, length(P_ComboValues) FROM Properties"),
              sixtyFour.substr(0, 63) + ";|64");
    EXPECT_EQ(Properties::ComboValuesToStore("a;b").text, "a;b;");
    EXPECT_FALSE(Properties::ComboValuesToStore(sixtyFour.substr(0, 63) + ";").cut);
}

TEST_F(DefinitionsTest, DeletingMarksTheDefinitionAndRemovesItsValuesForGood) {
    std::int64_t status = Define("Status", "COMB", "Open", "Open;Closed;");
    std::int64_t note = Define("Note", "TEXT");
    StoreValue(status, "ELEM00000001", "Closed");
    StoreValue(status, "ELEM00000002", "Open");
    StoreValue(note, "ELEM00000001", "kept");

    // No, then Yes.
    ui.AnswerMsgBox(host::MsgBoxResult::vbNo);
    ui.AnswerMsgBox(host::MsgBoxResult::vbYes);
    auto form = Show<frmDelProperty>({{"print", "ListBoxProperties", {}},
                                      {"click", "CommandButtonDel", {}},
                                      {"select", "ListBoxProperties", {"0"}},
                                      {"click", "CommandButtonDel", {}},
                                      {"click", "CommandButtonDel", {}},
                                      {"print", "ListBoxProperties", {}},
                                      {"click", "CommandButtonCancel", {}}});
    EXPECT_THAT(
        ui.Transcript(),
        ElementsAre(
            "form frmDelProperty modal \"Delete a property\"",
            "  ListBoxProperties: 2 rows, index -1\n      Status\n      Note",
            "  click CommandButtonDel", "  select ListBoxProperties \"0\"",
            "  click CommandButtonDel",
            "  msgbox \"Delete\" flags=308 \"Do you Want to Delete the propertyStatus and all the "
            "values related to the Elements ?\\rThis operation is irreversible. Continue ?\" -> no",
            "  click CommandButtonDel",
            "  msgbox \"Delete\" flags=308 \"Do you Want to Delete the propertyStatus and all the "
            "values related to the Elements ?\\rThis operation is irreversible. Continue ?\" -> "
            "yes",
            "  ListBoxProperties: 1 rows, index -1\n      Note", "  click CommandButtonCancel",
            "end form frmDelProperty"));
    EXPECT_EQ(Stored("SELECT P_Label, P_Deleted FROM Properties"), "Status|1\nNote|0");
    EXPECT_EQ(Stored("SELECT P_id, E_id, PE_value FROM ElemProperties"),
              std::to_string(note) + "|ELEM00000001|kept");
    EXPECT_EQ(Properties::CountProperties(context), 1);

    // The last one gone, nothing is left to delete.
    ui.AnswerMsgBox(host::MsgBoxResult::vbYes);
    form = Show<frmDelProperty>(
        {{"select", "ListBoxProperties", {"0"}}, {"click", "CommandButtonDel", {}}});
    EXPECT_FALSE(form->CommandButtonDel.Enabled);
    EXPECT_EQ(Stored("SELECT count(*) FROM ElemProperties"), "0");
    auto modify = Show<frmModifyProperty>({});
    EXPECT_EQ(modify->ComboBoxProperties.ListCount(), 0) << "no window lists a deleted one";
}

TEST_F(DefinitionsTest, ModifyingLocksTheChoiceAtTheFirstEditAndKeepsTheType) {
    Define("Note", "TEXT", "none");
    Define("Status", "COMB", "Open", "Open;Closed;");
    Define("Checked", "CHCK", "1");
    Define("Reviewed", "CHCK", "False");
    auto form = Show<frmModifyProperty>({{"print", "ComboBoxProperties", {}},
                                         {"select", "ComboBoxProperties", {"2"}},
                                         {"print", "CheckBoxDefaultValue", {}},
                                         {"select", "ComboBoxProperties", {"3"}},
                                         {"print", "CheckBoxDefaultValue", {}},
                                         {"select", "ComboBoxProperties", {"1"}},
                                         {"text", "TextBoxComboValues", {"Open;Closed;Held"}},
                                         {"select", "ComboBoxProperties", {"0"}},
                                         {"text", "TextBoxDefaultValue", {"Held"}},
                                         {"text", "TextBoxPropertyLabel", {"State"}},
                                         {"click", "CommandButtonOk", {}}});
    const auto& transcript = ui.Transcript();
    EXPECT_EQ(transcript[1],
              "  ComboBoxProperties: 4 rows, index -1\n      Note | TEXT\n      Status | COMB\n"
              "      Checked | CHCK\n      Reviewed | CHCK\n    text: \"\"");
    EXPECT_EQ(transcript[3], "  CheckBoxDefaultValue: 1") << "\"1\" of the add window";
    EXPECT_EQ(transcript[5], "  CheckBoxDefaultValue: 0") << "\"False\" of the modify window";
    EXPECT_FALSE(form->IsOpen());
    EXPECT_EQ(form->LabelTypeValue.Caption, "ComboBox") << "the edited one stayed chosen";
    EXPECT_EQ(Stored("SELECT P_Label, P_Type, P_DefaultValue, P_ComboValues FROM Properties "
                     "WHERE P_Autonum = 2"),
              "State|COMB|Held|Open;Closed;Held;");

    // A text's empty default is stored empty here; a check box's as a Boolean.
    Show<frmModifyProperty>({{"select", "ComboBoxProperties", {"0"}},
                             {"text", "TextBoxDefaultValue", {""}},
                             {"click", "CommandButtonOk", {}}});
    Show<frmModifyProperty>({{"select", "ComboBoxProperties", {"2"}},
                             {"click", "CheckBoxDefaultValue", {}},
                             {"click", "CommandButtonOk", {}}});
    EXPECT_EQ(Stored("SELECT quote(P_DefaultValue), P_Type FROM Properties WHERE P_Autonum IN "
                     "(1, 3)"),
              "''|TEXT\n'False'|CHCK");

    // Checks as in the add window; an edit before any choice saves nothing.
    form = Show<frmModifyProperty>({{"select", "ComboBoxProperties", {"1"}},
                                    {"text", "TextBoxDefaultValue", {"Gone"}},
                                    {"click", "CommandButtonOk", {}}});
    EXPECT_EQ(form->LabelWarning.Caption, WARNING_RANGE);
    form = Show<frmModifyProperty>(
        {{"text", "TextBoxPropertyLabel", {"Orphan"}}, {"click", "CommandButtonOk", {}}});
    EXPECT_TRUE(LeftOpen());
    EXPECT_EQ(Stored("SELECT count(*) FROM Properties WHERE P_Label = 'Orphan'"), "0");
}

TEST(CheckValueTest, BothStoredFormsReadBack) {
    for (const char* ticked : {"1", "True", "true", "-1", "Vrai", " TRUE "}) {
        EXPECT_TRUE(Properties::CheckValue(ticked)) << ticked;
    }
    for (const char* cleared : {"0", "False", "Faux", "", "maybe"}) {
        EXPECT_FALSE(Properties::CheckValue(cleared)) << cleared;
    }
    EXPECT_FALSE(Properties::CheckValue(std::nullopt));
    EXPECT_EQ(Properties::ComboEntries("High;;Low;"), (std::vector<std::string>{"High", "Low"}));
}

}  // namespace
}  // namespace veln
