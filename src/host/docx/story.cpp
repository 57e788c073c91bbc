#include "host/docx/story.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "host/utf8.h"
#include "host/word/document.h"

namespace veln::host::docx {

namespace {

constexpr std::array<const char*, 17> HIGHLIGHT_NAMES{
    "none",        "black",   "blue",       "cyan",     "green",    "magenta",
    "red",         "yellow",  "white",      "darkBlue", "darkCyan", "darkGreen",
    "darkMagenta", "darkRed", "darkYellow", "darkGray", "lightGray"};

// Run properties that follow w:highlight in the order the schema fixes.
constexpr std::array<const char*, 14> AFTER_HIGHLIGHT{
    "u",    "effect",          "bdr",        "shd",   "fitText",  "vertAlign", "rtl", "cs", "em",
    "lang", "eastAsianLayout", "specVanish", "oMath", "rPrChange"};

// Paragraph-mark properties that are revision marks, not formatting.
constexpr std::array<const char*, 5> REVISION_MARKS{"ins", "del", "moveFrom", "moveTo",
                                                    "rPrChange"};

const char* LocalName(const pugi::xml_node& node) {
    const char* name = node.name();
    const char* colon = std::strchr(name, ':');
    return colon == nullptr ? name : colon + 1;
}

bool LocalIsOneOf(const pugi::xml_node& node, const auto& names) {
    const char* local = LocalName(node);
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return std::strcmp(local, name) == 0; });
}

// The characters the story counts that a file writes as elements of their
// own, not as text: a tab, breaks and the two special hyphens. 0 for others.
char32_t SpecialElementOf(char c) {
    switch (static_cast<char32_t>(static_cast<unsigned char>(c))) {
        case WordChar::TAB:
        case WordChar::LINE_BREAK:
        case WordChar::PAGE_BREAK:
        case WordChar::COLUMN_BREAK:
        case WordChar::NON_BREAKING_HYPHEN:
        case WordChar::OPTIONAL_HYPHEN:
            return static_cast<unsigned char>(c);
        default:
            return 0;
    }
}

HostError Unsupported(const std::string& what) {
    return HostError(WordError::COMMAND_FAILED, what);
}

// Line, page and column breaks and the two hyphens, which the story counts
// as characters but XML cannot hold as text.
constexpr const char* STORY_CHARACTERS = "\v\f\x0E\x1E\x1F";

// Sets a w:t's text; the story's own characters in it become the elements
// that hold them, after it in the same run.
void SetText(pugi::xml_node t, const std::string& text, const Wml& n) {
    std::size_t special = text.find_first_of(STORY_CHARACTERS);
    t.text().set(text.substr(0, special).c_str());
    if (!t.attribute("xml:space")) {
        t.append_attribute("xml:space").set_value("preserve");
    }
    for (pugi::xml_node at = t; special != std::string::npos;) {
        char c = text[special];
        const std::string& name = c == '\x1E' ? n.noBreakHyphen : c == '\x1F' ? n.softHyphen : n.br;
        at = t.parent().insert_child_after(name.c_str(), at);
        if (c == '\f' || c == '\x0E') {
            at.append_attribute(n.type.c_str()).set_value(c == '\f' ? "page" : "column");
        }
        std::size_t next = text.find_first_of(STORY_CHARACTERS, special + 1);
        std::string rest = text.substr(special + 1, next - special - 1);
        if (!rest.empty()) {
            at = t.parent().insert_child_after(n.t.c_str(), at);
            at.text().set(rest.c_str());
            at.append_attribute("xml:space").set_value("preserve");
        }
        special = next;
    }
}

// Most paragraphs hold a few runs: one allocation serves them, and an empty
// paragraph (the cheapest thing a file can repeat) takes none.
void AddPiece(Paragraph& paragraph, const Piece& piece) {
    if (paragraph.pieces.capacity() == 0) {
        paragraph.pieces.reserve(4);
    }
    paragraph.pieces.push_back(piece);
}

}  // namespace

bool IsStoryCharacter(char32_t c) {
    return c < 0x80 && c != 0 && std::strchr(STORY_CHARACTERS, static_cast<int>(c)) != nullptr;
}

// --- reading -------------------------------------------------------------------

Paragraph& Story::NewParagraph(pugi::xml_node node) {
    Paragraph& paragraph = pool_.emplace_back();
    paragraph.node = node;
    paragraph.id = ++lastParagraphId_;
    return paragraph;
}

Story::Story(pugi::xml_node body, const Wml& names, std::uint64_t lastParagraphId)
    : n_(names), body_(body), lastParagraphId_(lastParagraphId) {
    std::vector<pugi::xml_node> pending;
    WalkBlocks(body, pending, 0);
    for (const auto& marker : pending) {
        found_.push_back({marker, nullptr, true});
    }
    FenwickRebuild();
}

void Story::WalkBlocks(pugi::xml_node parent, std::vector<pugi::xml_node>& pending, int depth) {
    RequireDepth(depth);
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (n_.TagOf(child)) {
            case Tag::p: {
                Paragraph& paragraph = NewParagraph(child);
                paragraph.index = paragraphs_.size();
                for (const auto& marker : pending) {
                    found_.push_back({marker, &paragraph, true});
                }
                pending.clear();
                ScanInline(child, paragraph, true, false, depth + 1);
                paragraphs_.push_back(&paragraph);
                break;
            }
            case Tag::bookmarkStart:
            case Tag::bookmarkEnd:
                pending.push_back(child);
                break;
            case Tag::tbl:
            case Tag::tr:
            case Tag::tc:
            case Tag::sdt:
            case Tag::sdtContent:
            case Tag::customXml:
                WalkBlocks(child, pending, depth + 1);
                break;
            default:
                break;
        }
    }
}

void Story::ScanInline(pugi::xml_node parent, Paragraph& paragraph, bool report, bool markersOnly,
                       int depth) {
    // Only what is read from a file can be deep; an edit adds a level at most.
    if (report) {
        RequireDepth(depth);
    }
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (n_.TagOf(child)) {
            case Tag::r:
                if (!markersOnly) {
                    ScanRun(child, paragraph);
                }
                break;
            case Tag::bookmarkStart:
            case Tag::bookmarkEnd: {
                bool start = n_.TagOf(child) == Tag::bookmarkStart;
                AddPiece(paragraph, {child, 0, start ? PieceKind::Start : PieceKind::End, 0});
                if (report) {
                    found_.push_back({child, &paragraph, false});
                }
                break;
            }
            case Tag::hyperlink:
            case Tag::smartTag:
            case Tag::customXml:
            case Tag::sdt:
            case Tag::sdtContent:
            case Tag::ins:
            case Tag::moveTo:
            case Tag::fldSimple:
            case Tag::dir:
            case Tag::bdo:
                ScanInline(child, paragraph, report, markersOnly, depth + 1);
                break;
            case Tag::del:
            case Tag::moveFrom:
                // Deleted and moved-away text does not count, but the bookmarks in
                // it are still the document's: they stand where the deletion is.
                ScanInline(child, paragraph, report, true, depth + 1);
                break;
            default:
                // Paragraph properties, alternate content (text boxes, drawings)
                // and the rest are not part of the story.
                break;
        }
    }
}

void Story::ScanRun(pugi::xml_node run, Paragraph& paragraph) {
    for (pugi::xml_node child = run.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        char32_t special = 0;
        switch (n_.TagOf(child)) {
            case Tag::t: {
                auto length = static_cast<std::uint32_t>(CountCharacters(child.child_value()));
                if (length > 0) {
                    AddPiece(paragraph, {child, length, PieceKind::Text, 0});
                    paragraph.length += length;
                }
                continue;
            }
            case Tag::tab:
                special = WordChar::TAB;
                break;
            case Tag::br: {
                std::string_view type = child.attribute(n_.type.c_str()).value();
                special = type == "page"     ? WordChar::PAGE_BREAK
                          : type == "column" ? WordChar::COLUMN_BREAK
                                             : WordChar::LINE_BREAK;
                break;
            }
            case Tag::cr:
                special = WordChar::LINE_BREAK;
                break;
            case Tag::noBreakHyphen:
                special = WordChar::NON_BREAKING_HYPHEN;
                break;
            case Tag::softHyphen:
                special = WordChar::OPTIONAL_HYPHEN;
                break;
            case Tag::sym:
                special = static_cast<char32_t>(
                    std::strtoul(child.attribute(n_.chr.c_str()).value(), nullptr, 16));
                if (special == 0) {
                    special = WordChar::UNKNOWN_SYMBOL;
                }
                break;
            default:
                break;
        }
        if (special != 0) {
            AddPiece(paragraph, {child, 1, PieceKind::Char, special});
            paragraph.length += 1;
        }
    }
}

void Story::Rescan(Paragraph& paragraph) {
    ++paragraph.revision;
    long before = paragraph.length;
    paragraph.pieces.clear();
    paragraph.length = 0;
    ScanInline(paragraph.node, paragraph, false, false, 0);
    if (paragraph.length != before) {
        FenwickAdd(paragraph.index, paragraph.length - before);
    }
}

void Story::RequireDepth(int depth) {
    if (depth > MAX_NESTING) {
        throw HostError(WordError::FILE_CORRUPT,
                        "its main story is nested more than " + std::to_string(MAX_NESTING) +
                            " levels deep (tables, content controls, hyperlinks...), which is "
                            "refused");
    }
}

// --- positions -------------------------------------------------------------------

long Story::Prefix(std::size_t count) const {
    long sum = 0;
    for (std::size_t i = count; i > 0; i -= i & (~i + 1)) {
        sum += tree_[i - 1];
    }
    return sum;
}

void Story::FenwickAdd(std::size_t index, long delta) {
    for (std::size_t i = index + 1; i <= tree_.size(); i += i & (~i + 1)) {
        tree_[i - 1] += delta;
    }
}

void Story::FenwickPush(long value) {
    std::size_t i = tree_.size() + 1;
    std::size_t low = i & (~i + 1);
    // Node i covers the paragraphs (i - low, i].
    tree_.push_back(value + Prefix(i - 1) - Prefix(i - low));
}

void Story::FenwickRebuild() {
    tree_.assign(paragraphs_.size(), 0);
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        tree_[i] += paragraphs_[i]->length + 1;
        std::size_t parent = (i + 1) + ((i + 1) & (~(i + 1) + 1));
        if (parent <= tree_.size()) {
            tree_[parent - 1] += tree_[i];
        }
    }
}

long Story::End() const {
    return Prefix(tree_.size());
}

long Story::StartOf(const Paragraph& paragraph) const {
    return Prefix(paragraph.index);
}

std::pair<Paragraph*, long> Story::Locate(long position) const {
    if (paragraphs_.empty()) {
        throw Unsupported("the document has no paragraph");
    }
    position = std::clamp(position, 0L, End() - 1);
    // Descend the tree for the last paragraph whose start is <= position.
    std::size_t index = 0;
    long remaining = position;
    std::size_t step = 1;
    while (step * 2 <= tree_.size()) {
        step *= 2;
    }
    for (; step > 0; step /= 2) {
        if (index + step <= tree_.size() && tree_[index + step - 1] <= remaining) {
            index += step;
            remaining -= tree_[index - 1];
        }
    }
    return {paragraphs_[index], remaining};
}

long Story::PositionOf(const Paragraph* paragraph, const pugi::xml_node& marker) const {
    if (paragraph == nullptr) {
        return End();
    }
    long offset = 0;
    for (const auto& piece : paragraph->pieces) {
        if (piece.node == marker) {
            return StartOf(*paragraph) + offset;
        }
        offset += piece.length;
    }
    return StartOf(*paragraph);  // between blocks, before the paragraph
}

std::size_t Story::ContentAt(const Paragraph& paragraph, long offset, long& pieceStart) const {
    long at = 0;
    for (std::size_t i = 0; i < paragraph.pieces.size(); ++i) {
        const Piece& piece = paragraph.pieces[i];
        if (piece.length > 0 && offset < at + static_cast<long>(piece.length)) {
            pieceStart = at;
            return i;
        }
        at += piece.length;
    }
    pieceStart = at;
    return paragraph.pieces.size();
}

// --- text --------------------------------------------------------------------------

std::string Story::Text(long start, long end) const {
    std::string text;
    if (start >= end || paragraphs_.empty()) {
        return text;
    }
    auto [first, offset] = Locate(start);
    long remaining = end - start;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        const Paragraph& paragraph = *paragraphs_[index];
        long at = 0;
        for (const auto& piece : paragraph.pieces) {
            if (remaining <= 0) {
                break;
            }
            long pieceEnd = at + static_cast<long>(piece.length);
            if (piece.length > 0 && pieceEnd > offset) {
                long from = std::max(offset, at) - at;
                long take = std::min<long>(static_cast<long>(piece.length) - from, remaining);
                if (piece.kind == PieceKind::Text) {
                    std::string_view value = piece.node.child_value();
                    std::size_t begin = ByteOffset(value, from);
                    text.append(value.substr(begin, ByteOffset(value, from + take) - begin));
                } else {
                    AppendCodePoint(text, piece.ch);
                }
                remaining -= take;
            }
            at = pieceEnd;
        }
        if (remaining > 0 && offset <= paragraph.length) {
            text += '\r';
            --remaining;
        }
        offset = 0;
    }
    return text;
}

void Story::AddToLength(Paragraph& paragraph, long delta) {
    paragraph.length += delta;
    FenwickAdd(paragraph.index, delta);
}

void Story::InsertInParagraph(Paragraph& paragraph, long offset, std::string_view text) {
    long pieceStart = 0;
    std::size_t index = ContentAt(paragraph, offset, pieceStart);
    if (index < paragraph.pieces.size()) {
        const Piece& piece = paragraph.pieces[index];
        if (piece.kind == PieceKind::Text) {
            std::string value = piece.node.child_value();
            value.insert(ByteOffset(value, offset - pieceStart), text);
            SetText(piece.node, value, n_);
        } else {
            pugi::xml_node t = piece.node.parent().insert_child_before(n_.t.c_str(), piece.node);
            SetText(t, std::string(text), n_);
        }
    } else {
        // At the paragraph mark: a run of the mark's formatting, after every marker.
        pugi::xml_node run = paragraph.node.append_child(n_.r.c_str());
        pugi::xml_node markProperties = paragraph.node.child(n_.pPr.c_str()).child(n_.rPr.c_str());
        if (markProperties) {
            pugi::xml_node properties = run.append_child(n_.rPr.c_str());
            for (pugi::xml_node child : markProperties.children()) {
                if (child.type() == pugi::node_element && !LocalIsOneOf(child, REVISION_MARKS)) {
                    properties.append_copy(child);
                }
            }
        }
        SetText(run.append_child(n_.t.c_str()), std::string(text), n_);
    }
    Rescan(paragraph);
}

Paragraph& Story::NewParagraphAfter(Paragraph& paragraph) {
    pugi::xml_node node = paragraph.node.parent().insert_child_after(n_.p.c_str(), paragraph.node);
    pugi::xml_node properties = paragraph.node.child(n_.pPr.c_str());
    if (properties) {
        pugi::xml_node copy = node.append_copy(properties);
        // A section break stays with the paragraph that held it.
        copy.remove_child(n_.sectPr.c_str());
        pugi::xml_node mark = copy.child(n_.rPr.c_str());
        for (pugi::xml_node child = mark.first_child(); child;) {
            pugi::xml_node next = child.next_sibling();
            if (LocalIsOneOf(child, REVISION_MARKS)) {
                mark.remove_child(child);
            }
            child = next;
        }
    }
    Paragraph& result = NewParagraph(node);
    std::size_t at = paragraph.index + 1;
    paragraphs_.insert(paragraphs_.begin() + static_cast<std::ptrdiff_t>(at), &result);
    if (at + 1 == paragraphs_.size()) {
        result.index = at;
        FenwickPush(1);
    } else {
        for (std::size_t i = at; i < paragraphs_.size(); ++i) {
            paragraphs_[i]->index = i;
        }
        FenwickRebuild();
    }
    return result;
}

void Story::InsertWithSpecials(Paragraph& paragraph, long offset, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        char32_t special = at < text.size() ? SpecialElementOf(text[at]) : 0;
        if (at < text.size() && special == 0) {
            continue;
        }
        std::string_view plain = text.substr(from, at - from);
        if (!plain.empty()) {
            InsertInParagraph(paragraph, offset, plain);
            offset += CountCharacters(plain);
        }
        if (special != 0) {
            InsertSpecial(paragraph, offset++, special);
        }
        from = at + 1;
    }
}

void Story::InsertSpecial(Paragraph& paragraph, long offset, char32_t special) {
    // Placed and formatted as a character of text would be, in a run of its
    // own; then that character becomes the element.
    InsertInParagraph(paragraph, offset, " ");
    RunsCovering(paragraph, offset, offset + 1);
    long pieceStart = 0;
    pugi::xml_node node = paragraph.pieces[ContentAt(paragraph, offset, pieceStart)].node;
    node.remove_children();
    node.remove_attribute("xml:space");
    switch (special) {
        case WordChar::TAB:
            node.set_name(n_.tab.c_str());
            break;
        case WordChar::NON_BREAKING_HYPHEN:
            node.set_name(n_.noBreakHyphen.c_str());
            break;
        case WordChar::OPTIONAL_HYPHEN:
            node.set_name(n_.softHyphen.c_str());
            break;
        default:
            node.set_name(n_.br.c_str());
            if (special != WordChar::LINE_BREAK) {
                node.append_attribute(n_.type.c_str())
                    .set_value(special == WordChar::PAGE_BREAK ? "page" : "column");
            }
            break;
    }
    Rescan(paragraph);
}

void Story::Insert(long position, std::string_view text) {
    if (text.empty()) {
        return;
    }
    auto [paragraph, offset] = Locate(position);
    // Checked before anything changes: a failed insertion leaves no trace.
    if (text.find('\r') != std::string_view::npos && offset != paragraph->length) {
        throw Unsupported("a paragraph mark can only be inserted at the end of a paragraph");
    }
    std::size_t from = 0;
    for (;;) {
        std::size_t mark = text.find('\r', from);
        std::string_view part =
            text.substr(from, mark == std::string_view::npos ? text.npos : mark - from);
        if (!part.empty()) {
            InsertWithSpecials(*paragraph, offset, part);
            offset += CountCharacters(part);
        }
        if (mark == std::string_view::npos) {
            break;
        }
        paragraph = &NewParagraphAfter(*paragraph);
        offset = 0;
        from = mark + 1;
    }
}

void Story::Delete(long start, long end) {
    if (start >= end) {
        return;
    }
    auto [paragraph, offset] = Locate(start);
    long stop = offset + (end - start);
    if (stop > paragraph->length) {
        throw Unsupported("text can only be deleted within one paragraph");
    }
    std::vector<pugi::xml_node> gone;
    std::vector<pugi::xml_node> runs;
    long at = 0;
    for (const auto& piece : paragraph->pieces) {
        long pieceEnd = at + static_cast<long>(piece.length);
        if (piece.length > 0 && pieceEnd > offset && at < stop) {
            long from = std::max(offset, at) - at;
            long to = std::min(stop, pieceEnd) - at;
            if (piece.kind == PieceKind::Text &&
                (from > 0 || to < static_cast<long>(piece.length))) {
                std::string value = piece.node.child_value();
                std::size_t begin = ByteOffset(value, from);
                value.erase(begin, ByteOffset(value, to) - begin);
                SetText(piece.node, value, n_);
            } else {
                gone.push_back(piece.node);
            }
            runs.push_back(piece.node.parent());
        }
        at = pieceEnd;
    }
    for (auto& node : gone) {
        node.parent().remove_child(node);
    }
    // A run left with nothing but its properties goes too.
    for (auto& run : runs) {
        bool empty = true;
        for (pugi::xml_node child : run.children()) {
            empty = empty && (child.type() != pugi::node_element || Is(child, n_.rPr));
        }
        if (empty && run.parent()) {
            run.parent().remove_child(run);
        }
    }
    Rescan(*paragraph);
}

// --- runs, highlight and markers --------------------------------------------------------

pugi::xml_node Story::SplitAt(Paragraph& paragraph, long offset) {
    long pieceStart = 0;
    std::size_t index = ContentAt(paragraph, offset, pieceStart);
    if (index == paragraph.pieces.size()) {
        return {};
    }
    Piece piece = paragraph.pieces[index];
    pugi::xml_node first = piece.node;
    pugi::xml_node run = first.parent();
    if (offset > pieceStart) {
        // Split the w:t: the characters from offset on go to a new w:t after it.
        std::string value = piece.node.child_value();
        std::size_t cut = ByteOffset(value, offset - pieceStart);
        pugi::xml_node tail = run.insert_copy_after(piece.node, piece.node);
        SetText(tail, value.substr(cut), n_);
        SetText(piece.node, value.substr(0, cut), n_);
        first = tail;
    }
    // Is there content in the run before `first`?
    bool contentBefore = false;
    for (pugi::xml_node child = run.first_child(); child != first; child = child.next_sibling()) {
        contentBefore = contentBefore || (child.type() == pugi::node_element && !Is(child, n_.rPr));
    }
    if (contentBefore) {
        pugi::xml_node second = run.parent().insert_child_after(n_.r.c_str(), run);
        for (pugi::xml_attribute attribute : run.attributes()) {
            second.append_attribute(attribute.name()).set_value(attribute.value());
        }
        if (pugi::xml_node properties = run.child(n_.rPr.c_str())) {
            second.append_copy(properties);
        }
        for (pugi::xml_node child = first; child;) {
            pugi::xml_node next = child.next_sibling();
            second.append_move(child);
            child = next;
        }
        run = second;
    }
    Rescan(paragraph);
    return run;
}

std::vector<pugi::xml_node> Story::RunsCovering(Paragraph& paragraph, long start, long end) {
    std::vector<pugi::xml_node> runs;
    start = std::clamp(start, 0L, paragraph.length);
    end = std::clamp(end, 0L, paragraph.length);
    if (start >= end) {
        return runs;
    }
    SplitAt(paragraph, end);
    SplitAt(paragraph, start);
    long at = 0;
    for (const auto& piece : paragraph.pieces) {
        if (piece.length > 0 && at >= start && at < end) {
            pugi::xml_node run = piece.node.parent();
            if (runs.empty() || runs.back() != run) {
                runs.push_back(run);
            }
        }
        at += piece.length;
    }
    return runs;
}

int HighlightIndex(std::string_view value) {
    for (std::size_t i = 0; i < HIGHLIGHT_NAMES.size(); ++i) {
        if (value == HIGHLIGHT_NAMES[i]) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int Story::Highlight(long start, long end) const {
    auto indexOf = [this](const pugi::xml_node& run) {
        return HighlightIndex(run.child(n_.rPr.c_str())
                                  .child(n_.highlight.c_str())
                                  .attribute(n_.val.c_str())
                                  .value());
    };
    auto [first, offset] = Locate(start);
    if (start >= end) {
        end = start + 1;
    }
    long remaining = end - start;
    int found = -1;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        const Paragraph& paragraph = *paragraphs_[index];
        long at = 0;
        for (const auto& piece : paragraph.pieces) {
            long pieceEnd = at + static_cast<long>(piece.length);
            if (piece.length > 0 && pieceEnd > offset && at < offset + remaining) {
                int value = indexOf(piece.node.parent());
                if (found >= 0 && value != found) {
                    return WdColorIndex::wdUndefined;
                }
                found = value;
            }
            at = pieceEnd;
        }
        remaining -= paragraph.length + 1 - offset;
        offset = 0;
    }
    return std::max(found, 0);
}

void Story::SetHighlight(long start, long end, int colorIndex) {
    if (colorIndex < 0 || colorIndex >= static_cast<int>(HIGHLIGHT_NAMES.size())) {
        throw HostError(WordError::VALUE_OUT_OF_RANGE,
                        "Value out of range: highlight colour " + std::to_string(colorIndex));
    }
    if (start >= end) {
        return;
    }
    // Removing a highlight that is not there changes nothing: no run is split.
    if (colorIndex == 0 && Highlight(start, end) == 0) {
        return;
    }
    auto [first, offset] = Locate(start);
    long remaining = end - start;
    for (std::size_t index = first->index; index < paragraphs_.size() && remaining > 0; ++index) {
        Paragraph& paragraph = *paragraphs_[index];
        ++paragraph.revision;
        long stop = offset + remaining;
        for (pugi::xml_node run : RunsCovering(paragraph, offset, stop)) {
            pugi::xml_node properties = run.child(n_.rPr.c_str());
            if (!properties) {
                properties = run.prepend_child(n_.rPr.c_str());
            }
            pugi::xml_node highlight = properties.child(n_.highlight.c_str());
            if (colorIndex == 0) {
                properties.remove_child(highlight);
                continue;
            }
            if (!highlight) {
                pugi::xml_node before = properties.first_child();
                while (before && !(before.type() == pugi::node_element &&
                                   LocalIsOneOf(before, AFTER_HIGHLIGHT))) {
                    before = before.next_sibling();
                }
                highlight = before ? properties.insert_child_before(n_.highlight.c_str(), before)
                                   : properties.append_child(n_.highlight.c_str());
            }
            pugi::xml_attribute value = highlight.attribute(n_.val.c_str());
            if (!value) {
                value = highlight.append_attribute(n_.val.c_str());
            }
            value.set_value(HIGHLIGHT_NAMES[static_cast<std::size_t>(colorIndex)]);
        }
        remaining -= paragraph.length + 1 - offset;
        offset = 0;
    }
}

std::pair<pugi::xml_node, Paragraph*> Story::InsertMarker(long position,
                                                          const std::string& element) {
    if (position >= End()) {
        // After the last paragraph mark: between blocks, after the last
        // paragraph, where a bookmark over the whole last paragraph ends.
        // After the markers already there, as everywhere (blanks between
        // elements, kept as read, are passed over).
        pugi::xml_node after = paragraphs_.back()->node;
        for (pugi::xml_node next = after.next_sibling(); next; next = next.next_sibling()) {
            if (Is(next, n_.bookmarkStart) || Is(next, n_.bookmarkEnd)) {
                after = next;
            } else if (next.type() == pugi::node_element) {
                break;
            }
        }
        return {after.parent().insert_child_after(element.c_str(), after), nullptr};
    }
    auto [paragraph, offset] = Locate(position);
    pugi::xml_node run = SplitAt(*paragraph, offset);
    pugi::xml_node marker = run ? run.parent().insert_child_before(element.c_str(), run)
                                : paragraph->node.append_child(element.c_str());
    Rescan(*paragraph);
    return {marker, paragraph};
}

void Story::RemoveMarker(const pugi::xml_node& marker, Paragraph* paragraph) {
    if (marker.parent()) {
        marker.parent().remove_child(marker);
    }
    if (paragraph != nullptr) {
        Rescan(*paragraph);
    }
}

}  // namespace veln::host::docx
