// A window's selection kept in memory, for hosts whose documents have no
// window of their own to hold it (files opened by a program, test fixtures).
#pragma once

namespace veln::host {

class HeldSelection {
  public:
    long Start() const { return start_; }
    long End() const { return end_; }
    // Selects from start to end, in either order, within a story that ends
    // at storyEnd; the last paragraph mark cannot be passed.
    void Set(long start, long end, long storyEnd);
    // Keeps the selection over the same characters when text moves under it:
    // delta characters inserted (or, negative, deleted) at position.
    void Shift(long position, long delta);

  private:
    long start_ = 0;
    long end_ = 0;
};

}  // namespace veln::host
