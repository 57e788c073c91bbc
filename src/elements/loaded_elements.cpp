#include "elements/loaded_elements.h"

#include <stdexcept>

namespace veln {

Element& LoadedElements::Item(int position) {
    if (position < 1 || position > Count()) {
        throw std::out_of_range("no loaded element at position " + std::to_string(position));
    }
    return *items_[static_cast<std::size_t>(position) - 1];
}

const Element& LoadedElements::Item(int position) const {
    return const_cast<LoadedElements*>(this)->Item(position);
}

int LoadedElements::IndexOf(std::string_view id) const {
    auto found = positions_.find(std::string(id));
    return found == positions_.end() ? 0 : static_cast<int>(found->second) + 1;
}

Element& LoadedElements::Add(Element element) {
    if (positions_.contains(element.ElementID)) {
        throw std::invalid_argument("element " + element.ElementID + " is already loaded");
    }
    positions_[element.ElementID] = items_.size();
    items_.push_back(std::make_unique<Element>(std::move(element)));
    return *items_.back();
}

Element LoadedElements::Take(int position) {
    Element element = std::move(Item(position));
    auto index = static_cast<std::size_t>(position) - 1;
    positions_.erase(element.ElementID);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    Reindex(index);
    return element;
}

void LoadedElements::Reindex(std::size_t from) {
    for (std::size_t i = from; i < items_.size(); ++i) {
        positions_[items_[i]->ElementID] = i;
    }
}

}  // namespace veln
