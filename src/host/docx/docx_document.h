// A document over a .docx, .docm, .dotx or .dotm file: the package, its
// main part with the story and bookmarks, the settings part with the document
// variables, and the relationships that hyperlinks need. This header is the
// model's inside: code above the host layer sees documents through
// host::Document and docx_application.h.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "host/docx/bookmark_table.h"
#include "host/docx/disk_file.h"
#include "host/docx/field_hyperlinks.h"
#include "host/docx/list_numbering.h"
#include "host/docx/lock_file.h"
#include "host/docx/story.h"
#include "host/docx/style_sheet.h"
#include "host/docx/wml.h"
#include "host/docx/xml_part.h"
#include "host/docx/zip_package.h"
#include "host/word/document.h"
#include "host/word/held_selection.h"

namespace veln::host {
class Ui;
}

namespace veln::host::docx {

class DocxDocument : public Document {
  public:
    // Opens a file; anything that is not a readable Word package is refused
    // with a HostError naming the file and the reason.
    static std::unique_ptr<DocxDocument> Open(const std::string& path);
    // Reads a document from the bytes of a file; label names it in errors.
    // The document has no file until saved as one.
    static std::unique_ptr<DocxDocument> FromBytes(std::string bytes, const std::string& label);
    // A new empty document, not yet saved, named name ("Document1").
    static std::unique_ptr<DocxDocument> New(const std::string& name, bool visible);

    // Edited in a word processor: its questions (a file changed on disk
    // since it was opened) go to dialogs, and its file is locked while it is
    // open. Without dialogs, a question is answered No.
    void StartEditing(Ui* dialogs);
    // What the reader passed over or mended, for the log.
    const std::vector<std::string>& Notes() const { return notes_; }

    std::string Name() const override { return name_; }
    std::string FullName() const override { return path_.empty() ? name_ : path_; }
    bool Saved() const override { return saved_; }
    void SetSaved(bool saved) override { saved_ = saved; }
    void Save() override;
    void SaveAs(const std::string& path, std::optional<SaveFormat> format = std::nullopt) override;
    bool Visible() const override { return visible_; }

    long StoryEnd() const override { return story_->End(); }
    std::string TextOf(long start, long end) const override;
    void InsertText(long position, std::string_view text) override;
    void DeleteText(long start, long end) override;
    std::pair<long, long> ParagraphAt(long position) const override;
    int HighlightOf(long start, long end) const override;
    void SetHighlight(long start, long end, int colorIndex) override;
    void SetFontStyle(long start, long end, FontStyle style, bool on) override;

    // Paragraphs as a view shows and edits them (docx_document_paragraphs.cpp).
    long ParagraphCount() const override;
    long ParagraphIndexAt(long position) const override;
    long ParagraphStart(long index) const override;
    ParagraphStamp StampOfParagraph(long index) const override;
    ParagraphLook LookOfParagraph(long index) const override;
    PageLook LookOfPage() const override;
    void SplitParagraph(long position) override;
    void JoinParagraphs(long markPosition) override;

    int BookmarkCount(bool includeHidden) const override;
    BookmarkInfo BookmarkItem(int index, bool includeHidden) const override;
    std::optional<BookmarkInfo> FindBookmark(std::string_view name) const override;
    int BookmarkIdAt(long position, bool includeHidden) const override;
    std::vector<BookmarkInfo> BookmarksStartingAt(long position, bool includeHidden) const override;
    int FirstBookmarkFrom(long position, bool includeHidden) const override;
    void SetBookmark(const std::string& name, long start, long end) override;
    void RemoveBookmark(std::string_view name) override;

    std::vector<std::string> VariableNames() const override;
    std::optional<std::string> VariableValue(std::string_view name) const override;
    void SetVariableValue(const std::string& name, const std::string& value) override;
    void RemoveVariable(std::string_view name) override;

    HyperlinkInfo AddHyperlink(long start, long end, const std::string& address,
                               const std::string& subAddress,
                               const std::string& textToDisplay) override;
    std::vector<HyperlinkInfo> HyperlinkList() const override;

    // Versions (docx_document_compare.cpp).
    void Compare(const std::string& path) override;

    long SelectionStart() const override { return selection_.Start(); }
    long SelectionEnd() const override { return selection_.End(); }
    void SetSelection(long start, long end) override { selection_.Set(start, end, StoryEnd()); }

    // The main part's content type: a template's or a document's, with
    // macros or without.
    bool IsTemplate() const;
    bool IsMacroEnabled() const;

  private:
    DocxDocument() = default;
    void Load(const std::string& label);
    void LoadSettings(const std::string& mainName, const std::string& label);
    void Changed(XmlPart& part);
    long Clamp(long position) const;
    pugi::xml_node DocVars(bool create);
    XmlPart& SettingsPart();
    std::string FreePartName(const std::string& folder, const std::string& stem) const;
    // The mirror of the variables in the custom document properties
    // (docx_document_custom_properties.cpp), which word processors that
    // drop w:docVars keep.
    void LoadCustomProperties(const std::string& label);
    void MirrorVariables();
    bool ForgetMirrored(std::string_view name);
    void DeclareContentType(const std::string& partName, const char* contentType);
    XmlPart& MainRelationships();
    std::string AddRelationship(XmlPart& rels, const std::string& type, const std::string& target,
                                bool external);
    std::string RelationshipTarget(const std::string& id) const;
    // The id of the external hyperlink relationship to address, added the
    // first time: hyperlinks to one file share it, as the format allows, so
    // a document of many links to a few files does not carry one each.
    std::string HyperlinkRelationship(const std::string& address);
    std::optional<HyperlinkInfo> LinkOfPiece(const Paragraph& paragraph, const Piece& piece,
                                             const FieldHyperlinkRuns& fields,
                                             std::optional<std::size_t>& owner) const;
    bool HasMacroProject() const;
    std::string MainContentType() const;
    void SetMainContentType(bool templateType, bool macros);
    // Asks before a save overwrites what another program wrote since.
    void ConfirmOverwrite(const std::string& path);
    void WriteTo(const std::string& path);
    // The styles and numbering parts, read the first time a paragraph's look
    // is asked for.
    std::unique_ptr<XmlPart> RelatedPart(std::string_view kind) const;
    const StyleSheet& Styles() const;
    const ListNumbering& Numbering() const;
    // The label the lists give a paragraph, the document counted through.
    const std::string& ListLabelOf(const Paragraph& paragraph) const;
    const Paragraph& ParagraphOfIndex(long index) const;
    std::string path_;  // absolute, "" until saved
    std::string name_;
    bool visible_ = true;
    bool saved_ = true;
    HeldSelection selection_;

    Ui* dialogs_ = nullptr;
    bool editing_ = false;
    std::optional<DocumentLock> lock_;
    DiskState disk_;  // the file as it was read or last saved
    std::vector<std::string> notes_;

    std::optional<ZipPackage> package_;
    std::unique_ptr<XmlPart> contentTypes_;
    std::unique_ptr<XmlPart> packageRels_;
    std::unique_ptr<XmlPart> main_;
    std::unique_ptr<XmlPart> mainRels_;
    std::unique_ptr<XmlPart> settings_;
    // The part the settings relationship names, when it is missing or is not
    // a settings part: variables are then written there, or refused.
    std::string settingsName_;
    bool foreignSettings_ = false;
    // docProps/custom.xml, and the variables found only there.
    std::unique_ptr<XmlPart> customProperties_;
    std::vector<std::pair<std::string, std::string>> mirrored_;
    bool variablesChanged_ = false;
    Wml names_;
    std::unique_ptr<Story> story_;
    std::unique_ptr<BookmarkTable> bookmarks_;
    // The greatest "rIdN" of each relationships part that ids were added to.
    std::map<const XmlPart*, long> highestRelationshipIds_;
    std::unordered_map<std::string, std::string> hyperlinkRelationships_;  // by address
    mutable std::unique_ptr<StyleSheet> styles_;
    mutable std::unique_ptr<ListNumbering> numbering_;
    mutable bool hasNumbering_ = false;
    // The labels of the paragraphs, and the story and paragraphs they were counted for.
    using LabelsKey = std::tuple<const Story*, std::size_t, std::uint64_t>;
    mutable LabelsKey labelsKey_{};
    mutable std::vector<std::string> listLabels_;
};

}  // namespace veln::host::docx
