// The elements of every document loaded in this run: in the order they were
// added, keyed by identifier, at positions counted from 1.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "elements/element.h"

namespace veln {

class LoadedElements {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    Element& Item(int position);  // from 1
    const Element& Item(int position) const;
    // 1-based position of the element, 0 when it is not loaded.
    int IndexOf(std::string_view id) const;
    // Adds an element at the end; an identifier already loaded is an error.
    Element& Add(Element element);
    // Takes the element at position out of the collection and gives it back.
    Element Take(int position);

  private:
    void Reindex(std::size_t from);

    std::vector<std::unique_ptr<Element>> items_;
    std::unordered_map<std::string, std::size_t> positions_;  // identifier -> index
};

}  // namespace veln
