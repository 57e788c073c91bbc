#include "addin/operations.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace veln::addin {

namespace {

// Every table joined, in order of name.
std::vector<Operation> AllOperations() {
    std::vector<Operation> all;
    for (auto table : {DatabaseOperations, ElementOperations, PropertyOperations,
                       TraceabilityOperations, OutputOperations, VersionOperations}) {
        auto entries = table();
        all.insert(all.end(), std::make_move_iterator(entries.begin()),
                   std::make_move_iterator(entries.end()));
    }
    std::sort(all.begin(), all.end(),
              [](const Operation& a, const Operation& b) { return a.name < b.name; });
    return all;
}

// The word of parameters at index.
std::string_view ParameterName(std::string_view parameters, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t word = 0; at < parameters.size(); ++word) {
        std::size_t end = std::min(parameters.find(' ', at), parameters.size());
        if (word == index) {
            return parameters.substr(at, end - at);
        }
        at = end + 1;
    }
    return "argument";
}

}  // namespace

long Arguments::Number(std::size_t index, long least, long most) const {
    const std::string& text = values_.at(index);
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < least ||
        value > most) {
        Fail(index, "a whole number from " + std::to_string(least) + " to " + std::to_string(most));
    }
    return value;
}

bool Arguments::Boolean(std::size_t index) const {
    const std::string& text = values_.at(index);
    if (text != "True" && text != "False") {
        Fail(index, "True or False");
    }
    return text == "True";
}

void Arguments::Fail(std::size_t index, const std::string& what) const {
    throw UsageError(std::string(operation_) + ": " +
                     std::string(ParameterName(parameters_, index)) + " must be " + what +
                     ", not \"" + values_.at(index) + "\"");
}

std::size_t Operation::ParameterCount() const {
    if (parameters.empty()) {
        return 0;
    }
    return static_cast<std::size_t>(std::count(parameters.begin(), parameters.end(), ' ')) + 1;
}

Result Operation::Run(Context& context, std::vector<std::string> args) const {
    if (args.size() != ParameterCount()) {
        throw UsageError(parameters.empty()
                             ? std::string(name) + " takes no argument"
                             : "usage: " + std::string(name) + " " + std::string(parameters));
    }
    return run(context, Arguments(name, parameters, std::move(args)));
}

std::span<const Operation> Operations() {
    static const std::vector<Operation> operations = AllOperations();
    return operations;
}

const Operation* FindOperation(std::string_view name) {
    std::span<const Operation> all = Operations();
    auto found =
        std::lower_bound(all.begin(), all.end(), name,
                         [](const Operation& a, std::string_view n) { return a.name < n; });
    return found != all.end() && found->name == name ? &*found : nullptr;
}

}  // namespace veln::addin
