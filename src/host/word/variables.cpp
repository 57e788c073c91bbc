#include "host/word/variables.h"

#include "host/word/document.h"

namespace veln::host {

std::string Variable::Value() const {
    auto value = document_->VariableValue(name_);
    if (!value) {
        throw HostError(WordError::NO_SUCH_MEMBER, "Object has been deleted: variable " + name_);
    }
    return *value;
}

void Variable::SetValue(const std::string& value) const {
    document_->SetVariableValue(name_, value);
}

void Variable::Delete() const {
    document_->RemoveVariable(name_);
}

int Variables::Count() const {
    return static_cast<int>(document_->VariableNames().size());
}

Variable Variables::Item(int index) const {
    auto names = document_->VariableNames();
    if (index < 1 || index > static_cast<int>(names.size())) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::to_string(index));
    }
    return Variable(*document_, names[static_cast<std::size_t>(index) - 1]);
}

Variable Variables::Item(std::string_view name) const {
    if (!Exists(name)) {
        throw HostError(
            WordError::NO_SUCH_MEMBER,
            "The requested member of the collection does not exist: " + std::string(name));
    }
    return Variable(*document_, std::string(name));
}

bool Variables::Exists(std::string_view name) const {
    return document_->VariableValue(name).has_value();
}

Variable Variables::Add(const std::string& name, const std::string& value) const {
    if (name.empty()) {
        throw HostError(WordError::COMMAND_FAILED, "A document variable needs a name");
    }
    document_->SetVariableValue(name, value);
    return Variable(*document_, name);
}

}  // namespace veln::host
