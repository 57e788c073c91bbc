// The outputs written from the command line: documents named by id or path,
// the first-rank option, and every refusal a message with nothing written.
#include "batch_outputs.h"

#include <filesystem>
#include <sstream>
#include <utility>

#include <gmock/gmock.h>
#include <sys/stat.h>

#include "database/doc_variables.h"
#include "host/docx/docx_application.h"
#include "host/word/hyperlinks.h"
#include "host/word/range.h"
#include "outputs_fixture.h"

namespace veln::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* S1 = "ELEMSRC00001";
constexpr const char* T1 = "ELEMTGT00001";

class BatchOutputsTest : public test::OutputsTest {
  protected:
    BatchOutputsTest() {
        AddElement(S1, test::SOURCE_ID, {1, 0, 0, 0}, "Brakes");
        AddElement(T1, test::TARGET_ID, {1, 0, 0, 0}, "Test stop");
        AddLink(S1, test::SOURCE_ID, T1, test::TARGET_ID);
    }
    int Matrix() { return WriteMatrix(matrix, system, err); }
    int List() { return WriteList(list, err); }
    int Tree() { return WriteTree(tree, system, err); }

    std::string output = dir / "out.xlsx";
    std::string treeOutput = dir / "tree.docx";
    MatrixOptions matrix{.database = database,
                         .source = test::SOURCE_ID,
                         .target = test::TARGET_ID,
                         .output = output,
                         .firstRank = std::nullopt};
    ListOptions list{.database = database, .document = test::SOURCE_ID, .output = output};
    TreeOptions tree{.database = database,
                     .root = test::SOURCE_ID,
                     .tree = test::TARGET_ID,
                     .leaf = "",
                     .output = treeOutput};
    std::ostringstream err;
};

TEST_F(BatchOutputsTest, DocumentsAreNamedByIdOrStoredPath) {
    matrix.source = SourcePath();
    fs::path before = fs::current_path();
    fs::current_path(dir.Path());
    matrix.target = test::TARGET_FILE;  // relative to the current folder
    int status = Matrix();
    fs::current_path(before);
    ASSERT_EQ(status, 0) << err.str();
    test::ReadWorkbook sheet = test::ReadBack(output);
    EXPECT_EQ(sheet.sheet, "plan.docx-tests.docx");
    EXPECT_EQ(sheet.Value(5, 4), "\u2022");
    EXPECT_EQ(sheet.Cell(5, 1).link, "file://" + SourcePath() + "#" + S1);

    matrix.target = test::TARGET_ID;
    matrix.hyperlinks = false;
    matrix.wrap = true;
    ASSERT_EQ(Matrix(), 0) << err.str();
    sheet = test::ReadBack(output);
    EXPECT_EQ(sheet.Cell(5, 1).link, "") << "the output is replaced";
    EXPECT_TRUE(sheet.Cell(5, 2).look.wrap);

    list.document = SourcePath();
    list.hyperlinks = false;
    ASSERT_EQ(List(), 0) << err.str();
    sheet = test::ReadBack(output);
    EXPECT_EQ(sheet.title, "List of elements");
    EXPECT_EQ(sheet.Value(2, 2), "Brakes");
    EXPECT_EQ(sheet.Cell(2, 1).link, "");
    EXPECT_EQ(err.str(), "");
}

TEST_F(BatchOutputsTest, AboveTheColumnLimitAFirstRankIsNeeded) {
    for (int k = 1; k <= 257; ++k) {
        AddElement("ELEMTGT" + std::to_string(10000 + k), test::TARGET_ID,
                   {k <= 200 ? 1 : 2, k, 0, 0}, "t");
    }
    EXPECT_EQ(Matrix(), 1);
    EXPECT_THAT(err.str(), HasSubstr("veln matrix: the target has 258 live elements"));
    EXPECT_THAT(err.str(), HasSubstr("--first-rank"));
    EXPECT_FALSE(fs::exists(output));
    matrix.firstRank = 2;
    ASSERT_EQ(Matrix(), 0) << err.str();
    test::ReadWorkbook sheet = test::ReadBack(output);
    EXPECT_EQ(sheet.Value(2, 4), "2.201.0.0");
    EXPECT_EQ(sheet.Value(2, 60), "2.257.0.0");
    EXPECT_EQ(sheet.Value(2, 61), "");
}

TEST_F(BatchOutputsTest, RefusalsNameWhatIsWrongAndWriteNothing) {
    // Each refusal is a status 1 and a message; no workbook is written.
    auto refused = [&](int status, const std::string& message) {
        EXPECT_EQ(status, 1);
        EXPECT_THAT(err.str(), HasSubstr(message));
        EXPECT_FALSE(fs::is_regular_file(output));
        err.str("");
    };
    matrix.target = "DOCNONE1";
    refused(Matrix(), "veln matrix: no document of the project " + database + " is \"DOCNONE1\"");
    matrix.target = dir / "other.docx";
    refused(Matrix(), "is \"" + (dir / "other.docx") + "\"");
    matrix.target = test::TARGET_ID;

    test::WriteFile(dir / "notes.mdb", "not a database at all");
    matrix.database = dir / "notes.mdb";
    refused(Matrix(), "notes.mdb");
    db::Database::Create(dir / "empty.mdb").Execute("CREATE TABLE Other (x)");
    matrix.database = dir / "empty.mdb";
    refused(Matrix(), "is not a project database");
    matrix.database = dir / "missing.mdb";
    refused(Matrix(), "missing.mdb");
    matrix.database = database;

    matrix.output = dir / "no-folder/out.xlsx";
    refused(Matrix(), "no-folder");
    fs::create_directory(output);
    matrix.output = output;
    refused(Matrix(), "it is a folder");
    list.document = "DOCNONE1";
    refused(List(), "veln list: no document of the project");
}

TEST_F(BatchOutputsTest, APathOfSeveralRowsNamesTheRowItsFileIsLinkedTo) {
    // The source unlinked and linked again: a second row with the same path,
    // and the file linked to it.
    AddDocument("DOCSRC02", SourcePath());
    AddElement("ELEMSRC00002", "DOCSRC02", {1, 0, 0, 0}, "Second life");
    NewDocument({"Brakes"}, test::SOURCE_FILE, "");
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "DOCSRC02");
    Document().Save();
    list.document = SourcePath();
    ASSERT_EQ(List(), 0) << err.str();
    EXPECT_THAT(test::ReadBack(output).Row(2), ::testing::ElementsAre("1.0.0.0", "Second life"));

    // Linked to neither: the command says so and lists the rows.
    utilElements::SetDocVariable(context, VARDOC_DOC_ID, "DOCELSE1");
    Document().Save();
    fs::remove(output);
    EXPECT_EQ(List(), 1);
    EXPECT_THAT(err.str(), HasSubstr("names 2 documents of the project " + database + " (ids " +
                                     test::SOURCE_ID + ", DOCSRC02)"));
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(BatchOutputsTest, ARowWithoutAnIdIsADamagedRowNotACrash) {
    ExecuteUnchecked("INSERT INTO Documents (D_ID, D_Name) VALUES (NULL, ?1)",
                     {dir / "damaged.docx"});
    tree.tree = dir / "damaged.docx";
    EXPECT_EQ(Tree(), 1);
    EXPECT_THAT(err.str(),
                HasSubstr("veln tree: the project's row for \"" + (dir / "damaged.docx") +
                          "\" has no id (D_ID): the project database is damaged"));
    EXPECT_FALSE(fs::exists(treeOutput));
}

TEST_F(BatchOutputsTest, ControlCharactersOfAnOlderProjectReadAsBlanks) {
    ExecuteUnchecked(
        "UPDATE Elements SET E_label = 'Brakes' || char(13) || 'front' || char(0) || "
        "'axle' || char(1) WHERE E_id = ?1",
        {S1});
    ASSERT_EQ(Tree(), 0) << err.str();
    std::string text = host::docx::OpenDocumentFile(treeOutput)->Content().Text();
    EXPECT_THAT(text, HasSubstr("\r1.0.0.0 - Brakes front axle \t\t\r"))
        << "one entry, one paragraph";
    ASSERT_EQ(List(), 0) << err.str();
    EXPECT_EQ(test::ReadBack(output).Value(2, 2), "Brakes front axle ") << "the cell whole";
}

TEST_F(BatchOutputsTest, ATreePastItsLimitIsRefusedWithNothingWritten) {
    // The one element linked 100,000 times more: an entry under it for each.
    ExecuteUnchecked(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2) SELECT ?1, ?2, ?3, ?4 FROM n",
        {S1, test::SOURCE_ID, T1, test::TARGET_ID});
    EXPECT_EQ(Tree(), 1);
    EXPECT_THAT(err.str(), HasSubstr("veln tree: The tree would have 100002 entries, more than "
                                     "the 100000 it can show"));
    EXPECT_FALSE(fs::exists(treeOutput));
}

TEST_F(BatchOutputsTest, AnOutputNeverReplacesTheProjectsFilesOrWhatIsNoFile) {
    test::WriteFile(SourcePath(), "the plan");
    test::WriteFile(dir / "mine.xlsx", "the user's");
    const std::string project = test::ReadFile(database);
    fs::create_symlink(database, dir / "project-link.xlsx");
    fs::create_symlink(dir / "gone.xlsx", dir / "dangling.xlsx");
    ASSERT_EQ(mkfifo((dir / "pipe.xlsx").c_str(), 0600), 0);
    for (auto [path, rule] :
         {std::pair<std::string, std::string>{database, "it is the project database"},
          {dir / "project-link.xlsx", "it is the project database"},
          {SourcePath(), std::string("it is the project's document ") + test::SOURCE_ID},
          {TargetPath(), std::string("it is the project's document ") + test::TARGET_ID},
          {dir / "dangling.xlsx", "it is a symbolic link that leads nowhere"},
          {dir / "pipe.xlsx", "it is a device, a pipe or a socket"}}) {
        SCOPED_TRACE(path);
        matrix.output = list.output = tree.output = path;
        EXPECT_EQ(Matrix(), 1);
        EXPECT_EQ(List(), 1);
        EXPECT_EQ(Tree(), 1);
        EXPECT_THAT(err.str(), HasSubstr("veln tree: will not write " + path + ": " + rule));
        err.str("");
    }
    EXPECT_EQ(test::ReadFile(database), project);
    EXPECT_EQ(test::ReadFile(SourcePath()), "the plan");
    EXPECT_FALSE(fs::exists(TargetPath())) << "nothing written under a document's name";

    // A link to a regular file writes the file it leads to, which keeps its mode.
    fs::permissions(dir / "mine.xlsx", fs::perms(0640));
    fs::create_symlink(dir / "mine.xlsx", dir / "link.xlsx");
    matrix.output = dir / "link.xlsx";
    ASSERT_EQ(Matrix(), 0) << err.str();
    EXPECT_TRUE(fs::is_symlink(dir / "link.xlsx"));
    EXPECT_EQ(test::ReadBack(dir / "mine.xlsx").Value(5, 2), "Brakes");
    EXPECT_EQ(fs::status(dir / "mine.xlsx").permissions() & fs::perms::mask, fs::perms(0640));
}

TEST_F(BatchOutputsTest, TheTreeIsWrittenAsADocumentWithItsLinks) {
    ASSERT_EQ(Tree(), 0) << err.str();
    auto written = host::docx::OpenDocumentFile(treeOutput);
    std::string text = written->Content().Text();
    EXPECT_THAT(text, HasSubstr("Level 1 : " + SourcePath()));
    EXPECT_THAT(text, HasSubstr("Level 2 : " + TargetPath()));
    EXPECT_THAT(text, HasSubstr("1.0.0.0 - Brakes"));
    EXPECT_THAT(text, HasSubstr("\t1.0.0.0 - Test stop"));
    ASSERT_EQ(written->Hyperlinks().Count(), 2);
    EXPECT_EQ(written->Hyperlinks().Item(1).address, "file://" + SourcePath());
    EXPECT_EQ(written->Hyperlinks().Item(1).subAddress, S1);

    tree.hyperlinks = false;
    tree.numbers = false;
    ASSERT_EQ(Tree(), 0) << err.str();
    written = host::docx::OpenDocumentFile(treeOutput);
    EXPECT_EQ(written->Hyperlinks().Count(), 0) << "the output is replaced";
    EXPECT_THAT(written->Content().Text(), HasSubstr("\tTest stop"));
    EXPECT_THAT(written->Content().Text(), Not(HasSubstr("1.0.0.0")));
    EXPECT_EQ(err.str(), "");
}

TEST_F(BatchOutputsTest, ATreeOfOneDocumentOrAnUnknownOneIsRefused) {
    tree.tree = test::SOURCE_ID;
    EXPECT_EQ(Tree(), 1);
    EXPECT_THAT(err.str(), HasSubstr("veln tree: the documents of the three levels must differ"));
    tree.tree = test::TARGET_ID;
    tree.leaf = "DOCNONE1";
    err.str("");
    EXPECT_EQ(Tree(), 1);
    EXPECT_THAT(err.str(), HasSubstr("no document of the project"));
    EXPECT_FALSE(fs::exists(treeOutput));
}

}  // namespace
}  // namespace veln::cli
