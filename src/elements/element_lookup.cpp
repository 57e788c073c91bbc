// Lookups of elements, their labels and new identifiers.
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "database/random_id.h"
#include "elements/elements.h"
#include "host/utf8.h"
#include "host/word/application.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"
#include "host/word/selection.h"
#include "settings/language.h"

namespace veln::Elements {

namespace {

constexpr std::size_t LABEL_LENGTH = 254;
constexpr std::int16_t ID_LENGTH = 8;
constexpr std::string_view ELEMENT_PREFIX = "ELEM";

}  // namespace

bool IsElementBookmark(std::string_view name) {
    return name.starts_with(ELEMENT_PREFIX);
}

std::string CurrentElementId(Context& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr || document->Bookmarks().Count() == 0) {
        return {};
    }
    int id = document->Selection().BookmarkID();
    if (id == 0) {
        return {};
    }
    // The first bookmark in order whose start has that same enclosing
    // bookmark, and whose name is an element's. Only bookmarks starting
    // within the enclosing one can have it.
    host::Bookmarks bookmarks = document->Bookmarks();
    host::Range enclosing = bookmarks.Item(id).Range();
    for (int k = 1; k <= bookmarks.Count(); ++k) {
        host::Bookmark bookmark = bookmarks.Item(k);
        host::Range range = bookmark.Range();
        if (range.Start() < enclosing.Start()) {
            continue;
        }
        if (range.Start() > enclosing.End()) {
            break;
        }
        if (range.BookmarkID() == id && IsElementBookmark(bookmark.Name())) {
            return bookmark.Name();
        }
    }
    return {};
}

int IndexOfElement(Context& context, const std::string& id) {
    return id.empty() ? 0 : context.loadedElements.IndexOf(id);
}

ElementInfo GetElementInfo(Context& context, const std::string& id) {
    int position = IndexOfElement(context, id);
    if (position == 0) {
        return {};
    }
    const Element& element = context.loadedElements.Item(position);
    return {element.ElementNumber(), element.ElementLabel, element.ElementLevel};
}

void SetElementLabel(Context& context, int position, const std::string& label) {
    context.loadedElements.Item(position).ElementLabel = label;
}

void SetElementLevel(Context& context, int position, std::int16_t level) {
    context.loadedElements.Item(position).ElementLevel = level;
}

std::string SanitizeLabel(const std::string& text) {
    std::string label = host::BlankControlCharacters(text);
    std::size_t first = label.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return label.substr(first, label.find_last_not_of(' ') - first + 1);
}

std::string ControlCharactersText(const CoreContext& context) {
    return context.language.offset == FRENCH_OFFSET
               ? "Le libellé contenait des caractères de contrôle, qu'un libellé ne peut pas "
                 "contenir : ce sont maintenant des blancs. Vérifiez-le, puis validez-le de "
                 "nouveau."
               : "The label held control characters, which a label cannot hold: they are now "
                 "blanks. Check it, then confirm it again.";
}

std::string LabelFromDocument(Context& context) {
    host::Document& document = *context.app.ActiveDocument();
    host::Selection selection = document.Selection();
    std::string source = selection.Type() == host::wdSelectionIP
                             ? document.Bookmarks().Item(host::BOOKMARK_PARA).Range().Text()
                             : selection.Range().Text();
    return SanitizeLabel(host::CleanString(host::FirstCharacters(source, LABEL_LENGTH)));
}

std::string NewElementId(Context& context) {
    host::Document& document = *context.app.ActiveDocument();
    const std::string dbPath = utilElements::GetDbName(context);
    std::string id;
    do {
        id = std::string(ELEMENT_PREFIX) + dbElements::RandomId(ID_LENGTH);
    } while (document.Bookmarks().Exists(id) || dbElements::dbElementExists(dbPath, id));
    return id;
}

}  // namespace veln::Elements
