// The list of elements and property values: rows, columns, values placed by
// element and property, what is skipped, and the dialog's hyperlink option.
#include "traceability/element_value_list.h"

#include <gmock/gmock.h>

#include "outputs_fixture.h"
#include "traceability/frm_list_elem_prop.h"

namespace veln {
namespace {

using test::ReadWorkbook;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* S1 = "ELEMSRC00001";
constexpr const char* S2 = "ELEMSRC00002";

class ElementValueListTest : public test::OutputsTest {
  protected:
    ReadWorkbook List(const std::string& docId = test::SOURCE_ID) {
        ElementValueListRequest request;
        request.dbPath = database;
        request.document = {docId, docId == test::SOURCE_ID ? SourcePath() : TargetPath()};
        host::Workbook workbook;
        ElementValueList::Fill(workbook, request);
        return Saved(workbook);
    }
    void TwoElements() {
        AddElement(S2, test::SOURCE_ID, {2, 0, 0, 0}, "Warning");
        AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
    }
};

TEST_F(ElementValueListTest, ValuesArePlacedByElementAndProperty) {
    TwoElements();
    AddElement("ELEMSRC00003", test::SOURCE_ID, {3, 0, 0, 0}, "Gone", true);
    AddElement("ELEMTGT00001", test::TARGET_ID, {1, 0, 0, 0}, "Elsewhere");
    std::int64_t status = AddProperty("Status");
    std::int64_t owner = AddProperty("Owner", true);
    std::int64_t risk = AddProperty("Risk");
    AddValue(risk, S2, "High");
    AddValue(status, S1, "Open");
    AddValue(owner, S1, "Ann");                   // a deleted property
    AddValue(status, "ELEMTGT00001", "Other");    // another document
    AddValue(status, "ELEMSRC00003", "Deleted");  // a deleted element
    AddValue(risk, "ELEMNOWHERE1", "Lost");
    ReadWorkbook sheet = List();
    EXPECT_EQ(sheet.sheet, "plan.docx");
    EXPECT_EQ(sheet.title, "List of elements");
    EXPECT_EQ(sheet.subject, "elements");
    // Neither the deleted property nor the deleted element is listed.
    EXPECT_THAT(sheet.Row(1), ElementsAre("Elements", "Label", "Status", "Risk"));
    EXPECT_THAT(sheet.Row(2), ElementsAre("1.0.0.0", "Brakes", "Open"));
    EXPECT_THAT(sheet.Row(3), ElementsAre("2.0.0.0", "Warning", "", "High"));
    EXPECT_THAT(sheet.Row(4), IsEmpty());
    EXPECT_EQ(sheet.Cell(2, 1).link, "file://" + SourcePath() + "#" + S1);
    // Row 1 and column 1 bold, the rest plain.
    EXPECT_TRUE(sheet.Cell(1, 3).look.bold);
    EXPECT_TRUE(sheet.Cell(3, 1).look.bold);
    EXPECT_FALSE(sheet.Cell(2, 2).look.bold);
    EXPECT_FALSE(sheet.Cell(3, 4).look.bold);
    ASSERT_TRUE(sheet.rows.contains(1));
    EXPECT_TRUE(sheet.rows.at(1).bold);
    ASSERT_TRUE(sheet.columns.contains("A"));
    EXPECT_TRUE(sheet.columns.at("A").bold);
}

TEST_F(ElementValueListTest, ANumberPastSixteenBitsIsShownAsStored) {
    ExecuteUnchecked(
        "INSERT INTO Elements (E_id, E_DocId, E_label, E_Number1, E_Number2, E_Number3, "
        "E_Number4, E_Deleted) VALUES ('ELEMSRC00009', ?1, 'Far', 70000, 0, 0, 0, 0)",
        {test::SOURCE_ID});
    EXPECT_THAT(List().Row(2), ElementsAre("70000.0.0.0", "Far")) << "not wrapped to 4464";
}

TEST_F(ElementValueListTest, NoElementGivesTheHeaderAlone) {
    AddProperty("Status");
    AddProperty("Risk");
    ReadWorkbook sheet = List(test::TARGET_ID);
    EXPECT_EQ(sheet.sheet, "tests.docx");
    EXPECT_THAT(sheet.Row(1), ElementsAre("Elements", "Label", "Status", "Risk"));
    for (const auto& [address, cell] : sheet.cells) {
        EXPECT_EQ(address.back(), '1') << address << " is below the header";
    }
}

TEST_F(ElementValueListTest, NoPropertyGivesTheElementsAlone) {
    TwoElements();
    AddProperty("Removed", true);
    ReadWorkbook sheet = List();
    EXPECT_THAT(sheet.Row(1), IsEmpty()) << "no heading without properties";
    EXPECT_THAT(sheet.Row(2), ElementsAre("1.0.0.0", "Brakes"));
    EXPECT_THAT(sheet.Row(3), ElementsAre("2.0.0.0", "Warning"));
}

// The dialog: the active document chosen, and a new workbook at once when
// the hyperlink option changes.
class FrmListElemPropTest : public ElementValueListTest {
  protected:
    FrmListElemPropTest() {
        OpenSource();
        TwoElements();
        form.Load();
    }
    // The workbook the dialog showed last.
    ReadWorkbook Latest() {
        const std::string& line = ui.Transcript().back();
        std::size_t open = line.find('"');
        return test::ReadBack(line.substr(open + 1, line.rfind('"') - open - 1));
    }

    frmListElemProp form{context};
};

TEST_F(FrmListElemPropTest, TheHyperlinkOptionRebuildsAtOnce) {
    EXPECT_EQ(form.Caption, "Element's Properties Values");
    EXPECT_EQ(form.CommandPopulate.Caption, "Export");
    EXPECT_EQ(form.ComboBoxSource.ListIndex(), 0);
    EXPECT_TRUE(form.CheckBoxHyperlink.Value);
    EXPECT_TRUE(Workbooks().empty()) << "opening builds nothing";

    form.CheckBoxHyperlink.Set(false);
    ASSERT_EQ(Workbooks().size(), 1U);
    EXPECT_EQ(Latest().Cell(2, 1).link, "");
    form.CheckBoxHyperlink.Set(true);
    ASSERT_EQ(Workbooks().size(), 2U);
    EXPECT_EQ(Latest().Cell(2, 1).link, "file://" + SourcePath() + "#" + S1);
    form.CommandPopulate.Click();
    EXPECT_EQ(Workbooks().size(), 3U);
    EXPECT_EQ(ui.Transcript().size(), 3U);
    EXPECT_EQ(Latest().Value(3, 2), "Warning");

    // Without a chosen document neither builds anything.
    form.ComboBoxSource.SetListIndex(-1);
    form.CheckBoxHyperlink.Set(false);
    form.CommandPopulate.Click();
    EXPECT_EQ(Workbooks().size(), 3U);
}

}  // namespace
}  // namespace veln
