// veln project relink: documents linked again to a copy of their project,
// here one on a real PostgreSQL server, and every document that cannot be
// left byte for byte as it was.
#include "project_commands.h"

#include <fstream>
#include <sstream>

#include <gmock/gmock.h>

#include "database/doc_variables.h"
#include "database/project_copy.h"
#include "host/docx/docx_application.h"
#include "host/word/variables.h"
#include "postgres_server.h"
#include "world.h"

namespace veln::cli {
namespace {

using ::testing::HasSubstr;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A saved document linked to the world's project file, beside it.
class RelinkTest : public ::testing::Test, public test::World {
  protected:
    RelinkTest() {
        host::Document& document = NewDocument({"Stop within 40 m."}, "plan.docx");
        utilElements::SetDbName(context, database);
        document.Save();
        plan = document.FullName();
        app.CloseDocument(document);
        server = test::SharedPostgresServer().CreateDatabase("relink" + std::to_string(++made));
        dbProject::Copy(database, server);
    }

    // The document's variable, "" when it has none.
    static std::string Variable(const std::string& path, const char* name) {
        host::docx::DocxApplication reader;
        host::Variables variables = reader.OpenDocument(path).Variables();
        return variables.Exists(name) ? variables.Item(name).Value() : "";
    }

    int Relink(std::vector<std::string> documents, const std::string& to) {
        ProjectOptions options;
        options.to = to;
        options.documents = std::move(documents);
        return RelinkDocuments(options, out, err);
    }

    static inline int made = 0;
    std::string plan;
    std::string server;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RelinkTest, ADocumentFollowsItsProjectToAServer) {
    ASSERT_EQ(Variable(plan, VARDOC_DB_RELATIVE), "project.mdb");
    EXPECT_EQ(Relink({plan}, server), 0) << err.str();
    EXPECT_EQ(out.str(), plan + ": linked to " + server + "\n");
    EXPECT_EQ(Variable(plan, VARDOC_DB_NAME), server);
    EXPECT_EQ(Variable(plan, VARDOC_DB_RELATIVE), "")
        << "the file's path beside the document would name the old project";
    EXPECT_EQ(Variable(plan, VARDOC_DOC_ID), test::DOCUMENT_ID);

    // And back to the file, its path beside the document again.
    EXPECT_EQ(Relink({plan}, database), 0) << err.str();
    EXPECT_EQ(Variable(plan, VARDOC_DB_NAME), database);
    EXPECT_EQ(Variable(plan, VARDOC_DB_RELATIVE), "project.mdb");
}

TEST_F(RelinkTest, DocumentsThatCannotBeAreLeftAsTheyWereAndTheOthersLinked) {
    // Linked after the copy: the server does not know it.
    NewDocument({"Later"}, "later.docx", "DOCLATER").Save();
    const std::string later = Document().FullName();
    NewDocument({"Alone"}, "alone.docx", "").Save();
    const std::string alone = Document().FullName();
    const std::string laterBytes = Bytes(later);
    const std::string aloneBytes = Bytes(alone);

    EXPECT_EQ(Relink({later, alone, plan}, server), 1);
    EXPECT_THAT(err.str(), HasSubstr(later + ": its document DOCLATER is not in " + server));
    EXPECT_THAT(err.str(), HasSubstr(alone + " is linked to no project"));
    EXPECT_EQ(Bytes(later), laterBytes);
    EXPECT_EQ(Bytes(alone), aloneBytes);
    EXPECT_EQ(Variable(plan, VARDOC_DB_NAME), server) << "the others are linked all the same";
}

TEST_F(RelinkTest, NoDocumentIsTouchedWhenTheProjectCannotBeRead) {
    const std::string before = Bytes(plan);
    EXPECT_EQ(Relink({plan}, dir / "missing.mdb"), 1);
    EXPECT_EQ(Relink({plan}, test::SharedPostgresServer().CreateDatabase("relinkempty")), 1)
        << "an empty database is no project";
    EXPECT_EQ(Bytes(plan), before);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace veln::cli
