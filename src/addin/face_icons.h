// The built-in faces the add-in's toolbar uses, by the numbers of the word
// processor's icon set, and the pictures of its forms, with the names of
// VELN's own SVG icons that draw them (app/icons/NAME.svg): one table for
// every host that shows them.
#pragma once

#include <array>
#include <string_view>
#include <utility>

namespace veln::addin {

// The icon's name of a face number; "" for a face VELN does not draw.
constexpr std::string_view FaceIconName(int faceId) {
    constexpr std::array<std::pair<int, std::string_view>, 20> FACES{
        {{71, "digit-1"},      {72, "digit-2"},   {73, "digit-3"},  {74, "digit-4"},
         {594, "first"},       {595, "previous"}, {596, "next"},    {597, "last"},
         {620, "list"},        {162, "edit"},     {1019, "delete"}, {1553, "renumber"},
         {70, "numbers"},      {2642, "link"},    {702, "tree"},    {532, "matrix"},
         {634, "list-values"}, {984, "help"},     {1087, "review"}, {433, "coverage"}}};
    for (const auto& [face, name] : FACES) {
        if (face == faceId) {
            return name;
        }
    }
    return {};
}

// The icon's name of a picture a form's button or image shows (the
// element editor's arrows, the about box's logo); "" for none.
constexpr std::string_view PictureIconName(int picture) {
    constexpr std::array<std::pair<int, std::string_view>, 5> PICTURES{
        {{1, "veln"}, {108, "first"}, {109, "previous"}, {110, "next"}, {111, "last"}}};
    for (const auto& [number, name] : PICTURES) {
        if (number == picture) {
            return name;
        }
    }
    return {};
}

}  // namespace veln::addin
