// A form's Qt Designer file, read for the office's dialogs: its widgets by
// name (what kind of widget, its designed limits and look) and its layouts,
// laid out as Qt lays them out, in pixels measured by the office. One design
// for both hosts: the desktop loads the same file into Qt. Nothing of UNO
// shows through this header.
#pragma once

#include <climits>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace veln::host::office {

struct PixelSize {
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int UNBOUNDED = INT_MAX / 4;

// A widget as its design describes it.
struct DesignedWidget {
    std::string name;
    std::string widgetClass;  // "QLineEdit"
    PixelSize minimum;
    PixelSize maximum{UNBOUNDED, UNBOUNDED};
    bool wordWrap = false;
    bool alignTop = false;
    bool editable = false;      // a combo box whose text the user types
    bool readOnly = false;      // a text the user reads only
    bool showsAllRows = false;  // a list without a vertical scroll bar
    bool isDefault = false;     // the button Enter presses
    int fontPoints = 0;         // 0: the dialog's font
    int textColor = -1;         // 0xRRGGBB its style sheet gives its text; -1: the dialog's
    bool bold = false;
};

struct LayoutNode;

// What the office says a control needs, in pixels, with its text as it
// stands: its preferred size, and its height at a width (a wrapped label).
struct ControlMeasure {
    std::function<PixelSize(const std::string& name)> preferred;
    std::function<int(const std::string& name, int width)> heightFor;
};

struct FormPlaces {
    PixelSize window;
    // Every widget the layout showed, by name, in the window's pixels.
    std::map<std::string, PixelRect> places;
};

class FormDesign {
  public:
    // Reads a design; a file that is not one raises a HostError naming what is wrong.
    static FormDesign Read(std::string_view xml, const std::string& fileName);
    // A design of controls one under the other, the buttons in a row at the
    // bottom right: a form without a Designer file.
    static FormDesign Plain(const std::vector<DesignedWidget>& controls,
                            const std::vector<DesignedWidget>& buttons);
    ~FormDesign();
    FormDesign(FormDesign&&) noexcept;
    FormDesign& operator=(FormDesign&&) noexcept;
    FormDesign(const FormDesign&) = delete;
    FormDesign& operator=(const FormDesign&) = delete;

    const std::string& FormName() const { return formName_; }
    // The widget of that name; nullptr when the design has none.
    const DesignedWidget* Widget(std::string_view name) const;
    // The window's designed size.
    PixelSize Designed() const { return designed_; }

    // Lays the design out as Qt does: hidden widgets take no room; the window
    // is as large as designed, or as its content needs when that is more
    // (at least atLeast).
    FormPlaces LayOut(const ControlMeasure& measure, const std::set<std::string>& hidden,
                      PixelSize atLeast = {}) const;

  private:
    FormDesign();
    std::string formName_;
    PixelSize designed_;
    std::map<std::string, DesignedWidget, std::less<>> widgets_;
    std::unique_ptr<LayoutNode> root_;
};

}  // namespace veln::host::office
