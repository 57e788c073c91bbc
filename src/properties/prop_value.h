// The value of one property for one element, and the values the element
// editor holds from its opening to its closing, found by element and
// property without a walk over all of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace veln {

class PropValue {
  public:
    std::string ElementID;
    std::int64_t PropertyID = 0;
    // Null when the row holds none, or when its property is not shown.
    std::optional<std::string> Value;
    // Set by the editor and not yet saved.
    bool Changed = false;
};

class PropValues {
  public:
    // Adds a value read from the project; a second one for the same element
    // and property is kept out: the first read is the one shown.
    void Add(PropValue value);
    // The value of the element for the property, nullptr when there is none.
    const PropValue* Find(const std::string& elementId, std::int64_t propertyId) const;
    // The editor's value for the element and property: replaces the one held
    // (marked changed when it differs) or adds it (marked changed).
    void Set(const std::string& elementId, std::int64_t propertyId, const std::string& value);

    int Count() const { return static_cast<int>(items_.size()); }
    const std::vector<PropValue>& Items() const { return items_; }
    void Clear();
    // Once saved, nothing is left to save.
    void MarkSaved();

  private:
    PropValue* FindMutable(const std::string& elementId, std::int64_t propertyId);

    std::vector<PropValue> items_;
    // Positions in items_ of each element's values.
    std::unordered_map<std::string, std::vector<std::size_t>> byElement_;
};

}  // namespace veln
