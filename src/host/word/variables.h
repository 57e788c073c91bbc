// The document variables: named texts saved with the document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veln::host {

class VariableStore;

class Variable {
  public:
    Variable(VariableStore& document, std::string name)
        : document_(&document), name_(std::move(name)) {}
    const std::string& Name() const { return name_; }
    std::string Value() const;
    void SetValue(const std::string& value) const;
    void Delete() const;

  private:
    VariableStore* document_;
    std::string name_;
};

class Variables {
  public:
    explicit Variables(VariableStore& document) : document_(&document) {}

    int Count() const;
    // index from 1, in the order the document keeps them.
    Variable Item(int index) const;
    // A variable that does not exist is an error, as in the word processor.
    Variable Item(std::string_view name) const;
    bool Exists(std::string_view name) const;
    Variable Add(const std::string& name, const std::string& value) const;

  private:
    VariableStore* document_;
};

}  // namespace veln::host
