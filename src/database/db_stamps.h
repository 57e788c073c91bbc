// The statements on the tracking tables: what each element's text was when
// its document was last read (ElementStamps), and what both ends of each link
// were when it was last reviewed (LinkReviews). A link whose end has been
// read since, with another fingerprint, is suspect. A link made is reviewed
// at once; an end unread when its link was reviewed takes its first reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/db/database.h"

namespace veln::dbStamps {

// Texts are kept cut to this many characters; fingerprints are of the whole.
inline constexpr std::size_t STORED_TEXT_CHARACTERS = 4000;

// An element's text as read from its document, and its fingerprint.
struct Reading {
    std::string elementId;
    std::string fingerprint;
    std::string text;
};

// Records the readings of the elements of document docId at now, in one
// transaction (the tracking tables made first when the project lacks them).
// The document's links reviewed before an end was ever read take that end's
// reading, and its live links never reviewed are reviewed by user.
void Record(const db::Database& database, const std::string& docId,
            const std::vector<Reading>& readings, const std::string& now, const std::string& user);

// A new link reviewed as its ends read now (none read yet: null). Inside the
// caller's transaction; the tracking tables exist.
void ReviewNewLink(const db::Database& database, std::int64_t linkId, const std::string& now,
                   const std::string& user);

// Reviews each live link given as its ends read now, in one transaction;
// returns how many were reviewed (a link unknown or undone is not).
int Review(const db::Database& database, const std::vector<std::int64_t>& links,
           const std::string& now, const std::string& user);

// One end of a link: as reviewed, and as last read.
struct EndState {
    std::string elementId;
    std::string docId;
    std::optional<std::string> reviewed;  // fingerprint when last reviewed
    std::optional<std::string> reviewedText;
    std::optional<std::string> current;  // fingerprint when last read
    std::optional<std::string> currentText;
    std::optional<std::string> readDate;

    // Read since its review, with another text.
    bool Changed() const { return reviewed && current && *reviewed != *current; }
};

struct LinkState {
    std::int64_t link = 0;  // L_Autonum
    EndState source;
    EndState target;
    std::optional<std::string> reviewDate;
    std::string reviewUser;

    bool Suspect() const { return source.Changed() || target.Changed(); }
};

// The live links between live elements, in the order they were made, with
// an end in one of docIds (every document when empty); the texts only when
// asked. A project without the tracking tables has every link unread.
std::vector<LinkState> LinkStates(const db::Database& database,
                                  const std::vector<std::string>& docIds, bool texts);

// The elements (as stored: L_Id1, L_Id2) that suspect live links join, for
// links with both ends in the two documents; read without the links that
// are sound, for the outputs that mark the suspect ones apart.
std::vector<std::pair<std::string, std::string>> SuspectPairs(const db::Database& database,
                                                              const std::string& firstDocId,
                                                              const std::string& secondDocId);

}  // namespace veln::dbStamps
