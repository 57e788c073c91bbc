#include "corpus.h"

#include <cstdlib>

namespace veln::test {

std::filesystem::path CorpusDir() {
    const char* chosen = std::getenv("VELN_CORPUS");  // NOLINT(concurrency-mt-unsafe)
    return chosen != nullptr && *chosen != '\0' ? std::filesystem::path(chosen)
                                                : std::filesystem::path(VELN_CORPUS_DIR);
}

std::string MissingCorpus() {
    std::filesystem::path corpus = CorpusDir();
    return std::filesystem::is_directory(corpus)
               ? std::string()
               : "no corpus of real documents at " + corpus.string();
}

bool UnderCi() {
    return std::getenv("CI") != nullptr;  // NOLINT(concurrency-mt-unsafe)
}

}  // namespace veln::test
