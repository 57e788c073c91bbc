// One of many users writing to one project at once, as the concurrency test
// and benchmark start twenty of them. For a bounded time it creates elements
// in a document of its own, links each new element to an element of the
// project (often another user's), and edits a value of an element of the
// project, each a command as the program runs it; a lock that does not clear
// is answered Retry, as a patient user does; a command refused with the
// program's message is noted, and the user goes on. Then it writes what it
// did:
//   created ID | linked SOURCE TARGET | valued ID | ms MILLISECONDS |
//   refused MESSAGE | retried N
// veln_test_concurrent_writer PROJECT FOLDER SECONDS PROPERTY_ID OUTPUT
#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "database/db_documents.h"
#include "database/db_element_values.h"
#include "database/db_elements.h"
#include "database/db_links.h"
#include "database/doc_variables.h"
#include "database/locked_database.h"
#include "database/schema.h"
#include "elements/context.h"
#include "elements/elements.h"
#include "host/docx/docx_application.h"
#include "host/system/posix_system.h"
#include "host/ui/scripted_ui.h"
#include "host/word/range.h"
#include "host/word/selection.h"

namespace {

using namespace veln;
using Clock = std::chrono::steady_clock;

// The element ids one document holds, enough for the whole run.
constexpr int PARAGRAPHS = 2000;
// The newest elements of the first document are the ones every user edits
// values of, so that two users often store an element's value at once.
constexpr std::size_t SHARED_ELEMENTS = 3;

// A user who answers Retry to a lock and is told nothing else.
class PatientUi : public host::ScriptedUi {
  public:
    int MsgBox(const std::string& prompt, int /*flags*/, const std::string& title) override {
        if (title == dbElements::LOCKED_TITLE) {
            ++retried;
            return host::MsgBoxResult::vbRetry;
        }
        throw std::runtime_error("unexpected message: " + prompt);
    }
    int retried = 0;
};

class Writer {
  public:
    Writer(std::string project, const std::string& folder, std::int64_t propertyId)
        : project_(std::move(project)), propertyId_(propertyId), random_(std::random_device{}()) {
        host::Document& document = app_.AddDocument();
        std::string text = "Requirement 1";
        for (int i = 2; i <= PARAGRAPHS; ++i) {
            text += "\rRequirement " + std::to_string(i);
        }
        document.Content().InsertAfter(text);
        document.SaveAs(folder + "/writer.docx");
        utilElements::SetDocVariable(context_, VARDOC_DB_NAME, project_);
        docId_ = dbElements::dbInsertDocument(context_, project_, "writer");
        if (docId_.empty()) {
            throw std::runtime_error("the document could not be linked to " + project_);
        }
        utilElements::SetDocVariable(context_, VARDOC_DOC_ID, docId_);
    }

    void Run(Clock::time_point until, std::ostream& out) {
        host::Document& document = *app_.ActiveDocument();
        long at = 0;
        for (int i = 1; i <= PARAGRAPHS && Clock::now() < until; ++i) {
            auto [start, end] = document.ParagraphAt(at);
            at = end;
            document.Selection().SetRange(start, end - 1);
            const std::string id = Timed(out, [&] {
                Elements::CreateElementFromSelection(context_, 1,
                                                     "Requirement " + std::to_string(i));
                return context_.loadedElements.Item(context_.loadedElements.Count()).ElementID;
            });
            if (id.empty()) {
                continue;
            }
            out << "created " << id << "\n";
            if (const std::string target = Timed(out, [&] { return Link(id); }); !target.empty()) {
                out << "linked " << id << " " << target << "\n";
            }
            if (const std::string valued = Timed(out, [&] { return StoreValue(id, i); });
                !valued.empty()) {
                out << "valued " << valued << "\n";
            }
        }
        out << "retried " << ui_.retried << "\n";
    }

  private:
    // What command did, "" when it did nothing or was refused.
    template <typename Command>
    std::string Timed(std::ostream& out, Command command) {
        const Clock::time_point started = Clock::now();
        std::string result;
        try {
            result = command();
        } catch (const db::DbError& error) {
            out << "refused " << error.Description() << "\n";
        }
        out << "ms " << std::chrono::duration<double, std::milli>(Clock::now() - started).count()
            << "\n";
        return result;
    }

    // As the link dialog does: the documents, the elements of one, a link
    // from the new element to one of them. "" when no other element is live.
    std::string Link(const std::string& source) {
        db::Database database = schema::OpenProjectDatabase(project_);
        std::vector<dbDocuments::DocumentRow> documents = dbDocuments::All(database);
        const dbDocuments::DocumentRow& other = documents[Draw(documents.size())];
        std::vector<dbElements::NumberedElement> elements =
            dbElements::LiveElements(database, other.id);
        if (elements.empty() || (elements.size() == 1 && elements.front().id == source)) {
            return {};
        }
        std::string target = source;
        while (target == source) {
            target = elements[Draw(elements.size())].id;
        }
        dbElements::RetryWhileLocked(context_, [&] {
            dbLinks::Link(database, {source, docId_, other.id}, {target}, context_.system.Now(),
                          "writer");
        });
        return target;
    }

    // As the element editor saves: one value, in one transaction, of one
    // of the newest elements of the first document (of the new element while
    // that document has none), which other users are storing a first value
    // of at the same moment.
    std::string StoreValue(const std::string& created, int round) {
        db::Database database = schema::OpenProjectDatabase(project_);
        const std::string first = dbDocuments::All(database).front().id;
        std::vector<dbElements::NumberedElement> elements =
            dbElements::LiveElements(database, first);
        const std::size_t newest = std::min(elements.size(), SHARED_ELEMENTS);
        std::string id =
            elements.empty() ? created : elements[elements.size() - 1 - Draw(newest)].id;
        dbElements::RetryWhileLocked(context_, [&] {
            db::Transaction transaction(database);
            dbElementValues::ValueWriter(database).Store(
                {id, propertyId_, docId_ + " " + std::to_string(round)});
            transaction.Commit();
        });
        return id;
    }

    std::size_t Draw(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

    PatientUi ui_;
    host::PosixSystem system_;
    host::docx::DocxApplication app_;
    Context context_{ui_, system_, app_};
    std::string project_;
    std::int64_t propertyId_;
    std::string docId_;
    std::mt19937_64 random_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr
            << "usage: veln_test_concurrent_writer PROJECT FOLDER SECONDS PROPERTY_ID OUTPUT\n";
        return 2;
    }
    try {
        Writer writer(argv[1], argv[2], std::stoll(argv[4]));
        std::ofstream out(argv[5]);
        writer.Run(Clock::now() + std::chrono::milliseconds(std::stoll(argv[3]) * 1000), out);
        return out.good() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "veln_test_concurrent_writer: " << error.what() << "\n";
        return 1;
    }
}
