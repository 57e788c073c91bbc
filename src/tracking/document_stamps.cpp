#include "tracking/document_stamps.h"

#include "database/doc_variables.h"
#include "database/schema.h"
#include "elements/elements.h"
#include "tracking/fingerprint.h"

namespace veln::tracking {

std::vector<dbStamps::Reading> ReadElements(const host::Document& document) {
    std::vector<dbStamps::Reading> readings;
    const int count = document.BookmarkCount(true);
    for (int index = 1; index <= count; ++index) {
        const host::BookmarkInfo bookmark = document.BookmarkItem(index, true);
        if (!Elements::IsElementBookmark(bookmark.name)) {
            continue;
        }
        std::string text = ReaderText(document.TextOf(bookmark.start, bookmark.end));
        std::string fingerprint = Fingerprint(text);
        readings.push_back({bookmark.name, std::move(fingerprint), std::move(text)});
    }
    return readings;
}

void StampActiveDocument(DocumentContext& context) {
    host::Document* document = context.app.ActiveDocument();
    if (document == nullptr) {
        return;
    }
    const std::string dbName = utilElements::GetDbName(context);
    const std::string docId = utilElements::GetDocId(context);
    const bool reachable = db::Database::IsServerName(dbName) || context.system.FileExists(dbName);
    if (dbName.empty() || docId.empty() || !reachable) {
        return;
    }
    dbStamps::Record(schema::OpenProjectDatabase(dbName), docId, ReadElements(*document),
                     context.system.Now(), context.system.Environment("USER"));
}

}  // namespace veln::tracking
