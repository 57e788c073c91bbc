// The world one test (or benchmark) runs in: a fresh folder, the platform,
// a scripted user, the word processor without a screen, the program's
// context, and an empty project database in the folder. Suites derive their
// fixtures from it instead of building each piece again.
#pragma once

#include <string>
#include <vector>

#include "elements/context.h"
#include "host/docx/docx_application.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "temp_dir.h"

namespace veln::test {

// The document id the fixtures give the document they link.
inline constexpr const char* DOCUMENT_ID = "DOC00001";
// The name of the project database in the folder.
inline constexpr const char* DATABASE_FILE = "project.mdb";

// The services of a run: the platform, a scripted user, the word processor
// without a screen, and the program's context over them.
struct Services {
    explicit Services(host::EnvironmentLookup environment = host::ProcessEnvironment())
        : system(std::move(environment)) {}
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;
    virtual ~Services() = default;

    host::PosixSystem system;
    host::ScriptedUi ui;
    host::docx::DocxApplication app;
    Context context{ui, system, app};
};

// The folder of a world, made before its services, which live in it.
struct Folder {
    TempDir dir;
};

// The environment of a user of one's own, living in folder: English, settings,
// data and startup folder inside it; the program folder of the build.
host::EnvironmentLookup UserEnvironment(const TempDir& folder, const std::string& locale = "C");

// The project database of a world: a file in its folder, or, when
// VELN_TEST_DATABASE=postgresql, a database of its own on the test program's
// PostgreSQL server, dropped with the world.
struct ProjectStore {
    explicit ProjectStore(const TempDir& dir);
    ~ProjectStore();
    ProjectStore(const ProjectStore&) = delete;
    ProjectStore& operator=(const ProjectStore&) = delete;

    std::string serverDatabase;  // its name on the server, "" for a file
    std::string database;        // the project database's name
};

// Whether the suites run on a server (VELN_TEST_DATABASE=postgresql).
bool OnServer();

// A project of two linked documents, the forms' scenarios' on both hosts:
// the requirements and their tests.
inline constexpr const char* REQUIREMENTS_DOC = "DOCREQ01";
inline constexpr const char* TESTS_DOC = "DOCTST02";
// Their element rows in the project database: R1, R2 and T1, T2, R2 already
// linked to T2.
void AddLinkedProjectRows(const std::string& database);

class World : protected Folder, private ProjectStore, public Services {
  public:
    explicit World(const std::string& locale = "C");
    // A new document of these paragraphs, saved in the folder as fileName and
    // active; linked to the project under docId (its row made) unless docId
    // is empty.
    host::Document& NewDocument(const std::vector<std::string>& paragraphs,
                                const std::string& fileName,
                                const std::string& docId = DOCUMENT_ID);
    // NewDocument of eight paragraphs "P1 text of paragraph 1" to "P8 ...".
    host::Document& EightParagraphs(const std::string& fileName);
    host::Document& Document() { return *app.ActiveDocument(); }
    // The paragraph numbered n (from 1) of the active document: its start,
    // and its end after the mark.
    std::pair<long, long> Paragraph(int n);
    // The add-in's global template in the startup folder, as after a first
    // run: connecting the add-in then asks nothing.
    void MakeStartupTemplate();
    // The first field of the first row of a query on the project database.
    std::string Query(const std::string& sql) const;

    using Folder::dir;
    using ProjectStore::database;
};

}  // namespace veln::test
