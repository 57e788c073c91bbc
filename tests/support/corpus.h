// The shared corpus of real documents, which lies beside the repository
// (VELN_CORPUS names another folder). A clone without it still passes its
// tests: those that read it skip, except under CI, which must have it.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace veln::test {

std::filesystem::path CorpusDir();
// "" when the corpus is there, else what is missing.
std::string MissingCorpus();
bool UnderCi();

}  // namespace veln::test

// Ends the test (or the fixture's SetUp) when the corpus is absent: skipped
// outside CI, failed under it.
#define VELN_REQUIRE_CORPUS()                                         \
    do {                                                              \
        const std::string vmissing = ::veln::test::MissingCorpus();   \
        if (!vmissing.empty()) {                                      \
            if (::veln::test::UnderCi()) {                            \
                FAIL() << vmissing << " (CI runs every corpus test)"; \
            }                                                         \
            GTEST_SKIP() << vmissing;                                 \
        }                                                             \
    } while (false)
