// Moving from element to element in reading order, and deleting elements.
#include "database/db_elements.h"
#include "database/doc_variables.h"
#include "elements/elements.h"
#include "host/ui/ui.h"
#include "host/word/bookmarks.h"
#include "host/word/range.h"

namespace veln::Elements {

namespace {

host::Document* Active(Context& context) {
    return context.app.ActiveDocument();
}

// Takes the element out of the loaded ones; that takes its marker, highlight
// and bookmark out of the document.
void RemoveElementAt(Context& context, int position) {
    Element element = context.loadedElements.Take(position);
    element.HideNumber(context);
    element.UnHighlight(context);
    host::Document* document = Active(context);
    if (document != nullptr && document->Bookmarks().Exists(element.ElementID)) {
        document->Bookmarks().Item(element.ElementID).Delete();
    }
}

void GoTo(Context& context, int mode) {
    int position = FindElement(context, mode);
    if (position != 0) {
        GoToElement(context, context.loadedElements.Item(position).ElementID);
    }
}

}  // namespace

int FindElement(Context& context, int mode) {
    host::Document* document = Active(context);
    if (document == nullptr || mode < Next || mode > Current) {
        return 0;
    }
    const std::string docId = utilElements::GetDocId(context);
    const long caret = document->SelectionStart();
    const long end = document->Bookmarks().Item(host::BOOKMARK_END_OF_DOC).Range().Start();
    const int count = document->BookmarkCount(false);
    // The document's bookmarks are in the order of their starts: the walk
    // begins where the mode looks and stops at the first element's start.
    const bool forwards = mode != Previous && mode != Last;
    int from = 1;
    switch (mode) {
        case Next:
            from = document->FirstBookmarkFrom(caret + 1, false);
            break;
        case Previous:
            from = document->FirstBookmarkFrom(caret, false) - 1;
            break;
        case Last:
            from = count;
            break;
        case Current:
            from = document->FirstBookmarkFrom(caret, false);
            break;
        default:
            break;
    }
    const LoadedElements& loaded = context.loadedElements;
    int found = 0;
    long foundStart = 0;
    for (int index = from; index >= 1 && index <= count; index += forwards ? 1 : -1) {
        const host::BookmarkInfo bookmark = document->BookmarkItem(index, false);
        // An element may start at the end of the document itself (an empty
        // last paragraph): Next and First reach it too, as Last does.
        const bool beyond = (mode == Current && bookmark.start != caret) ||
                            ((mode == Next || mode == First) && bookmark.start > end);
        if (beyond || (found != 0 && bookmark.start != foundStart)) {
            break;
        }
        const int position = loaded.IndexOf(bookmark.name);
        if (position == 0 || loaded.Item(position).ElementDocId != docId) {
            continue;
        }
        // Among elements of one start, the first loaded; the last for Current.
        if (found == 0 || (mode == Current ? position > found : position < found)) {
            found = position;
        }
        foundStart = bookmark.start;
    }
    return found;
}

void GoNextElement(Context& context) {
    GoTo(context, Next);
}
void GoPreviousElement(Context& context) {
    GoTo(context, Previous);
}
void GoFirstElement(Context& context) {
    GoTo(context, First);
}
void GoLastElement(Context& context) {
    GoTo(context, Last);
}

void GoToElement(Context& context, const std::string& id) {
    host::Document* document = Active(context);
    if (id.empty() || document == nullptr) {
        return;
    }
    if (document->Bookmarks().Exists(id)) {
        document->Bookmarks().Item(id).Range().Select();
    } else {
        MarkElementDeleted(context, id);
    }
}

bool IsFirstElement(Context& context) {
    return FindElement(context, First) == IndexOfElement(context, CurrentElementId(context));
}

bool IsLastElement(Context& context) {
    return FindElement(context, Last) == IndexOfElement(context, CurrentElementId(context));
}

void MarkElementDeleted(Context& context, const std::string& id) {
    dbElements::dbMarkDeleteElement(context, utilElements::GetDbName(context), id);
    int position = IndexOfElement(context, id);
    if (position != 0) {
        RemoveElementAt(context, position);
    }
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
}

void MarkCurrentElementDeleted(Context& context) {
    std::string id = CurrentElementId(context);
    if (id.empty()) {
        return;
    }
    using namespace host::MsgBoxStyle;
    if (context.ui.MsgBox(context.LoadText(StringId::CONFIRM_MARK_DELETED), vbOKCancel + vbQuestion,
                          context.LoadText(StringId::DELETE_ELEMENT_TITLE)) ==
        host::MsgBoxResult::vbOK) {
        MarkElementDeleted(context, id);
        utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
    }
}

void RemoveDocumentElements(Context& context, bool markDeleted) {
    const std::string docId = utilElements::GetDocId(context);
    const std::string dbPath = utilElements::GetDbName(context);
    int position = 1;
    while (position <= context.loadedElements.Count()) {
        const Element& element = context.loadedElements.Item(position);
        if (element.ElementDocId != docId) {
            ++position;
            continue;
        }
        if (markDeleted) {
            dbElements::dbMarkDeleteElement(context, dbPath, element.ElementID);
        }
        // The next element takes this position.
        RemoveElementAt(context, position);
    }
    if (host::Document* document = Active(context)) {
        host::Bookmarks bookmarks = document->Bookmarks();
        for (int k = bookmarks.Count(); k >= 1; --k) {
            host::Bookmark bookmark = bookmarks.Item(k);
            if (IsElementBookmark(bookmark.Name())) {
                bookmark.Delete();
            }
        }
    }
    utilElements::SetDocVariable(context, VARDOC_CHANGEELEM, "1");
}

int CheckDocumentElements(Context& context) {
    host::Document* document = Active(context);
    if (document == nullptr) {
        return 0;
    }
    const std::string docId = utilElements::GetDocId(context);
    std::vector<std::string> ids;
    for (int position = 1; position <= context.loadedElements.Count(); ++position) {
        const Element& element = context.loadedElements.Item(position);
        if (element.ElementDocId == docId) {
            ids.push_back(element.ElementID);
        }
    }
    int count = 0;
    for (const auto& id : ids) {
        if (document->Bookmarks().Exists(id)) {
            ++count;
        } else {
            MarkElementDeleted(context, id);
        }
    }
    return count;
}

}  // namespace veln::Elements
