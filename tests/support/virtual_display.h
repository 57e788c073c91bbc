// An X display of our own (Xvfb) for pictures of the office's windows, and
// the picture of part of it (veln_test_grab_screen reads the screen).
#pragma once

#include <string>

#include <sys/types.h>

namespace veln::test {

// Xvfb on the first free display from :91; stopped with the object.
class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    // The display's name (":91").
    const std::string& Name() const { return name_; }

  private:
    bool Start(int number, const std::string& socket);

    pid_t pid_ = -1;
    std::string name_;
};

// The area of the display, as the screen shows it, in a PNG file, by the
// grabber program; says what it wrote, false when it could not.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
bool GrabScreen(const std::string& grabber, const std::string& display, const ScreenArea& area,
                const std::string& file);

}  // namespace veln::test
