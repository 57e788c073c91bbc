// A Writer document as a host::Document: its text and paragraphs through
// the paragraph index, bookmarks, highlight and hyperlinks over text ranges,
// document variables as user-defined document properties ("VELN_<name>",
// the mirror the .docx model reads), the selection as the view cursor.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "host/office/office_connection.h"
#include "host/office/paragraph_index.h"
#include "host/word/document.h"

namespace veln::host::office {

class OfficeDocument : public Document {
  public:
    // name: what a document never saved is called ("Document1").
    OfficeDocument(OfficeConnection& connection, const Reference<css::text::XTextDocument>& model,
                   std::string name, bool visible);

    const Reference<css::text::XTextDocument>& Model() const { return model_; }
    // Closes the office's document; nothing is saved.
    void Close();
    // Writer saves a bookmark that ends after a paragraph mark in a .docx as
    // two empty ones, at its start and at its end, and reads them back as
    // "NAME" and "NAME Copy 1": the two are made one again, as they were.
    void JoinSplitBookmarks();
    // The user may have edited the document since VELN last looked at it:
    // its positions and bookmarks are read anew when next asked.
    void ForgetPositions() const { Changed(); }
    // Whether VELN is in a call to the office about this document: its own
    // edits keep the positions up to date themselves.
    bool Busy() const { return busy_ > 0; }

    // --- DocumentFile ---
    std::string Name() const override;
    std::string FullName() const override;
    bool Saved() const override;
    void SetSaved(bool saved) override;
    void Save() override;
    void SaveAs(const std::string& path, std::optional<SaveFormat> format) override;
    bool Visible() const override { return visible_; }

    // --- StoryText ---
    long StoryEnd() const override;
    std::string TextOf(long start, long end) const override;
    void InsertText(long position, std::string_view text) override;
    void DeleteText(long start, long end) override;
    std::pair<long, long> ParagraphAt(long position) const override;
    int HighlightOf(long start, long end) const override;
    void SetHighlight(long start, long end, int colorIndex) override;
    void SetFontStyle(long start, long end, FontStyle style, bool on) override;

    // --- StoryParagraphs ---
    long ParagraphCount() const override;
    long ParagraphIndexAt(long position) const override;
    long ParagraphStart(long index) const override;
    ParagraphStamp StampOfParagraph(long index) const override;
    ParagraphLook LookOfParagraph(long index) const override;
    PageLook LookOfPage() const override { return {}; }
    void SplitParagraph(long position) override;
    void JoinParagraphs(long markPosition) override;

    // --- BookmarkStore ---
    int BookmarkCount(bool includeHidden) const override;
    BookmarkInfo BookmarkItem(int index, bool includeHidden) const override;
    std::optional<BookmarkInfo> FindBookmark(std::string_view name) const override;
    int BookmarkIdAt(long position, bool includeHidden) const override;
    std::vector<BookmarkInfo> BookmarksStartingAt(long position, bool includeHidden) const override;
    int FirstBookmarkFrom(long position, bool includeHidden) const override;
    void SetBookmark(const std::string& name, long start, long end) override;
    void RemoveBookmark(std::string_view name) override;

    // --- VariableStore ---
    std::vector<std::string> VariableNames() const override;
    std::optional<std::string> VariableValue(std::string_view name) const override;
    void SetVariableValue(const std::string& name, const std::string& value) override;
    void RemoveVariable(std::string_view name) override;

    // --- HyperlinkStore ---
    HyperlinkInfo AddHyperlink(long start, long end, const std::string& address,
                               const std::string& subAddress,
                               const std::string& textToDisplay) override;
    std::vector<HyperlinkInfo> HyperlinkList() const override;

    // --- DocumentVersions ---
    void Compare(const std::string& path) override;

    // --- DocumentWindow ---
    long SelectionStart() const override;
    long SelectionEnd() const override;
    void SetSelection(long start, long end) override;

  private:
    // Runs an office call; its failure is a HostError of number failure.
    template <class Call>
    decltype(auto) Run(std::string_view what, Call&& call,
                       long failure = WordError::COMMAND_FAILED) const {
        struct Busy {
            int& depth;
            explicit Busy(int& d) : depth(d) { ++depth; }
            ~Busy() { --depth; }
            Busy(const Busy&) = delete;
            Busy& operator=(const Busy&) = delete;
        } busy(busy_);
        return connection_.Run(what, std::forward<Call>(call), failure);
    }
    // After an edit: positions and bookmarks are read anew.
    void Changed() const;
    // After an edit of the host's own within one paragraph, where [start,
    // end) became length characters: the index and the bookmarks move
    // instead of being read anew (a command edits thousands of times).
    void EditedWithin(long start, long end, long length) const;
    // The cached bookmark of that name read anew from the office (gone, if
    // the office has no such bookmark any more); the order kept.
    void Reread(const std::string& name) const;
    // The cached bookmark of that name is now this one (start -1: gone).
    void Cache(BookmarkInfo bookmark) const;
    // The place of the bookmark of that name among all in order; their
    // count when there is none.
    std::size_t PlaceOf(std::string_view name) const;
    const std::vector<BookmarkInfo>& Ordered(bool includeHidden) const;
    // Reads every bookmark of the main story into all_, in no set order.
    void ReadBookmarks() const;
    Reference<css::container::XNameAccess> BookmarkNames() const;
    Reference<css::beans::XPropertyContainer> UserProperties() const;
    Reference<css::text::XTextViewCursor> ViewCursor() const;
    void Store(const rtl::OUString& url, const std::string& filter);

    OfficeConnection& connection_;
    Reference<css::text::XTextDocument> model_;
    std::string name_;
    bool visible_;
    mutable int busy_ = 0;
    mutable ParagraphIndex index_;
    // Bookmarks in the order of their starts, all and visible ones; read
    // when first asked after a change.
    mutable bool bookmarksValid_ = false;
    mutable std::vector<BookmarkInfo> all_;
    mutable std::vector<BookmarkInfo> shown_;
    mutable bool shownValid_ = false;
    // The places of the bookmarks by name, while their order holds.
    mutable std::unordered_map<std::string, std::size_t> places_;
    mutable bool placesValid_ = false;
};

}  // namespace veln::host::office
