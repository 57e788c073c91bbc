#include "properties/prop_value.h"

namespace veln {

void PropValues::Add(PropValue value) {
    if (Find(value.ElementID, value.PropertyID) != nullptr) {
        return;
    }
    byElement_[value.ElementID].push_back(items_.size());
    items_.push_back(std::move(value));
}

const PropValue* PropValues::Find(const std::string& elementId, std::int64_t propertyId) const {
    auto found = byElement_.find(elementId);
    if (found == byElement_.end()) {
        return nullptr;
    }
    // An element has a value for each of at most a few dozen properties.
    for (std::size_t index : found->second) {
        if (items_[index].PropertyID == propertyId) {
            return &items_[index];
        }
    }
    return nullptr;
}

PropValue* PropValues::FindMutable(const std::string& elementId, std::int64_t propertyId) {
    return const_cast<PropValue*>(Find(elementId, propertyId));
}

void PropValues::Set(const std::string& elementId, std::int64_t propertyId,
                     const std::string& value) {
    if (PropValue* held = FindMutable(elementId, propertyId)) {
        if (held->Value != value) {
            held->Value = value;
            held->Changed = true;
        }
        return;
    }
    Add({elementId, propertyId, value, true});
}

void PropValues::Clear() {
    items_.clear();
    byElement_.clear();
}

void PropValues::MarkSaved() {
    for (PropValue& value : items_) {
        value.Changed = false;
    }
}

}  // namespace veln
