// A project of three linked documents (requirements, design, tests), with
// element and link rows written straight into its database, for the link
// dialog, the links tree and its export.
#pragma once

#include <cstdint>
#include <string>

#include "world.h"

namespace veln::test {

inline constexpr const char* REQUIREMENTS = "DOCREQ01";
inline constexpr const char* DESIGN = "DOCDES02";
inline constexpr const char* TESTS = "DOCTST03";

class LinkedProject : public World {
  public:
    // The three documents, saved in the folder and linked; the tests' one
    // stays active.
    LinkedProject();

    // An element row numbered n1.n2.0.0.
    void AddElement(const std::string& id, const std::string& docId, std::int16_t n1,
                    std::int16_t n2, const std::string& label, bool deleted = false);
    // A link row from source to target, live unless deleted.
    void AddLink(const std::string& sourceId, const std::string& sourceDocId,
                 const std::string& targetId, const std::string& targetDocId, bool deleted = false);
    // The rows of a query, cells joined by "|" and rows by ",".
    std::string Rows(const std::string& sql) const;
    // The stored path of a document of the project.
    std::string PathOf(const std::string& docId) const;
};

}  // namespace veln::test
