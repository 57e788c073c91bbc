// The error every host service raises: a number and a description, as the
// platform reports them, for the operation that catches it to show or act on.
#pragma once

#include <stdexcept>
#include <string>

namespace veln::host {

class HostError : public std::runtime_error {
  public:
    HostError(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    long Number() const { return number_; }
    std::string Description() const { return what(); }

  private:
    long number_;
};

}  // namespace veln::host
