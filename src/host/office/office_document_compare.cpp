// Comparing a document with another version of it in Writer. The other
// version is opened hidden and read through a paragraph index of its own;
// the blocks of both are matched as the .docx model matches them, and the
// differences are written here while Writer records changes, so that they
// are Writer's own tracked changes: accepting them all gives the other
// version, and bookmarks stay with their text.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/diff/block_steps.h"
#include "host/diff/word_diff.h"
#include "host/office/office_document.h"
#include "host/utf8.h"

namespace veln::host::office {

namespace {

// A paragraph of the body, or a table (the paragraphs of its cells).
struct VersionBlock {
    std::size_t paragraph = 0;  // the first, in the version's paragraph index
    bool table = false;
    std::uint64_t hash = 0;
    std::u32string text;  // a paragraph's characters as the system counts them
};

std::vector<VersionBlock> BlocksOf(ParagraphIndex& index) {
    std::vector<VersionBlock> blocks;
    const auto& paragraphs = index.Paragraphs();
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        std::u32string text = Widen(StoryCharacters(paragraphs[i].string));
        if (paragraphs[i].block == 0) {
            const std::uint64_t hash = diff::HashOf(text);
            blocks.push_back({i, false, hash, std::move(text)});
            continue;
        }
        VersionBlock table{i, true, 0, {}};
        for (; i < paragraphs.size() && paragraphs[i].block != 0; ++i) {
            const std::u32string cell = Widen(StoryCharacters(paragraphs[i].string));
            table.hash = (table.hash ^ diff::HashOf(cell)) * 1099511628211ULL + paragraphs[i].block;
        }
        --i;
        blocks.push_back(std::move(table));
    }
    return blocks;
}

std::vector<std::uint64_t> HashesOf(const std::vector<VersionBlock>& blocks) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(blocks.size());
    for (const VersionBlock& block : blocks) {
        hashes.push_back(block.hash);
    }
    return hashes;
}

// What the comparison does, recorded first so that nothing is changed when
// it cannot be done.
struct Operation {
    enum class Kind : std::uint8_t { Pair, Remove, Insert } kind;
    std::size_t ours;    // Insert: before our block of that index
    std::size_t theirs;  // Insert: the first of count
    std::size_t count = 0;
};

std::vector<Operation> PlanOf(const std::vector<VersionBlock>& ours,
                              const std::vector<VersionBlock>& theirs) {
    std::vector<Operation> plan;
    diff::Steps steps;
    steps.alike = [&](std::size_t i, std::size_t j) {
        return !ours[i].table && !theirs[j].table &&
               !diff::Rewritten(diff::WordsOf(ours[i].text), diff::WordsOf(theirs[j].text));
    };
    // A paragraph before a table or at the end keeps its mark: it is edited.
    steps.closing = [&](std::size_t ourEnd, std::size_t i, std::size_t j) {
        return (ourEnd == ours.size() || ours[ourEnd].table) && !ours[i].table && !theirs[j].table;
    };
    steps.pair = [&](std::size_t i, std::size_t j) {
        plan.push_back({Operation::Kind::Pair, i, j});
    };
    steps.remove = [&](std::size_t i) { plan.push_back({Operation::Kind::Remove, i, 0}); };
    steps.insert = [&](std::size_t at, std::size_t first, std::size_t count) {
        plan.push_back({Operation::Kind::Insert, at, first, count});
    };
    diff::Step(HashesOf(ours), HashesOf(theirs), steps);
    return plan;
}

bool TouchesTables(const std::vector<Operation>& plan, const std::vector<VersionBlock>& ours,
                   const std::vector<VersionBlock>& theirs) {
    return std::any_of(plan.begin(), plan.end(), [&](const Operation& operation) {
        switch (operation.kind) {
            case Operation::Kind::Remove:
                return ours[operation.ours].table;
            case Operation::Kind::Insert:
                // Between a table and the end there is no paragraph to lend a mark.
                if (operation.ours == ours.size() && operation.ours > 0 &&
                    ours[operation.ours - 1].table) {
                    return true;
                }
                return std::any_of(
                    theirs.begin() + static_cast<long>(operation.theirs),
                    theirs.begin() + static_cast<long>(operation.theirs + operation.count),
                    [](const VersionBlock& block) { return block.table; });
            case Operation::Kind::Pair:
                break;
        }
        return false;
    });
}

// Writer records the edits made while this lives.
class RecordedChanges {
  public:
    explicit RecordedChanges(const Reference<css::text::XTextDocument>& model)
        : settings_(model, UNO_QUERY_THROW) {
        settings_->getPropertyValue(ToOUString("RecordChanges")) >>= recording_;
        settings_->setPropertyValue(ToOUString("RecordChanges"), css::uno::Any(true));
    }
    ~RecordedChanges() {
        try {
            settings_->setPropertyValue(ToOUString("RecordChanges"), css::uno::Any(recording_));
        } catch (const css::uno::Exception&) {
            // The office is gone: the failure of the comparison says so.
        }
    }
    RecordedChanges(const RecordedChanges&) = delete;
    RecordedChanges& operator=(const RecordedChanges&) = delete;

  private:
    Reference<css::beans::XPropertySet> settings_;
    bool recording_ = false;
};

// The other version: the office's document of that file when it is open,
// else the file opened hidden and closed again.
class OtherVersion {
  public:
    OtherVersion(OfficeConnection& connection, const std::string& path) {
        const rtl::OUString url = FileUrl(path);
        Reference<css::container::XEnumeration> open =
            connection.Desktop()->getComponents()->createEnumeration();
        while (open->hasMoreElements() && !model_.is()) {
            Reference<css::frame::XModel> model(open->nextElement(), UNO_QUERY);
            if (model.is() && model->getURL() == url) {
                model_.set(model, UNO_QUERY);
            }
        }
        if (model_.is()) {
            return;
        }
        Reference<css::frame::XComponentLoader> loader(connection.Desktop(), UNO_QUERY_THROW);
        Reference<css::lang::XComponent> component = loader->loadComponentFromURL(
            url, ToOUString("_blank"), 0,
            NamedValues({{"Hidden", css::uno::Any(true)}, {"ReadOnly", css::uno::Any(true)}}));
        model_.set(component, UNO_QUERY);
        owned_ = true;
        if (!model_.is()) {
            if (component.is()) {
                component->dispose();
            }
            throw HostError(WordError::FILE_CORRUPT,
                            path + ": LibreOffice Writer cannot open this file as a text document");
        }
    }
    ~OtherVersion() {
        if (!owned_) {
            return;
        }
        try {
            Reference<css::util::XCloseable>(model_, UNO_QUERY_THROW)->close(true);
        } catch (const css::uno::Exception&) {
            // Left to the office: this version was only read.
        }
    }
    OtherVersion(const OtherVersion&) = delete;
    OtherVersion& operator=(const OtherVersion&) = delete;

    const Reference<css::text::XTextDocument>& Model() const { return model_; }

  private:
    Reference<css::text::XTextDocument> model_;
    bool owned_ = false;
};

// The changes within one paragraph, from its end back; at one place the
// deletion first, so that what is put in follows what is taken out.
std::vector<diff::Change> ChangesWithin(const VersionBlock& ours, const VersionBlock& theirs) {
    std::vector<diff::Change> changes =
        diff::ChangesBetween(diff::WordsOf(ours.text), diff::WordsOf(theirs.text));
    std::stable_sort(changes.begin(), changes.end(),
                     [](const diff::Change& a, const diff::Change& b) {
                         return a.at != b.at ? a.at > b.at : !a.insertion && b.insertion;
                     });
    return changes;
}

// Where our paragraphs begin, held by cursors made before any edit: Writer
// moves a cursor with its text when a paragraph is split, where the
// paragraph's own object stays with the node that keeps its end.
class Anchors {
  public:
    Anchors(ParagraphIndex& index, const std::vector<Operation>& plan,
            const std::vector<VersionBlock>& ours)
        : index_(index) {
        auto hold = [&](std::size_t block) {
            if (block < ours.size() && !ours[block].table) {
                const std::size_t paragraph = ours[block].paragraph;
                anchors_.try_emplace(paragraph,
                                     index.TextOf(paragraph)->createTextCursorByRange(
                                         index.Paragraphs()[paragraph].range->getStart()));
            }
        };
        for (const Operation& operation : plan) {
            hold(operation.ours);
            if (operation.kind != Operation::Kind::Pair) {
                hold(operation.ours + 1);
                hold(operation.ours - 1);
            }
        }
    }

    // A cursor in our paragraph of that index at its office offset.
    Reference<css::text::XTextCursor> At(std::size_t paragraph, sal_Int32 offset) const {
        Reference<css::text::XTextCursor> cursor =
            index_.TextOf(paragraph)->createTextCursorByRange(anchors_.at(paragraph)->getStart());
        for (sal_Int32 left = offset; left > 0;) {
            auto step = static_cast<sal_Int16>(std::min<sal_Int32>(left, 0x7FFF));
            cursor->goRight(step, false);
            left -= step;
        }
        return cursor;
    }

  private:
    ParagraphIndex& index_;
    std::unordered_map<std::size_t, Reference<css::text::XTextCursor>> anchors_;
};

void Apply(ParagraphIndex& index, const Anchors& anchors, const Operation& operation,
           const std::vector<VersionBlock>& ours, const std::vector<VersionBlock>& theirs) {
    const auto& paragraphs = index.Paragraphs();
    switch (operation.kind) {
        case Operation::Kind::Pair: {
            const VersionBlock& block = ours[operation.ours];
            const IndexedParagraph& paragraph = paragraphs[block.paragraph];
            for (const diff::Change& change : ChangesWithin(block, theirs[operation.theirs])) {
                Reference<css::text::XTextCursor> cursor =
                    anchors.At(block.paragraph, paragraph.OfficeOffset(change.at, true));
                if (change.insertion) {
                    const std::u32string& text = theirs[operation.theirs].text;
                    InsertCharacters(cursor,
                                     std::u32string_view(text).substr(
                                         static_cast<std::size_t>(change.bStart),
                                         static_cast<std::size_t>(change.bEnd - change.bStart)));
                } else {
                    cursor->gotoRange(
                        anchors.At(block.paragraph, paragraph.OfficeOffset(change.end, false))
                            ->getStart(),
                        true);
                    cursor->setString(rtl::OUString());
                }
            }
            break;
        }
        case Operation::Kind::Remove: {
            // The paragraph with its mark, unless a table or the end follows:
            // that mark cannot go, and an empty paragraph stays.
            const std::size_t first = ours[operation.ours].paragraph;
            Reference<css::text::XTextCursor> cursor = anchors.At(first, 0);
            const std::size_t next = operation.ours + 1;
            if (next < ours.size() && !ours[next].table) {
                cursor->gotoRange(anchors.At(ours[next].paragraph, 0)->getStart(), true);
            } else {
                cursor->goRight(static_cast<sal_Int16>(
                                    std::min<sal_Int32>(paragraphs[first].officeLength, 0x7FFF)),
                                true);
            }
            cursor->setString(rtl::OUString());
            break;
        }
        case Operation::Kind::Insert: {
            std::u32string text;
            for (std::size_t k = operation.theirs; k < operation.theirs + operation.count; ++k) {
                text += WordChar::PARAGRAPH_MARK;
                text += theirs[k].text;
            }
            if (operation.ours > 0 && !ours[operation.ours - 1].table) {
                // After our paragraph before: a mark, then each paragraph.
                const std::size_t before = ours[operation.ours - 1].paragraph;
                InsertCharacters(anchors.At(before, paragraphs[before].officeLength), text);
            } else {
                // Before our first: each paragraph, then a mark.
                InsertCharacters(anchors.At(ours.front().paragraph, 0),
                                 text.substr(1) + WordChar::PARAGRAPH_MARK);
            }
            break;
        }
    }
}

}  // namespace

void OfficeDocument::Compare(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw HostError(WordError::FILE_NOT_FOUND, "This file could not be found: " + path);
    }
    Run(
        "comparing with " + path,
        [&] {
            std::vector<VersionBlock> theirs;
            {
                OtherVersion other(connection_, std::filesystem::absolute(path).string());
                ParagraphIndex theirIndex(other.Model());
                theirs = BlocksOf(theirIndex);
            }
            const std::vector<VersionBlock> ours = BlocksOf(index_);
            if (HashesOf(ours) == HashesOf(theirs)) {
                return;
            }
            const std::vector<Operation> plan = PlanOf(ours, theirs);
            if (TouchesTables(plan, ours, theirs)) {
                throw HostError(WordError::COMMAND_FAILED,
                                "comparing versions whose tables differ is not available in "
                                "LibreOffice Writer yet");
            }
            // Writer cannot end a bookmark after the last paragraph mark: one
            // that takes in the last paragraph ends before it. When paragraphs
            // come after it, such a bookmark takes that mark in again.
            std::vector<std::string> throughEnd;
            if (!plan.empty() && plan.back().kind == Operation::Kind::Insert &&
                plan.back().ours == ours.size()) {
                for (const BookmarkInfo& bookmark : Ordered(true)) {
                    if (bookmark.end >= index_.End() - 1 && bookmark.start < bookmark.end) {
                        throughEnd.push_back(bookmark.name);
                    }
                }
            }
            {
                const Anchors anchors(index_, plan, ours);
                RecordedChanges recorded(model_);
                // From the end back: what is still to be done keeps its place.
                for (std::size_t k = plan.size(); k-- > 0;) {
                    Apply(index_, anchors, plan[k], ours, theirs);
                }
            }
            Changed();
            for (const std::string& name : throughEnd) {
                if (std::optional<BookmarkInfo> bookmark = FindBookmark(name)) {
                    SetBookmark(name, bookmark->start, bookmark->end + 1);
                }
            }
        },
        WordError::COMMAND_FAILED);
    Changed();
}

}  // namespace veln::host::office
