// Creating elements, and loading a document's elements from its project.
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "host/ui/ui.h"
#include "host/utf8.h"
#include "host/word/application.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"

namespace veln::Elements {

namespace {

constexpr std::size_t LABEL_LENGTH = 254;
constexpr std::size_t DESCRIPTION_LENGTH = 255;
constexpr const char* OVERLAP_TITLE = "Recouvrement d'éléments";
constexpr std::int64_t MAX_LEVEL = 4;

// The new element's row. Another user may take its id between the draw
// and the insertion: the element then takes a new id (its bookmark with it)
// rather than the command failing.
void InsertRow(Context& context, std::string id, int position) {
    const std::string dbPath = utilElements::GetDbName(context);
    for (;;) {
        const Element& created = context.loadedElements.Item(position);
        try {
            dbElements::dbInsertElement(context, id, created.ElementLabel, created.numbers,
                                        created.ElementLevel);
            return;
        } catch (const db::DbError& error) {
            if (error.Number() != db::ERR_CONSTRAINT || !dbElements::dbElementExists(dbPath, id)) {
                throw;
            }
        }
        const std::string fresh = NewElementId(context);
        host::Bookmarks bookmarks = context.app.ActiveDocument()->Bookmarks();
        bookmarks.Item(id).Copy(fresh);
        bookmarks.Item(id).Delete();
        Element element = context.loadedElements.Take(position);
        element.ElementID = fresh;
        context.loadedElements.Add(std::move(element));
        position = context.loadedElements.Count();
        id = fresh;
    }
}

// Steps shared by both ways of creating: the anchor, the element, its
// numbers, marker and highlight, its row.
void Create(Context& context, std::int16_t& level, const std::string& label, bool paragraphAnchor) {
    host::Document& document = *context.app.ActiveDocument();
    std::string id = NewElementId(context);
    host::Bookmarks bookmarks = document.Bookmarks();
    if (paragraphAnchor) {
        bookmarks.Item(host::BOOKMARK_PARA).Copy(id);
    } else {
        bookmarks.Add(id, document.Selection().Range());
    }
    bookmarks.SetDefaultSorting(0);
    bookmarks.SetShowHidden(false);

    Element element;
    element.ElementID = id;
    element.ElementLevel = level;
    element.ElementLabel = label;
    element.ElementDocId = utilElements::GetDocId(context);
    context.loadedElements.Add(element);
    // The new element starts at the selection and was added last: it wins.
    int position = FindElement(context, Current);
    if (position == 0) {
        position = IndexOfElement(context, id);
    }
    computeLevel(context, position, level);
    const Element& created = context.loadedElements.Item(position);
    // Marker and highlight whatever the document's display settings.
    created.ShowNumber(context);
    created.Highlight(context);
    InsertRow(context, id, position);
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
}

// A level or number of a stored row, which must lie in [least, most]: a value
// outside is a damaged row, refused before it could become text in the
// document (a negative number would give a marker nothing removes).
std::int16_t StoredValue(const dbElements::StoredElement& row, const std::string& field,
                         std::optional<std::int64_t> stored, std::int16_t missing,
                         std::int64_t least, std::int64_t most) {
    std::int64_t value = stored.value_or(missing);
    if (value < least || value > most) {
        throw db::DbError(db::ERR_CORRUPT, "the project database is damaged: element " + row.id +
                                               " holds " + std::to_string(value) + " in " + field +
                                               ", outside " + std::to_string(least) + " to " +
                                               std::to_string(most));
    }
    return static_cast<std::int16_t>(value);
}

// The description the user types, offered again with blanks in place of any
// control character until it holds none; "" when cancelled.
std::string AskLabel(Context& context, std::string proposed) {
    for (;;) {
        std::string answer =
            context.ui.InputBox(context.LoadText(StringId::ELEMENT_DESCRIPTION_PROMPT),
                                context.LoadText(StringId::ELEMENT_DESCRIPTION_TITLE), proposed);
        if (!host::HoldsControlCharacters(answer)) {
            return answer;
        }
        context.ui.MsgBox(ControlCharactersText(context), host::MsgBoxStyle::vbExclamation);
        proposed = host::BlankControlCharacters(answer);
    }
}

}  // namespace

bool CreateElement(Context& context, std::int16_t& level) {
    host::Document* document = context.app.ActiveDocument();
    // Checked as the commands check it, before any question: a document
    // without a project has nowhere to keep an element.
    if (document == nullptr || utilElements::GetDocId(context).empty() ||
        utilElements::GetDbName(context).empty()) {
        return false;
    }
    host::Selection selection = document->Selection();
    std::string label;
    if (selection.Type() == host::wdSelectionIP) {
        label = document->Bookmarks().Item(host::BOOKMARK_PARA).Range().Text();
        selection.EndOf(host::WdUnits::wdParagraph, host::WdMovementType::wdExtend);
        selection.StartOf(host::WdUnits::wdParagraph, host::WdMovementType::wdExtend);
    } else {
        label = selection.Range().Text();
    }
    label = host::CleanString(host::FirstCharacters(label, LABEL_LENGTH));

    int enclosing = selection.BookmarkID();
    host::Bookmarks bookmarks = document->Bookmarks();
    if (enclosing >= 1 && enclosing <= bookmarks.Count() &&
        IsElementBookmark(bookmarks.Item(enclosing).Name())) {
        using namespace host::MsgBoxStyle;
        if (context.ui.MsgBox(context.LoadText(StringId::CREATE_OVER_ANOTHER),
                              vbOKCancel + vbExclamation + vbDefaultButton2,
                              OVERLAP_TITLE) != host::MsgBoxResult::vbOK) {
            return false;
        }
    }
    std::string answer = AskLabel(context, SanitizeLabel(label));
    if (answer.empty()) {
        return false;
    }
    // The label column holds 255 characters: a longer description is cut
    // rather than left to fail after the bookmark exists.
    Create(context, level, host::FirstCharacters(answer, DESCRIPTION_LENGTH),
           selection.Type() == host::wdSelectionIP);
    return true;
}

void CreateElementFromSelection(Context& context, std::int16_t level, const std::string& label) {
    if (context.app.ActiveDocument() != nullptr) {
        Create(context, level, host::FirstCharacters(SanitizeLabel(label), DESCRIPTION_LENGTH),
               false);
    }
}

void LoadDocumentElements(Context& context, const std::string& dbPath, const std::string& docId) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        return;
    }
    db::Database database = schema::OpenProjectDatabase(dbPath);
    host::ScreenUpdatingOff frozen(context.app);
    std::vector<std::string> gone;
    for (const dbElements::StoredElement& row : dbElements::StoredElements(database, docId)) {
        if (!document->FindBookmark(row.id)) {
            gone.push_back(row.id);
            continue;
        }
        Element element;
        element.ElementID = row.id;
        element.ElementLevel = StoredValue(row, "E_level", row.level, 1, 1, MAX_LEVEL);
        element.ElementLabel = row.label;
        for (std::size_t k = 0; k < 4; ++k) {
            element.numbers[k] = StoredValue(row, "E_Number" + std::to_string(k + 1),
                                             row.numbers[k], 0, 0, INT16_MAX);
        }
        element.ElementDocId = docId;
        // A document loaded again in this run: one element per identifier,
        // holding the row's values.
        if (int loaded = context.loadedElements.IndexOf(row.id); loaded != 0) {
            context.loadedElements.Item(loaded) = element;
        } else {
            context.loadedElements.Add(element);
        }
        context.app.DoEvents();
    }
    if (!gone.empty()) {
        dbElements::RetryWhileLocked(context, [&] {
            db::Transaction transaction(database);
            for (const auto& id : gone) {
                dbElements::MarkGone(database, id);
            }
            transaction.Commit();
        });
    }
    // Markers and highlight as the document's settings say: showing the
    // numbers takes the old markers away first, and highlighting covers
    // what clearing the highlight would, so each pass is made once.
    if (utilElements::GetDocVariable(context, VARDOC_NUMBERS) == "1") {
        ShowAllNumbers(context);
    } else {
        HideAllNumbers(context);
    }
    if (utilElements::GetDocVariable(context, VARDOC_HIGHLIGHT) == "1") {
        HighlightAll(context);
    } else {
        UnHighlightAll(context);
    }
}

}  // namespace veln::Elements
