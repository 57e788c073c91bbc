// The address of a file as a hyperlink gives it: "file://" and the absolute
// path, with what a URI cannot hold percent-encoded (a blank is %20), so that
// word processors and spreadsheet programs follow it.
#pragma once

#include <string>

namespace veln {

std::string FileAddress(const std::string& path);

}  // namespace veln
