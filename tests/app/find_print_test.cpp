// Find and Replace, and the document on paper: matches as the options say,
// forwards, backwards and round the end; Replace All as one step to undo;
// a PDF whose text pdftotext reads back whole, page after page.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <regex>

#include <gmock/gmock.h>

#include "desktop_fixture.h"
#include "find_dialog.h"
#include "host/word/range.h"
#include "shell_output.h"

namespace veln::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class FindTest : public DesktopTest {
  protected:
    void SetUp() override {
        Start({SavedDocument(
            {"Stop the vehicle. The STOP light shall stop.", "Stopping is a stop, non-stop."},
            "find.docx", "")});
    }
    desktop::FindDialog& Finder() { return Window().Finder(); }
    void Look(const char* text, bool matchCase = false, bool wholeWords = false) {
        Finder().FindField().setText(QString::fromUtf8(text));
        Finder().MatchCase().setChecked(matchCase);
        Finder().WholeWords().setChecked(wholeWords);
    }
    std::string Selected() {
        long start = std::min(View().Anchor(), View().Caret());
        long end = std::max(View().Anchor(), View().Caret());
        return Shown().TextOf(start, end);
    }
    // The starts of the matches that Find Next selects, from the document's
    // start, until it comes round to the first again.
    std::vector<long> Walk(bool backward = false) {
        View().Select(0, 0);
        std::vector<long> starts;
        while ((backward ? Finder().FindPrevious() : Finder().FindNext()) && starts.size() < 10) {
            long start = std::min(View().Anchor(), View().Caret());
            if (!starts.empty() && start == starts.front()) {
                break;
            }
            starts.push_back(start);
        }
        return starts;
    }
    std::string Text() { return Shown().Content().Text(); }
};

TEST_F(FindTest, MatchCaseAndWholeWordsChooseTheMatchesNextAndPreviousWalkThemRound) {
    Look("stop");
    EXPECT_THAT(Walk(), ElementsAre(0, 22, 39, 45, 59, 69)) << "any case, inside words too";
    EXPECT_EQ(Selected(), "Stop");
    EXPECT_THAT(Walk(true), ElementsAre(69, 59, 45, 39, 22, 0)) << "backwards from the end";

    Look("stop", true);
    EXPECT_THAT(Walk(), ElementsAre(39, 59, 69));
    Look("stop", false, true);
    EXPECT_THAT(Walk(), ElementsAre(0, 22, 39, 59, 69)) << "not Stopping; non-stop has two words";
    Look("STOP light", true, true);
    EXPECT_THAT(Walk(), ElementsAre(22));
    EXPECT_EQ(Selected(), "STOP light");

    View().Select(5, 5);
    Look("brake");
    EXPECT_FALSE(Finder().FindNext());
    EXPECT_EQ(View().Caret(), 5) << "nothing found moves nothing";
    EXPECT_THAT(Finder().Status().toStdString(), HasSubstr("\"brake\" was not found"));
}

TEST_F(FindTest, ReplaceTakesTheSelectedMatchAndReplaceAllIsOneStepToUndo) {
    const std::string original = Text();
    Look("stop", false, true);
    Finder().ReplaceField().setText("halt");
    View().Select(0, 0);
    EXPECT_TRUE(Finder().Replace()) << "no match selected: it is found first";
    EXPECT_EQ(Selected(), "Stop");
    EXPECT_EQ(Text(), original);
    EXPECT_TRUE(Finder().Replace());
    EXPECT_EQ(Selected(), "STOP") << "the next one is selected";
    EXPECT_THAT(Text(), HasSubstr("halt the vehicle"));

    EXPECT_EQ(Finder().ReplaceAll(), 4);
    EXPECT_EQ(Text(),
              "halt the vehicle. The halt light shall halt.\r"
              "Stopping is a halt, non-halt.\r");
    EXPECT_THAT(Finder().Status().toStdString(), HasSubstr("Replaced: 4"));
    View().Undo();
    EXPECT_EQ(Text(),
              "halt the vehicle. The STOP light shall stop.\r"
              "Stopping is a stop, non-stop.\r")
        << "Replace All is undone at once";
    View().Undo();
    EXPECT_EQ(Text(), original);
    View().Redo();
    View().Redo();
    EXPECT_THAT(Text(), HasSubstr("non-halt"));

    Look("halt");
    Finder().ReplaceField().setText("");
    EXPECT_EQ(Finder().ReplaceAll(), 5) << "with nothing: taken out";
    EXPECT_EQ(Text(), " the vehicle. The  light shall .\rStopping is a , non-.\r");
    EXPECT_EQ(Finder().ReplaceAll(), 0);
}

TEST_F(FindTest, ADocumentThatCannotBeEditedReplacesNothing) {
    View().SetReadOnly(true, "locked");
    QString refused;
    QObject::connect(&View(), &desktop::DocumentView::EditRefused,
                     [&](const QString& why) { refused = why; });
    const std::string original = Text();
    Look("stop");
    Finder().ReplaceField().setText("go");
    EXPECT_EQ(Finder().ReplaceAll(), 0);
    EXPECT_EQ(Text(), original);
    EXPECT_EQ(refused, "locked");
    EXPECT_TRUE(Finder().FindNext()) << "finding still works";
}

TEST_F(FindTest, TheEditMenuOpensTheDialogAndF3GoesOn) {
    auto trigger = [this](const QKeySequence& keys) {
        for (QAction* action : Window().findChildren<QAction*>()) {
            if (action->shortcuts().contains(keys)) {
                action->trigger();
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(trigger(QKeySequence(Qt::CTRL | Qt::Key_H)));
    EXPECT_TRUE(Finder().isVisible());
    EXPECT_FALSE(Finder().isModal()) << "the document stays usable beside it";
    Look("light");
    View().Select(0, 0);
    ASSERT_TRUE(trigger(QKeySequence(Qt::Key_F3)));
    EXPECT_EQ(Selected(), "light");
    ASSERT_TRUE(trigger(QKeySequence(Qt::SHIFT | Qt::Key_F3)));
    EXPECT_EQ(std::min(View().Anchor(), View().Caret()), 27) << "the one match, round the start";
}

class PdfTest : public DesktopTest {
  protected:
    std::string PdfText(const std::filesystem::path& pdf) {
        return RunShell("pdftotext -layout '" + pdf.string() + "' -").output;
    }
    int Pages(const std::filesystem::path& pdf) {
        std::smatch match;
        std::string info = RunShell("pdfinfo '" + pdf.string() + "'").output;
        return std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(match[1])
                                                                               : 0;
    }
};

// Every paragraph and every line of a paragraph longer than a page comes
// out once: none lost or printed twice where a page breaks.
TEST_F(PdfTest, ExportAsPdfPutsEveryLineOnceOnPagesThatPdftotextReads) {
    std::vector<std::string> paragraphs;
    for (int i = 1; i <= 60; ++i) {
        paragraphs.push_back("Requirement " + std::to_string(i) + " shall hold.");
    }
    std::string longOne;
    for (int word = 1; word <= 1500; ++word) {
        longOne += "w" + std::to_string(word) + " ";
    }
    paragraphs.push_back(longOne + "end.");
    Start({SavedDocument(paragraphs, "paper.docx", "")});
    const std::filesystem::path pdf(dir / "paper.pdf");
    ASSERT_TRUE(Window().ExportPdfTo(QString::fromStdString(pdf.string())));
    EXPECT_THAT(ui.Transcript(), IsEmpty());
    EXPECT_GE(Pages(pdf), 3);

    std::string text = PdfText(pdf);
    for (int i = 1; i <= 60; ++i) {
        std::regex once("Requirement " + std::to_string(i) + " shall hold");
        EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), once),
                                std::sregex_iterator()),
                  1)
            << "paragraph " << i;
    }
    for (int word : {1, 700, 1499, 1500}) {
        std::regex once("\\bw" + std::to_string(word) + "\\b");
        EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), once),
                                std::sregex_iterator()),
                  1)
            << "word " << word;
    }
    EXPECT_TRUE(Shown().Saved()) << "the document itself is untouched";
}

TEST_F(PdfTest, APdfThatCannotBeWrittenIsReportedAndTheDocumentIsNeverItsTarget) {
    QString path = SavedDocument({"Only line."}, "only.docx", "");
    Start({path});
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    EXPECT_FALSE(Window().ExportPdfTo(QString::fromStdString(dir / "missing/only.pdf")));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    const auto size = std::filesystem::file_size(path.toStdString());
    EXPECT_FALSE(Window().ExportPdfTo(path));
    EXPECT_EQ(std::filesystem::file_size(path.toStdString()), size);
    EXPECT_THAT(ui.Transcript(), ElementsAre(HasSubstr("must exist and be writable"),
                                             HasSubstr("only.docx cannot be written")));
}

}  // namespace
}  // namespace veln::test
