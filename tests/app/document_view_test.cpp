// The document view as a user meets it: real documents shown paragraph by
// paragraph, a selection that is the model's both ways, typing, deleting,
// Enter and pasting as edits of the model that LibreOffice reads back after a
// save, undo and redo, and highlight and bookmark brackets drawn where the
// model has them.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include <gmock/gmock.h>

#include "corpus.h"
#include "desktop_fixture.h"
#include "docx_fixture.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "libreoffice.h"
#include "paragraph_layout.h"
#include "temp_dir.h"

namespace veln::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* FIRST = "The vehicle shall stop within 40 m.";
constexpr const char* SECOND = "The stop shall be straight.";
constexpr const char* THIRD = "The brake light shall come on.";

// LibreOffice's reading of a .docx as plain text, or what went wrong.
std::string LibreOfficeText(const std::filesystem::path& work, const std::string& file) {
    std::filesystem::path text =
        work / "txt" / std::filesystem::path(file).filename().replace_extension(".txt");
    std::string failed = ConvertWithSoffice(work, file, "txt:Text (encoded):UTF8",
                                            (work / "txt").string(), text.string());
    return failed.empty() ? ReadFile(text.string()) : failed;
}

class DocumentViewTest : public DesktopTest {
  protected:
    // Opens a document of the three paragraphs, not linked to any project.
    void OpenPlain() { Start({SavedDocument({FIRST, SECOND, THIRD}, "plain.docx", "")}); }
    long At(int paragraph, long offset = 0) { return Paragraph(paragraph).first + offset; }
    std::pair<long, long> Paragraph(int n) {
        long at = 0;
        for (int i = 1; i < n; ++i) {
            at = Shown().ParagraphAt(at).second;
        }
        return Shown().ParagraphAt(at);
    }
    QPoint PointOf(long position) { return View().PositionRect(position).center(); }
    std::string Text() { return Shown().Content().Text(); }
};

TEST_F(DocumentViewTest, RealDocumentsShowTheirParagraphsAsTheModelHasThem) {
    VELN_REQUIRE_CORPUS();
    for (const char* file : {"table-nested-8-levels.docx", "highlight-run-styles.docx",
                             "strict-ooxml-simple.docx", "libreoffice-cjk-tables-lists.docx"}) {
        SCOPED_TRACE(file);
        QString path = QString::fromStdString((CorpusDir() / file).string());
        if (desktop.Windows().empty()) {
            Start({path});
        } else {
            desktop.Open(path);
        }
        std::vector<std::string> shown = View().ParagraphsShown();
        ASSERT_FALSE(shown.empty());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            auto [start, end] = Shown().ParagraphAt(Shown().ParagraphStart(static_cast<long>(i)));
            EXPECT_EQ(shown[i], Shown().TextOf(start, end - 1)) << "paragraph " << i;
        }
        EXPECT_LT(View().LaidOutCount(), Shown().ParagraphCount() + 1);
        EXPECT_THAT(Window().windowTitle().toStdString(), HasSubstr(file));
    }
}

// A paragraph longer than the view lays out at once: a window of it at a
// time, which follows the caret wherever it goes in the paragraph.
TEST_F(DocumentViewTest, ALongParagraphIsLaidOutAWindowAtATimeThatFollowsTheCaret) {
    std::string words;
    for (int word = 0; words.size() < 200000; ++word) {
        words += "word" + std::to_string(word) + " ";
    }
    Start({SavedDocument({FIRST, words, THIRD}, "long.docx", "")});
    auto shown = [&](long position) {
        QRect at = View().PositionRect(position);
        return !at.isEmpty() && View().viewport()->rect().contains(at.center());
    };
    auto laidOutFew = [&] {
        return View().LaidOutCharacters() < desktop::ParagraphLayout::MOST_LAID_OUT + 1000;
    };
    EXPECT_TRUE(laidOutFew());
    QTest::keyClick(&View(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&View(), Qt::Key_Home);
    QTest::keyClick(&View(), Qt::Key_Up);
    EXPECT_EQ(View().Caret(), At(3) - 1) << "up from below: the long paragraph's end";
    EXPECT_TRUE(shown(View().Caret()));

    const long middle = At(2, 150000);
    View().Select(middle, middle);
    EXPECT_TRUE(shown(middle));
    QTest::keyClicks(&View(), "XYZ");
    EXPECT_EQ(Shown().TextOf(middle, middle + 3), "XYZ");
    EXPECT_TRUE(shown(middle + 3));
    for (int line = 0; line < 60; ++line) {
        QTest::keyClick(&View(), Qt::Key_Down);
    }
    EXPECT_GT(View().Caret(), middle + 3) << "down through the window and past its screen";
    EXPECT_LT(View().Caret(), At(3));
    EXPECT_TRUE(shown(View().Caret()));

    QTest::keyClick(&View(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_TRUE(shown(0));
    EXPECT_TRUE(laidOutFew());
}

TEST_F(DocumentViewTest, CtrlPlusMinusZeroAndTheWheelZoomTheTextAndChangeNothingElse) {
    OpenPlain();
    const std::string original = Text();
    const int height = View().PositionRect(At(2)).height();
    QTest::keyClick(&View(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(View().Zoom(), 110);
    QTest::keyClick(&View(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(View().Zoom(), 125);
    EXPECT_GT(View().PositionRect(At(2)).height(), height);
    QTest::keyClick(&View(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(View().Zoom(), 110);
    QTest::keyClick(&View(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(View().Zoom(), 100);
    EXPECT_EQ(View().PositionRect(At(2)).height(), height);

    const QPointF at(40, 40);
    QWheelEvent up(at, View().viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View().viewport(), &up);
    EXPECT_EQ(View().Zoom(), 110) << "Ctrl with the wheel";
    for (int step = 0; step < 20; ++step) {
        View().ZoomOut();
    }
    EXPECT_EQ(View().Zoom(), 50) << "no smaller than half";
    EXPECT_FALSE(View().PositionRect(At(3)).isEmpty());
    EXPECT_EQ(Text(), original);
    EXPECT_TRUE(Shown().Saved()) << "the zoom is the view's, not the document's";
}

TEST_F(DocumentViewTest, TheSelectionIsTheModelsPositionForPositionBothWays) {
    OpenPlain();
    QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, PointOf(At(2, 4)));
    EXPECT_EQ(Shown().SelectionStart(), At(2, 4));
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOf(At(3, 9)));
    EXPECT_EQ(Shown().SelectionStart(), At(2, 4));
    EXPECT_EQ(Shown().SelectionEnd(), At(3, 9));
    EXPECT_EQ(Shown().Selection().Range().Text(), "stop shall be straight.\rThe brake");
    QTest::keyClick(&View(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Shown().SelectionEnd(), At(3, 8));
    QTest::keyClick(&View(), Qt::Key_Home);
    EXPECT_EQ(Shown().SelectionStart(), At(3));
    EXPECT_EQ(Shown().SelectionEnd(), At(3));
    QTest::keyClick(&View(), Qt::Key_Up);
    EXPECT_EQ(Shown().ParagraphIndexAt(Shown().SelectionStart()), 1);

    // The other way: the model selects, the view shows it.
    Shown().SetSelection(At(1, 4), At(1, 11));
    desktop.Refresh();
    EXPECT_EQ(View().Anchor(), At(1, 4));
    EXPECT_EQ(View().Caret(), At(1, 11));
    View().SelectAll();
    EXPECT_EQ(Shown().Selection().Range().Text(), Text());
}

TEST_F(DocumentViewTest, TypingDeletingAndEnterAreEditsThatLibreOfficeReadsAfterASave) {
    OpenPlain();
    View().Select(At(1, 4), At(1, 11));  // "vehicle"
    QTest::keyClicks(&View(), "car");
    QTest::keyClick(&View(), Qt::Key_End);
    QTest::keyClick(&View(), Qt::Key_Return);
    QTest::keyClicks(&View(), "It shall not skid.");
    QTest::keyClick(&View(), Qt::Key_Down);
    QTest::keyClick(&View(), Qt::Key_Home);
    QTest::keyClick(&View(), Qt::Key_Delete);
    QTest::keyClick(&View(), Qt::Key_Delete);
    QTest::keyClick(&View(), Qt::Key_Delete);
    QTest::keyClick(&View(), Qt::Key_Delete);
    QTest::keyClick(&View(), Qt::Key_Backspace);  // joins with the paragraph above
    EXPECT_EQ(Text(),
              "The car shall stop within 40 m.\rIt shall not skid.stop shall be straight.\r"
              "The brake light shall come on.\r");
    EXPECT_FALSE(Shown().Saved());
    EXPECT_TRUE(Window().isWindowModified());

    std::string saved = dir / "edited.docx";
    ASSERT_TRUE(Window().SaveTo(QString::fromStdString(saved)));
    EXPECT_FALSE(Window().isWindowModified());
    std::string text = LibreOfficeText(dir.Path(), saved);
    EXPECT_THAT(text, HasSubstr("The car shall stop within 40 m.\n"
                                "It shall not skid.stop shall be straight.\n"
                                "The brake light shall come on."));
}

TEST_F(DocumentViewTest, UndoAndRedoGiveTheTextBackStepByStep) {
    OpenPlain();
    std::string original = Text();
    View().Select(At(1, 35), At(1, 35));
    QTest::keyClicks(&View(), " Always");
    QTest::keyClick(&View(), Qt::Key_Return);
    View().Select(At(3, 4), At(3, 9));
    QTest::keyClick(&View(), Qt::Key_Backspace);
    std::string edited = Text();
    EXPECT_EQ(edited,
              "The vehicle shall stop within 40 m. Always\r\rThe shall be straight.\r"
              "The brake light shall come on.\r");
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "The vehicle shall stop within 40 m. Always\r" + std::string(SECOND) + "\r" +
                          THIRD + "\r")
        << "typed characters are one step";
    View().Undo();
    EXPECT_EQ(Text(), original);
    View().Redo();
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&View(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Text(), edited) << "Ctrl+Shift+Z and Ctrl+Y redo";

    // A run of Backspace, or of Delete, is one step too; a selection
    // taken out is a step of its own.
    View().Select(At(3, 3), At(3, 3));
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&View(), Qt::Key_Backspace);
    }
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(&View(), Qt::Key_Delete);
    }
    EXPECT_EQ(Paragraph(3).second - Paragraph(3).first, 22 - 7 + 1);
    View().Undo();
    EXPECT_EQ(Text(),
              "The vehicle shall stop within 40 m. Always\r\r shall be straight.\r"
              "The brake light shall come on.\r")
        << "the four characters Delete took come back at once";
    View().Undo();
    EXPECT_EQ(Text(), edited) << "then the three Backspace took";

    // A command that changes the story outside the view ends the history:
    // its positions no longer hold.
    Shown().MakeRange(0, 0).InsertBefore("X");
    desktop.Refresh();
    EXPECT_FALSE(View().Editor().UndoStack().canUndo());
}

TEST_F(DocumentViewTest, AnEditKeepsTheFormattingAroundItAndPasteMakesParagraphs) {
    host::Document& document = NewDocument({FIRST, SECOND}, "formatted.docx", "");
    document.MakeRange(4, 11).SetHighlightColorIndex(host::WdColorIndex::wdYellow);
    document.Save();
    std::string path = document.FullName();
    app.CloseDocument(document);
    Start({QString::fromStdString(path)});
    View().Select(At(1, 7), At(1, 7));
    QTest::keyClicks(&View(), "xx");
    EXPECT_EQ(Shown().MakeRange(4, 13).HighlightColorIndex(), host::WdColorIndex::wdYellow);
    EXPECT_EQ(View().HighlightDrawnAt(8), host::WdColorIndex::wdYellow);

    QApplication::clipboard()->setText("pasted one\r\npasted\ttwo\u0001");
    View().Select(At(2), At(2));
    View().Paste();
    EXPECT_EQ(Text(),
              "The vehxxicle shall stop within 40 m.\rpasted one\rpasted\ttwoThe stop "
              "shall be straight.\r");
    View().Select(At(1), At(2, 6));
    View().Copy();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "The vehxxicle shall stop within 40 m.\npasted");
}

TEST_F(DocumentViewTest, AnEditTheModelRefusesChangesNothingAndSaysWhy) {
    test::WriteDocx(dir / "table.docx",
                    R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc>)"
                    R"(<w:tc><w:p><w:r><w:t>B</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)"
                    R"(<w:p><w:r><w:t>After</w:t></w:r></w:p>)");
    Start({QString::fromStdString(dir / "table.docx")});
    QString refused;
    QObject::connect(&View(), &desktop::DocumentView::EditRefused,
                     [&](const QString& why) { refused = why; });
    View().Select(2, 2);  // the start of the second cell
    QTest::keyClick(&View(), Qt::Key_Backspace);
    EXPECT_EQ(Text(), "A\rB\rAfter\r");
    EXPECT_THAT(refused.toStdString(), HasSubstr("table cells"));
    View().Select(1, 5);
    QTest::keyClicks(&View(), "z");
    EXPECT_EQ(Text(), "A\rB\rAfter\r");
}

TEST_F(DocumentViewTest, ADocumentThatCannotBeWrittenOpensReadOnlyAndSaysWhy) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes every file";
    }
    QString path = SavedDocument({FIRST}, "locked.docx", "");
    std::filesystem::permissions(path.toStdString(), std::filesystem::perms::owner_read);
    ui.AnswerMsgBox(host::MsgBoxResult::vbOK);
    Start({path});
    EXPECT_THAT(ui.Transcript().back(), HasSubstr("opens read-only: the file cannot be written"));
    EXPECT_TRUE(View().ReadOnly());
    EXPECT_THAT(Window().windowTitle().toStdString(), HasSubstr("read-only"));
    QTest::keyClicks(&View(), "abc");
    EXPECT_EQ(Text(), std::string(FIRST) + "\r");
}

TEST_F(DocumentViewTest, HighlightAndBracketsAreDrawnWhereTheModelHasThem) {
    Start({SavedDocument({FIRST, SECOND, THIRD}, "linked.docx")});
    View().Select(At(2), At(2));
    ui.AnswerInput("Straight stop");
    Click("oAdd1");
    host::BookmarkInfo element = Shown().BookmarkItem(1, false);
    EXPECT_EQ(Shown().TextOf(element.start, element.end),
              "//1.0.0.0// " + std::string(SECOND) + "\r");
    Click("oButtonPink");
    Paint();
    EXPECT_EQ(View().HighlightDrawnAt(element.start + 2), host::WdColorIndex::wdPink);
    EXPECT_EQ(View().HighlightDrawnAt(element.end - 2), host::WdColorIndex::wdPink);
    EXPECT_EQ(View().HighlightDrawnAt(At(1, 2)), 0);
    EXPECT_TRUE(View().BracketsDrawn().empty()) << "brackets off";

    Click("oShowElementsBrackets");
    Paint();
    EXPECT_THAT(View().BracketsDrawn(), ElementsAre(element.start, element.end));
    Click("oButtonCyan");
    Paint();
    EXPECT_EQ(View().HighlightDrawnAt(element.start + 2), host::WdColorIndex::wdTurquoise);
    EXPECT_THAT(View().BracketsDrawn(), ElementsAre(element.start, element.end))
        << "the brackets add no character: the element's positions are the model's";
}

// An element as a user types around it: inside, the new text takes its
// highlight at once; Enter at the end of its last paragraph starts an
// ordinary paragraph after it; typing before its number lands before it.
TEST_F(DocumentViewTest, TextTypedInAnElementIsOfItAndTextTypedAtItsEdgesIsNot) {
    Start({SavedDocument({FIRST, SECOND, THIRD}, "linked.docx")});
    View().Select(At(2), At(2));
    ui.AnswerInput("Straight stop");
    Click("oAdd1");
    Click("oButtonPink");
    const host::BookmarkInfo element = Shown().BookmarkItem(1, false);
    auto covered = [&] {
        host::BookmarkInfo now = Shown().BookmarkItem(1, false);
        return Shown().TextOf(now.start, now.end);
    };

    const long inside = element.start + 16;  // after "//1.0.0.0// The "
    View().Select(inside, inside);
    QTest::keyClicks(&View(), "sharp ");
    Paint();
    EXPECT_EQ(View().HighlightDrawnAt(inside), host::WdColorIndex::wdPink);
    EXPECT_EQ(View().HighlightDrawnAt(inside + 5), host::WdColorIndex::wdPink);
    EXPECT_EQ(covered(), "//1.0.0.0// The sharp stop shall be straight.\r");
    const long afterNumber = element.start + 12;
    View().Select(afterNumber, afterNumber);
    QTest::keyClicks(&View(), "A");
    const long atEnd = Shown().BookmarkItem(1, false).end - 1;
    View().Select(atEnd, atEnd);
    QTest::keyClicks(&View(), "!");
    Paint();
    EXPECT_EQ(View().HighlightDrawnAt(afterNumber), host::WdColorIndex::wdPink);
    EXPECT_EQ(View().HighlightDrawnAt(atEnd), host::WdColorIndex::wdPink);
    EXPECT_EQ(covered(), "//1.0.0.0// AThe sharp stop shall be straight.!\r");

    const long end = Shown().BookmarkItem(1, false).end - 1;  // before the element's mark
    View().Select(end, end);
    QTest::keyClick(&View(), Qt::Key_Return);
    QTest::keyClicks(&View(), "Not of it.");
    Paint();
    EXPECT_EQ(covered(), "//1.0.0.0// AThe sharp stop shall be straight.!\r");
    EXPECT_EQ(View().HighlightDrawnAt(end + 3), 0) << "the new paragraph is not highlighted";
    EXPECT_THAT(Text(), HasSubstr("straight.!\rNot of it.\r" + std::string(THIRD)));

    const long before = Shown().BookmarkItem(1, false).start;
    View().Select(before, before);
    QTest::keyClicks(&View(), "Z");
    Paint();
    EXPECT_EQ(covered(), "//1.0.0.0// AThe sharp stop shall be straight.!\r");
    EXPECT_EQ(Shown().TextOf(before, before + 1), "Z");
    EXPECT_EQ(View().HighlightDrawnAt(before), 0);

    // Undone, the element is where it was.
    View().Undo();
    View().Undo();
    View().Undo();
    EXPECT_EQ(Shown().BookmarkItem(1, false).start, before);
    EXPECT_EQ(covered(), "//1.0.0.0// AThe sharp stop shall be straight.!\r");
    EXPECT_THAT(Text(), HasSubstr("straight.!\r" + std::string(THIRD)));
}

}  // namespace
}  // namespace veln::test
