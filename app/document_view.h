// The document view: the main story of one document, drawn paragraph by
// paragraph from the model and edited through it. A position on the screen is
// the same position in the model, so the selection needs no translation.
// Only the paragraphs on screen are laid out; after a command the view asks
// the model which paragraphs changed (their stamps) and lays out those alone.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "document_editor.h"
#include "host/word/document.h"
#include "paragraph_layout.h"

namespace veln::desktop {

class DocumentView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // overtype: the application's setting, which typing follows.
    DocumentView(host::Document& document, const bool& overtype, QWidget* parent = nullptr);

    host::Document& Model() const { return document_; }
    DocumentEditor& Editor() { return editor_; }

    // Brings the view in step with the model after something else changed it:
    // the paragraphs whose stamps changed are laid out again and the
    // selection is the model's. A change to the story that the view did not
    // make forgets the undo history, whose positions no longer hold. Returns
    // whether the story changed.
    bool SyncWithModel();

    void SetReadOnly(bool readOnly, const QString& reason);
    bool ReadOnly() const { return readOnly_; }

    // The selection: the anchor stays where it began, the caret moves.
    long Anchor() const { return anchor_; }
    long Caret() const { return caret_; }
    // Selects, in the model too, and brings the caret on screen.
    void Select(long anchor, long caret);
    void SelectAll();

    void Copy();
    void Cut();
    void Paste();
    void Undo();
    void Redo();
    // The text's size in percent of its actual size, from 50 to 300; each
    // step in or out is one of the usual zoom levels.
    int Zoom() const { return zoom_; }
    // The body text's font at its actual size, whatever the zoom.
    QFont BodyFont() const;
    void SetZoom(int percent);
    void ZoomIn();
    void ZoomOut();
    // Ctrl+B, Ctrl+I, Ctrl+U: the selection made bold, italic or underlined,
    // or no longer when all of it is; one step to undo.
    void FormatSelection(host::FontStyle style);
    // Replaces each range (in order, none overlapping) with text, as one
    // step to undo; the caret ends after the last. False when refused, and
    // then nothing changed.
    bool ReplaceRanges(const std::vector<std::pair<long, long>>& ranges, const std::string& text);

    // What the screen shows, for the tests and the status bar: where a
    // position is drawn in the viewport (empty when it is off screen), the
    // highlight colour index drawn there, and the positions of the bookmark
    // brackets drawn at the last paint.
    QRect PositionRect(long position);
    int HighlightDrawnAt(long position);
    const std::vector<long>& BracketsDrawn() const { return bracketsDrawn_; }
    // Paragraphs laid out now: those on screen and a few around them; and
    // the characters laid out in them.
    int LaidOutCount() const { return static_cast<int>(layouts_.size()); }
    long LaidOutCharacters() const;
    // The position under a point of the viewport.
    long PositionAt(QPoint point);
    // The text of each paragraph on screen, as laid out.
    std::vector<std::string> ParagraphsShown();

  signals:
    void SelectionMoved();
    void ZoomChanged(int percent);
    // The user changed the document in the view.
    void Edited();
    // An edit could not be made; why, in the user's words.
    void EditRefused(const QString& why);
    // The user followed a hyperlink (a click with Ctrl held, as in word
    // processors): its file or page, and the bookmark in it.
    void HyperlinkFollowed(const QString& address, const QString& subAddress);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Ctrl with the wheel zooms, as in word processors.
    void wheelEvent(QWheelEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    // SyncWithModel without forgetting the history: after the view's own edits.
    bool Refresh();
    ParagraphLayout& LayoutOf(long index);
    // Lets go of layouts far from the screen, so that memory stays that of
    // a screenful whatever was scrolled through.
    void TrimLayouts();
    void ResetLayouts();
    // The text's width and left edge in the viewport: the page's, centred.
    qreal TextWidth() const;
    qreal TextLeft() const;
    qreal PagePixels(int twips) const;
    void UpdateScrollRange();
    void EnsureVisible(long position);
    // Moves the window of a long paragraph so that offset is on its first
    // screen, when it is not; true when it moved.
    bool FollowInWindow(long index, long offset);
    // Runs an edit of the user's; a refused one is reported, not thrown.
    bool Edit(const std::function<long()>& edit);
    void MoveCaret(long caret, bool extend);
    // The parts of a key press, each true when it took the key: the edit
    // menu's shortcuts, the caret's moves, and the edits.
    bool RunEditShortcut(const QKeyEvent& event);
    bool MoveByKey(int key, bool shift, bool control);
    bool EditByKey(const QKeyEvent& event);
    long VerticalMove(int direction);
    void RefreshBrackets();

    struct Shown {
        long index;
        long start;
        qreal top;
        ParagraphLayout* layout;
        qreal left;  // from the text's left edge: its table cell's column
    };
    // The paragraphs on screen now, from the top, and the borders of the
    // table cells among them.
    std::vector<Shown> Screen(std::vector<QRectF>* cells = nullptr);

    host::Document& document_;
    const bool& overtype_;
    DocumentEditor editor_;
    QFont font_;
    host::PageLook page_;
    int zoom_ = 100;
    std::vector<host::ParagraphStamp> stamps_;
    std::unordered_map<std::uint64_t, std::unique_ptr<ParagraphLayout>> layouts_;
    std::list<std::uint64_t> recent_;  // ids of laid-out paragraphs, the latest first
    std::unordered_map<std::uint64_t, long> windowStarts_;  // of long paragraphs, by id
    long top_ = 0;
    long anchor_ = 0;
    long caret_ = 0;
    qreal wantedX_ = -1;  // kept across moves up and down
    bool readOnly_ = false;
    QString readOnlyReason_;
    bool showBookmarks_ = false;
    bool bracketsStale_ = true;
    std::vector<std::pair<long, bool>> brackets_;  // position, opening
    std::vector<long> bracketsDrawn_;
};

}  // namespace veln::desktop
