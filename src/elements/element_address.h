// Where a hyperlink to an element points: the document's file as a file URI,
// and the element's bookmark as its fragment, so that word processors and
// spreadsheet programs follow it to the element.
#pragma once

#include <string>

namespace veln::Elements {

// "file://" + the absolute path, percent-encoded where a URI needs it (a
// blank is %20, a "#" in a folder name %23).
std::string FileUri(const std::string& path);

// The address spreadsheets follow to an element: FileUri + "#" + its id.
std::string ElementAddress(const std::string& path, const std::string& elementId);

}  // namespace veln::Elements
