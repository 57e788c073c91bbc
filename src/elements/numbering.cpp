// Numbers of elements, renumbering in reading order, and what the document
// shows of them: markers, highlight, bookmark brackets.
#include <algorithm>
#include <map>
#include <optional>

#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "host/ui/ui.h"
#include "host/word/application.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"

namespace veln::Elements {

namespace {

using Numbers = std::array<std::int16_t, 4>;

// The greatest numbers given so far under each parent, for one document.
class NumberTable {
  public:
    // The numbers of a new element of level under the parent numbers of previous.
    Numbers Next(std::int16_t level, const Numbers& previous) const {
        Numbers numbers{};
        for (int k = 0; k + 1 < level; ++k) {
            numbers[static_cast<std::size_t>(k)] = previous[static_cast<std::size_t>(k)];
        }
        auto key = Key(numbers, level - 1);
        auto found = greatest_.find(key);
        numbers[static_cast<std::size_t>(level) - 1] =
            static_cast<std::int16_t>((found == greatest_.end() ? 0 : found->second) + 1);
        return numbers;
    }
    void Note(const Numbers& numbers) {
        for (int depth = 0; depth < 4; ++depth) {
            std::int16_t& greatest = greatest_[Key(numbers, depth)];
            greatest = std::max(greatest, numbers[static_cast<std::size_t>(depth)]);
        }
    }

  private:
    // The first depth numbers, then the depth itself.
    static std::array<std::int16_t, 5> Key(const Numbers& numbers, int depth) {
        std::array<std::int16_t, 5> key{};
        for (int k = 0; k < depth; ++k) {
            key[static_cast<std::size_t>(k)] = numbers[static_cast<std::size_t>(k)];
        }
        key[4] = static_cast<std::int16_t>(depth);
        return key;
    }
    std::map<std::array<std::int16_t, 5>, std::int16_t> greatest_;
};

template <typename Action>
void ForEachLoaded(Context& context, Action action) {
    LoadedElements& loaded = context.loadedElements;
    for (int position = 1; position <= loaded.Count(); ++position) {
        action(loaded.Item(position));
        // Long walks leave the word processor responsive.
        context.app.DoEvents();
    }
}

}  // namespace

void computeLevel(Context& context, int position, std::int16_t& level) {
    const std::string docId = utilElements::GetDocId(context);
    int previous = FindElement(context, Previous);
    Element& element = context.loadedElements.Item(position);
    if (previous == 0 && level >= 2) {
        element.ElementLevel = 1;
        level = 1;
    }
    level = std::clamp<std::int16_t>(level, 1, 4);
    // Every element of this document, its bookmark there or not, the element itself too.
    NumberTable table;
    for (int p = 1; p <= context.loadedElements.Count(); ++p) {
        const Element& candidate = context.loadedElements.Item(p);
        if (candidate.ElementDocId == docId) {
            table.Note(candidate.numbers);
        }
    }
    Numbers parents = previous == 0 ? Numbers{} : context.loadedElements.Item(previous).numbers;
    element.numbers = table.Next(level, parents);
}

void RenumberElements(Context& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        return;
    }
    const std::string docId = utilElements::GetDocId(context);
    // Reading order, as Next walks it from First: one element for each start,
    // the first met among those that share it, up to the end of the document.
    auto readingOrder = [&] {
        const long end = document->StoryEnd() - 1;
        std::vector<std::pair<long, int>> starts;
        for (int position = 1; position <= context.loadedElements.Count(); ++position) {
            const Element& element = context.loadedElements.Item(position);
            if (element.ElementDocId != docId) {
                continue;
            }
            auto bookmark = document->FindBookmark(element.ElementID);
            if (bookmark && bookmark->start <= end) {
                starts.emplace_back(bookmark->start, position);
            }
        }
        std::sort(starts.begin(), starts.end());
        std::vector<int> order;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            if (i == 0 || starts[i].first != starts[i - 1].first) {
                order.push_back(starts[i].second);
            }
        }
        return order;
    };
    // A document without elements is left as it is.
    if (readingOrder().empty()) {
        return;
    }
    // One connection and one transaction serve the whole renumbering.
    db::Database database = schema::OpenProjectDatabase(utilElements::GetDbName(context));
    std::optional<db::Transaction> transaction;
    dbElements::RetryWhileLocked(context, [&] { transaction.emplace(database); });

    HideAllNumbers(context);
    // Only this document's numbers start again: other open documents keep theirs.
    for (int position = 1; position <= context.loadedElements.Count(); ++position) {
        Element& element = context.loadedElements.Item(position);
        if (element.ElementDocId == docId) {
            element.numbers = {};
        }
    }
    NumberTable table;
    std::vector<int> order = readingOrder();
    std::vector<dbElements::ElementUpdate> updates;
    updates.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        Element& element = context.loadedElements.Item(order[i]);
        // The first is numbered as a level-1 element without changing its level.
        std::int16_t level =
            i == 0 ? std::int16_t{1} : std::clamp<std::int16_t>(element.ElementLevel, 1, 4);
        Numbers previous = i == 0 ? Numbers{} : context.loadedElements.Item(order[i - 1]).numbers;
        element.numbers = table.Next(level, previous);
        table.Note(element.numbers);
        updates.push_back(
            {element.ElementID, element.ElementLabel, element.numbers, element.ElementLevel});
    }
    context.app.DoEvents();
    dbElements::dbUpdateElements(context, updates, database);
    dbElements::RetryWhileLocked(context, [&] { transaction->Commit(); });
    ShowAllNumbers(context);
    GoFirstElement(context);
}

void RenumberElementsCommand(Context& context) {
    using namespace host::MsgBoxStyle;
    if (context.ui.MsgBox(context.LoadText(StringId::IRREVERSIBLE_CONTINUE),
                          vbOKCancel + vbExclamation + vbDefaultButton2,
                          context.LoadText(StringId::RENUMBER_TITLE)) == host::MsgBoxResult::vbOK) {
        RenumberElements(context);
        HighlightAll(context);
    }
}

void ResetElementNumbers(Context& context) {
    ForEachLoaded(context, [](Element& element) { element.numbers = {}; });
}

void ShowAllNumbers(Context& context) {
    host::ScreenUpdatingOff frozen(context.app);
    // Markers already shown (renumbering shows them whatever the document's
    // setting says) go first: each element shows one marker, never two.
    HideAllNumbers(context);
    ForEachLoaded(context, [&](Element& element) { element.ShowNumber(context); });
}

void HideAllNumbers(Context& context) {
    host::ScreenUpdatingOff frozen(context.app);
    ForEachLoaded(context, [&](Element& element) { element.HideNumber(context); });
}

void HighlightAll(Context& context) {
    ForEachLoaded(context, [&](Element& element) { element.Highlight(context); });
}

void UnHighlightAll(Context& context) {
    ForEachLoaded(context, [&](Element& element) { element.UnHighlight(context); });
}

void ToggleNumbers(Context& context) {
    host::ScreenUpdatingOff frozen(context.app);
    if (utilElements::GetDocVariable(context, VARDOC_NUMBERS) == "0") {
        ShowAllNumbers(context);
        utilElements::SetDocVariable(context, VARDOC_NUMBERS, "1");
    } else {
        HideAllNumbers(context);
        utilElements::SetDocVariable(context, VARDOC_NUMBERS, "0");
    }
}

void ToggleDelimiters(Context& context) {
    if (host::Document* document = context.app.ActiveDocument()) {
        document->ShowBookmarks = !document->ShowBookmarks;
    }
}

void SetHighlightColour(Context& context, std::int16_t colour) {
    context.elementColour = colour;
    if (colour == 0) {
        UnHighlightAll(context);
    } else {
        HighlightAll(context);
    }
    utilElements::SetDocVariable(context, HIGHLIGHT_COLOR, " " + std::to_string(colour));
}

}  // namespace veln::Elements
