// Elements over very long text: hiding and showing numbers, and attaching
// the document, walk it in time and stack that its length alone bounds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/db_attach_document.h"
#include "elements/elements.h"
#include "host/docx/docx_application.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "temp_dir.h"

namespace veln {
namespace {

TEST(LongTextTest, AHundredThousandDigitsAfterSlashesAreWalkedNotRecursedOn) {
    test::TempDir dir;
    const std::string database = dir / "project.mdb";
    schema::CreateProjectDatabaseFile(database);
    host::PosixSystem system;
    host::ScriptedUi ui;
    host::docx::DocxApplication app;
    Context context{ui, system, app};
    host::Document& document = app.AddDocument();
    const std::string text = "//" + std::string(100000, '4') + " and no closing slashes";
    document.Content().InsertAfter(text + "\rSecond");
    document.SaveAs(dir / "long.docx");
    utilElements::SetDocVariable(context, VARDOC_DB_NAME, database);
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "DOC00001");
    utilElements::SetDocVariable(context, VARDOC_NUMBERS, "1");
    document.Bookmarks().Add("ELEM00000001", document.MakeRange(0, document.ParagraphAt(0).second));
    db::Database projectDatabase = db::Database::Open(database);
    projectDatabase.Execute("INSERT INTO Documents (D_ID, D_Name) VALUES ('DOC00001', ?1)",
                            {document.FullName()});
    projectDatabase.Execute(
        "INSERT INTO Elements (E_id, E_DocId, E_level, E_Number1) VALUES ('ELEM00000001', "
        "'DOC00001', 1, 1)");

    EXPECT_TRUE(dbElements::dbAttachDocument(context));
    EXPECT_EQ(document.Bookmarks().Item("ELEM00000001").Range().Text(),
              "//1.0.0.0// " + text + "\r");
    Elements::HideAllNumbers(context);
    EXPECT_EQ(document.Content().Text(), text + "\rSecond\r") << "only the marker goes";
}

}  // namespace
}  // namespace veln
