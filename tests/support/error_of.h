// The error a piece of work raises, caught so that a test can compare what it
// says in one expectation instead of a try block of its own.
#pragma once

#include <string>
#include <utility>

namespace veln::test {

// The number (0 for an error without one) and the text of the error raised;
// -1 and "<no error>" when the work ended normally.
struct Raised {
    long number = -1;
    std::string text = "<no error>";
};

template <typename Error, typename Work>
Raised ErrorOf(Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (const Error& error) {
        if constexpr (requires { error.Number(); }) {
            return {error.Number(), error.what()};
        } else {
            return {0, error.what()};
        }
    }
    return {};
}

}  // namespace veln::test
