// Saving never loses what is on disk: through a symbolic link it writes the
// target, a read-only file is refused, mode, owner and group stay, another
// program's changes are not overwritten unasked, the document is locked as
// LibreOffice locks it, and a save killed at any moment leaves a whole file
// and, after the next save, no debris.
#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "docx_fixture.h"
#include "error_of.h"
#include "generated_document.h"
#include "host/docx/docx_application.h"
#include "host/docx/docx_document.h"
#include "host/docx/lock_file.h"
#include "host/ui/scripted_ui.h"
#include "host/word/range.h"
#include "libreoffice.h"
#include "temp_dir.h"

namespace veln::host::docx {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;
using test::PackageProblems;
using test::TempDir;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

struct stat StatOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SaveSafetyTest : public ::testing::Test {
  protected:
    SaveSafetyTest() {
        Document& document = maker.AddDocument();
        document.Content().InsertAfter("Original");
        document.SaveAs(path);
        maker.CloseDocument(document);
    }
    std::string Text(const std::string& file) { return DocxDocument::Open(file)->Content().Text(); }

    TempDir dir;
    std::string path = dir / "doc.docx";
    DocxApplication maker;
};

TEST_F(SaveSafetyTest, ASaveThroughASymbolicLinkWritesItsTarget) {
    fs::create_directory(dir / "links");
    fs::create_symlink("../doc.docx", dir / "links/link.docx");
    auto document = DocxDocument::Open(dir / "links/link.docx");
    document->InsertText(0, "Linked ");
    document->Save();
    EXPECT_TRUE(fs::is_symlink(dir / "links/link.docx"));
    EXPECT_EQ(Text(path), "Linked Original\r");
    EXPECT_EQ(PackageProblems(path), "");
    EXPECT_THAT(FolderEntries(dir / "links"), ElementsAre("link.docx"));
}

TEST_F(SaveSafetyTest, AReadOnlyFileIsRefusedAndASaveKeepsModeOwnerAndGroup) {
    auto document = DocxDocument::Open(path);
    document->InsertText(0, "Changed ");
    std::string before = test::ReadFile(path);
    ::chmod(path.c_str(), 0444);
    EXPECT_THAT(ErrorOf<HostError>([&] { document->Save(); }).text, HasSubstr("read-only"));
    EXPECT_EQ(test::ReadFile(path), before);

    ::chmod(path.c_str(), 0640);
    // Root may give the file away; anyone else keeps their own and tests the mode.
    bool givenAway = ::chown(path.c_str(), 65534, 65534) == 0;
    document->Save();
    struct stat status = StatOf(path);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    if (givenAway) {
        EXPECT_EQ(status.st_uid, 65534U);
        EXPECT_EQ(status.st_gid, 65534U);
    }
    EXPECT_EQ(Text(path), "Changed Original\r");
}

TEST_F(SaveSafetyTest, ASaveOverAnotherProgramsChangesAsksFirst) {
    ScriptedUi uiA;
    ScriptedUi uiB;
    DocxApplication first(&uiA);
    DocxApplication second(&uiB);
    Document& a = first.OpenDocument(path);
    uiB.AnswerMsgBox(MsgBoxResult::vbYes);  // it is locked by the first: open anyway
    Document& b = second.OpenDocument(path);
    a.InsertText(0, "A ");
    a.Save();

    b.InsertText(0, "B ");
    uiB.AnswerMsgBox(MsgBoxResult::vbNo);
    EXPECT_THROW(b.Save(), HostError);
    EXPECT_EQ(Text(path), "A Original\r") << "the other program's save stands";
    EXPECT_THAT(uiB.Transcript().back(), HasSubstr("changed by another program"));
    uiB.AnswerMsgBox(MsgBoxResult::vbYes);
    b.Save();
    EXPECT_EQ(Text(path), "B Original\r");
    b.InsertText(0, "again ");
    b.Save();  // nothing changed on disk since: no question
    EXPECT_TRUE(uiB.UnusedAnswers().empty());
    EXPECT_EQ(uiB.Transcript().size(), 3U);

    // Nobody to ask: the save is refused.
    auto lone = DocxDocument::Open(path);
    uiA.AnswerMsgBox(MsgBoxResult::vbYes);
    a.Save();
    lone->InsertText(0, "lone ");
    EXPECT_THROW(lone->Save(), HostError);
}

TEST_F(SaveSafetyTest, TheDocumentIsLockedAsLibreOfficeLocksIt) {
    ScriptedUi ui;
    std::string lock = LockPathOf(path);
    {
        DocxApplication app(&ui);
        Document& document = app.OpenDocument(path);
        ASSERT_TRUE(fs::exists(lock));
        std::string content = test::ReadFile(lock);
        EXPECT_EQ(std::count(content.begin(), content.end(), ','), 4) << content;
        EXPECT_TRUE(content.ends_with(";")) << content;

        // LibreOffice, meeting the lock, opens nothing and leaves it; on a
        // free file it would stay running with the document open.
        test::SofficeRun run = test::RunSoffice(dir.Path(), test::Quoted(path), 120);
        EXPECT_TRUE(run.Succeeded())
            << "soffice did not leave the locked document alone: " << run.status << run.log;
        EXPECT_EQ(test::ReadFile(lock), content);
        app.CloseDocument(document);
        EXPECT_FALSE(fs::exists(lock)) << "closing lets the lock go";
    }
    // A lock as LibreOffice writes it.
    test::WriteFile(
        lock, ",ldupont,lo-host,06.12.2026 15:11,file:///home/ldupont/.config/libreoffice/4;");
    DocxApplication app(&ui);
    ui.AnswerMsgBox(MsgBoxResult::vbNo);
    EXPECT_THAT(ErrorOf<HostError>([&] { app.OpenDocument(path); }).text,
                HasSubstr("locked for editing by ldupont@lo-host"));
    EXPECT_THAT(ui.Transcript().back(), HasSubstr("since 06.12.2026 15:11"));
    EXPECT_EQ(app.DocumentCount(), 0);
    ui.AnswerMsgBox(MsgBoxResult::vbYes);
    app.CloseDocument(app.OpenDocument(path));
    EXPECT_TRUE(fs::exists(lock)) << "their lock stays theirs";
}

TEST_F(SaveSafetyTest, ALockLeftByAProcessThatIsGoneGoesWithoutAQuestion) {
    std::string lock = LockPathOf(path);
    std::array<int, 2> ready{};
    ASSERT_EQ(::pipe(ready.data()), 0);
    pid_t holder = fork();
    if (holder == 0) {
        ::alarm(60);  // never outlives a test that failed before the kill
        DocxApplication other;
        other.OpenDocument(path);
        (void)!::write(ready[1], "r", 1);
        ::pause();
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ScriptedUi ui;
    {
        DocxApplication app(&ui);
        ui.AnswerMsgBox(MsgBoxResult::vbNo);
        EXPECT_THROW(app.OpenDocument(path), HostError) << "a living holder is asked about";
    }
    ::kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(fs::exists(lock)) << "a killed process leaves its lock";
    std::string left = test::ReadFile(lock);

    ui.ClearTranscript();
    {
        DocxApplication app(&ui);
        app.OpenDocument(path);
        EXPECT_THAT(ui.Transcript(), ElementsAre()) << "nothing asked";
        EXPECT_TRUE(fs::exists(lock)) << "the document is locked again, by us";
    }
    EXPECT_FALSE(fs::exists(lock));

    // The same lock from another host is not judged: its process may live.
    std::string elsewhere = left;
    std::size_t host = elsewhere.find(',', elsewhere.find(',') + 1) + 1;
    elsewhere.replace(host, elsewhere.find(',', host) - host, "other-host");
    test::WriteFile(lock, elsewhere);
    DocxApplication app(&ui);
    ui.AnswerMsgBox(MsgBoxResult::vbNo);
    EXPECT_THROW(app.OpenDocument(path), HostError);
    EXPECT_EQ(test::ReadFile(lock), elsewhere);
}

TEST_F(SaveSafetyTest, TemporariesOfASaveThatDiedGoAtTheNextSave) {
    pid_t dead = fork();
    if (dead == 0) {
        _exit(0);
    }
    waitpid(dead, nullptr, 0);
    std::array<char, 256> host{};
    ::gethostname(host.data(), host.size() - 1);
    auto temporary = [&](long pid, const std::string& of) {
        return ".~veln-" + std::to_string(pid) + "@" + host.data() + "~" + of + ".abcdef";
    };
    for (const std::string& name :
         {temporary(dead, "doc.docx"), temporary(dead, "doc.docx") + ".Xy12Zw",
          temporary(::getppid(), "doc.docx"), temporary(dead, "other.docx")}) {
        test::WriteFile(dir / name, "half a file");
    }
    auto document = DocxDocument::Open(path);
    document->InsertText(0, "Saved ");
    document->Save();
    EXPECT_THAT(FolderEntries(dir.Path()),
                UnorderedElementsAre(temporary(::getppid(), "doc.docx"),
                                     temporary(dead, "other.docx"), "doc.docx"))
        << "only the dead process's temporaries of this document go";
}

// A save of the 20,000-paragraph benchmark document killed at random
// moments: the file is always a whole document, old or new, and the next
// save leaves nothing else in the folder.
TEST(SaveKilledTest, AKilledSaveLeavesAWholeFileAndTheNextSaveNoDebris) {
    TempDir dir;
    std::string path = dir / "generated.docx";
    bench::WriteGeneratedDocx(path, 20000, 5000);
    for (int round = 0; round < 6; ++round) {
        std::array<int, 2> ready{};
        ASSERT_EQ(::pipe(ready.data()), 0);
        pid_t child = fork();
        if (child == 0) {
            ::close(ready[0]);
            ::alarm(120);  // never outlives a test that failed before the kill
            auto document = DocxDocument::Open(path);
            (void)!::write(ready[1], "r", 1);
            for (;;) {
                document->InsertText(0, "x");
                document->Save();
            }
        }
        ::close(ready[1]);
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        // Spread over the length of a save.
        std::this_thread::sleep_for(std::chrono::milliseconds(150 + 170 * round));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        EXPECT_GE(DocxDocument::Open(path)->StoryEnd(), 2795000) << "round " << round;
    }
    auto document = DocxDocument::Open(path);
    document->InsertText(0, "last ");
    document->Save();
    EXPECT_THAT(FolderEntries(dir.Path()), ElementsAre("generated.docx"));
    EXPECT_EQ(PackageProblems(path), "");
}

}  // namespace
}  // namespace veln::host::docx
