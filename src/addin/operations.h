// The operations of the system by their own names, for whatever runs them by
// name: the command line's `call`, the toolbar's dispatch. Each layer keeps
// its own table of entries, each naming the operation once with its
// parameters; this module joins them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "elements/context.h"

namespace veln::addin {

// A call that does not fit the operation: wrong count or form of arguments.
class UsageError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// The text arguments of one call, read by position with the form each must have.
class Arguments {
  public:
    Arguments(std::string_view operation, std::string_view parameters,
              std::vector<std::string> values)
        : operation_(operation), parameters_(parameters), values_(std::move(values)) {}

    std::size_t Count() const { return values_.size(); }
    const std::string& operator[](std::size_t index) const { return values_.at(index); }
    // A whole number from least to most; anything else is a usage error
    // naming the parameter.
    long Number(std::size_t index, long least, long most) const;
    std::int16_t Level(std::size_t index) const {
        return static_cast<std::int16_t>(Number(index, 1, 4));
    }
    // "True" or "False".
    bool Boolean(std::size_t index) const;

  private:
    [[noreturn]] void Fail(std::size_t index, const std::string& what) const;

    std::string_view operation_;
    std::string_view parameters_;
    std::vector<std::string> values_;
};

// What an operation gives back, when it has a result: its text.
using Result = std::optional<std::string>;

struct Operation {
    std::string_view name;
    // One word a parameter ("DBPATH DESCRIPTION"), as usage messages show them.
    std::string_view parameters;
    std::function<Result(Context&, const Arguments&)> run;

    std::size_t ParameterCount() const;
    // Checks the number of arguments, then runs.
    Result Run(Context& context, std::vector<std::string> args) const;
};

// An entry of a table: run is any callable taking (Context&) or
// (Context&, const Arguments&) and giving nothing, a Boolean (printed "True"
// or "False"), a number or a text.
template <typename Run>
Operation Entry(std::string_view name, std::string_view parameters, Run run) {
    return {name, parameters, [run](Context& context, const Arguments& args) -> Result {
                auto call = [&] {
                    if constexpr (std::is_invocable_v<Run, Context&, const Arguments&>) {
                        return run(context, args);
                    } else {
                        return run(context);
                    }
                };
                using R = decltype(call());
                if constexpr (std::is_void_v<R>) {
                    call();
                    return std::nullopt;
                } else if constexpr (std::is_same_v<R, bool>) {
                    return std::string(call() ? "True" : "False");
                } else if constexpr (std::is_integral_v<R>) {
                    return std::to_string(call());
                } else {
                    return Result(call());
                }
            }};
}

// The tables of each layer.
std::vector<Operation> DatabaseOperations();
std::vector<Operation> ElementOperations();
std::vector<Operation> PropertyOperations();
std::vector<Operation> TraceabilityOperations();
std::vector<Operation> OutputOperations();
std::vector<Operation> VersionOperations();

// Every registered operation, sorted by name.
std::span<const Operation> Operations();
// The operation of that name, nullptr when there is none.
const Operation* FindOperation(std::string_view name);

}  // namespace veln::addin
