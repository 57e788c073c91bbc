// The links tree and the link dialog on a project of three documents: 5,000
// root elements, 20,000 tree elements and 20,000 leaf elements, 40,000 live
// links. The tree has 60,000 element nodes: each tree element linked from two
// root elements, most of them linking on to two leaf elements. Measured: the
// tree build, the export with hyperlinks (60,005 paragraphs) and opening it
// again beside opening the same export without links, and the link dialog's
// list filling and pre-selection.
#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "database/doc_variables.h"
#include "database/schema.h"
#include "host/db/database.h"
#include "host/docx/docx_document.h"
#include "traceability/frm_link_elem.h"
#include "traceability/frm_tree.h"
#include "traceability/links_tree_export.h"
#include "world.h"

namespace {

using namespace veln;

constexpr int ROOT_ELEMENTS = 5000;
constexpr int TREE_ELEMENTS = 20000;
constexpr int LEAF_ELEMENTS = 20000;
constexpr const char* ROOT = "DOCROOT1";
constexpr const char* TREE = "DOCTREE2";
constexpr const char* LEAF = "DOCLEAF3";
// Chooser rows, in the order the documents were registered.
constexpr int ROOT_ROW = 0;
constexpr int TREE_ROW = 1;
constexpr int LEAF_ROW = 2;

std::string Id(const char* prefix, int n) {
    return std::string("ELEM") + prefix + std::to_string(1000000 + n);
}

// The project, made once per run; a session links a new document to it.
struct Project {
    Project() {
        schema::CreateProjectDatabaseFile(database);
        db::Database connection = db::Database::Open(database);
        db::Transaction transaction(connection);
        for (const char* docId : {ROOT, TREE, LEAF}) {
            connection.Execute("INSERT INTO Documents (D_ID, D_Name) VALUES (?1, ?2)",
                               {docId, folder / (std::string(docId) + " requirements.docx")});
        }
        db::Statement element = connection.Prepare(
            "INSERT INTO Elements (E_id, E_DocId, E_Number1, E_Number2, E_Number3, E_Number4, "
            "E_level, E_label, E_Deleted) VALUES (?1, ?2, ?3, ?4, 0, 0, 2, ?5, 0)");
        auto addElements = [&](const char* prefix, const char* docId, int count) {
            for (int n = 0; n < count; ++n) {
                element.Reset();
                element.BindAll({Id(prefix, n), docId, 1 + n / 100, n % 100,
                                 "Requirement " + std::to_string(n) + " of the braking system"});
                element.Run();
            }
        };
        addElements("R", ROOT, ROOT_ELEMENTS);
        addElements("T", TREE, TREE_ELEMENTS);
        addElements("L", LEAF, LEAF_ELEMENTS);
        db::Statement link = connection.Prepare(
            "INSERT INTO Links (L_Id1, L_DocId1, L_Id2, L_DocId2, L_Deleted) "
            "VALUES (?1, ?2, ?3, ?4, 0)");
        auto addLink = [&](const std::string& from, const char* fromDoc, const std::string& to,
                           const char* toDoc) {
            link.Reset();
            link.BindAll({from, fromDoc, to, toDoc});
            link.Run();
        };
        // Each root element to four tree elements: the first 10,000 tree
        // elements are each linked from two root elements.
        for (int r = 0; r < ROOT_ELEMENTS; ++r) {
            for (int k = 0; k < 4; ++k) {
                addLink(Id("R", r), ROOT, Id("T", (4 * r + k) % 10000), TREE);
            }
        }
        // 7,500 tree elements to two leaf elements, 5,000 to one.
        for (int t = 0; t < 7500; ++t) {
            addLink(Id("T", t), TREE, Id("L", 2 * t), LEAF);
            addLink(Id("T", t), TREE, Id("L", 2 * t + 1), LEAF);
        }
        for (int t = 7500; t < 12500; ++t) {
            addLink(Id("T", t), TREE, Id("L", 15000 + t - 7500), LEAF);
        }
        transaction.Commit();
    }

    // The word processor with the active document linked to the project.
    struct Session : test::Services {
        explicit Session(const Project& project) {
            app.AddDocument();
            utilElements::SetDocVariable(context, VARDOC_DB_NAME, project.database);
            utilElements::SetDocVariable(context, VARDOC_DOC_ID, ROOT);
        }
    };

    test::TempDir folder;
    std::string database = folder / test::DATABASE_FILE;
};

const Project& TheProject() {
    static const Project project;
    return project;
}

void BM_BuildLinksTree(benchmark::State& state) {
    Project::Session session(TheProject());
    FrmTree form(session.context);
    form.Load();
    form.ComboBoxRoot.SetListIndex(ROOT_ROW);
    form.ComboBoxTree.SetListIndex(TREE_ROW);
    form.ComboBoxLeaf.SetListIndex(LEAF_ROW);
    while (state.KeepRunning()) {
        form.CommandButtonRefresh.Click();
    }
    state.counters["nodes"] = form.TreeViewElem.Count();
}
BENCHMARK(BM_BuildLinksTree)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_ExportLinksTree(benchmark::State& state) {
    Project::Session session(TheProject());
    long paragraphs = 0;
    while (state.KeepRunning()) {
        host::Document& exported = ExportLinksTree(session.context, TheProject().database,
                                                   {ROOT, TREE, LEAF}, {true, true, true});
        state.PauseTiming();
        paragraphs = 0;
        for (long at = 0; at < exported.StoryEnd(); at = exported.ParagraphAt(at).second) {
            ++paragraphs;
        }
        session.app.CloseDocument(exported);
        state.ResumeTiming();
    }
    state.counters["paragraphs"] = static_cast<double>(paragraphs);
}
BENCHMARK(BM_ExportLinksTree)->Unit(benchmark::kMillisecond)->MinTime(3);

// The export saved once, and beside it the same export as plain text: a
// document of as many paragraphs and the same text, without the links.
struct SavedExport {
    SavedExport() {
        Project::Session session(TheProject());
        for (bool hyperlink : {true, false}) {
            host::Document& exported = ExportLinksTree(session.context, TheProject().database,
                                                       {ROOT, TREE, LEAF}, {true, true, hyperlink});
            paragraphs = 0;
            for (long at = 0; at < exported.StoryEnd(); at = exported.ParagraphAt(at).second) {
                ++paragraphs;
            }
            exported.SaveAs(hyperlink ? exportPath : plainPath);
        }
    }
    test::TempDir folder;
    std::string exportPath = folder / "tree.docx";
    std::string plainPath = folder / "plain.docx";
    long paragraphs = 0;
};

const SavedExport& TheSavedExport() {
    static const SavedExport saved;
    return saved;
}

void Open(benchmark::State& state, const std::string& path) {
    while (state.KeepRunning()) {
        auto document = host::docx::DocxDocument::Open(path);
        benchmark::DoNotOptimize(document->StoryEnd());
    }
    state.counters["paragraphs"] = static_cast<double>(TheSavedExport().paragraphs);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_OpenExport(benchmark::State& state) {
    Open(state, TheSavedExport().exportPath);
}
BENCHMARK(BM_OpenExport)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_OpenTheSameTextWithoutLinks(benchmark::State& state) {
    Open(state, TheSavedExport().plainPath);
}
BENCHMARK(BM_OpenTheSameTextWithoutLinks)->Unit(benchmark::kMillisecond)->MinTime(3);

// Picking a document in the source chooser: its 5,000 elements listed.
void BM_LinkDialogFillsTheSourceList(benchmark::State& state) {
    Project::Session session(TheProject());
    frmLinkElem form(session.context);
    form.Load();
    while (state.KeepRunning()) {
        form.ComboBoxSource.SetListIndex(-1);
        form.ComboBoxSource.SetListIndex(ROOT_ROW);
    }
    state.counters["rows"] = form.ListBoxElementsSource.ListCount();
}
BENCHMARK(BM_LinkDialogFillsTheSourceList)->Unit(benchmark::kMillisecond);

// Picking a root element as the source: its live links selected in the
// target list, of the 20,000 tree elements or of the 5,000 root elements.
void BM_LinkDialogPreselectsTheLinks(benchmark::State& state) {
    Project::Session session(TheProject());
    frmLinkElem form(session.context);
    form.Load();
    form.ComboBoxSource.SetListIndex(ROOT_ROW);
    form.ComboBoxTarget.SetListIndex(static_cast<int>(state.range(0)));
    int row = 0;
    while (state.KeepRunning()) {
        form.ListBoxElementsSource.Select({row});
        row = (row + 1) % form.ListBoxElementsSource.ListCount();
    }
    state.counters["target rows"] = form.ListBoxElementsTarget.ListCount();
}
BENCHMARK(BM_LinkDialogPreselectsTheLinks)
    ->Arg(TREE_ROW)
    ->Arg(ROOT_ROW)
    ->Unit(benchmark::kMillisecond);

}  // namespace
