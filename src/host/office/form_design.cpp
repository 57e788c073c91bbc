#include "host/office/form_design.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <sstream>

#include <pugixml.hpp>

#include "host/host_error.h"

namespace veln::host::office {

namespace {

// The form engine's error for a design it cannot read.
constexpr long OBJECT_REQUIRED = 424;
// Qt's defaults: the margins of a window's layout and of a widget's, the
// spacing of a layout, a spacer's size.
constexpr int WINDOW_MARGIN = 9;
constexpr int DEFAULT_SPACING = 6;
constexpr PixelSize SPACER_HINT{40, 20};
// Room a group box keeps around its content: its title above.
constexpr int GROUP_TITLE = 20;
constexpr int GROUP_BORDER = 6;
// What a list or a text area asks for when nothing bounds it (Qt's scroll areas).
constexpr PixelSize SCROLL_AREA_HINT{256, 192};

// How a kind of widget takes room, per direction, as Qt's size policies say.
struct Policy {
    bool grows;
    bool expands;
};

struct Policies {
    Policy horizontal;
    Policy vertical;
};

Policies PoliciesOf(const std::string& widgetClass) {
    constexpr Policy FIXED{false, false};
    constexpr Policy GROWS{true, false};
    constexpr Policy EXPANDS{true, true};
    if (widgetClass == "QLineEdit") {
        return {EXPANDS, FIXED};
    }
    if (widgetClass == "QToolButton") {
        return {FIXED, FIXED};
    }
    if (widgetClass == "QPushButton" || widgetClass == "QCheckBox" ||
        widgetClass == "QRadioButton" || widgetClass == "QComboBox") {
        return {GROWS, FIXED};
    }
    if (widgetClass == "QTreeWidget" || widgetClass == "QPlainTextEdit" ||
        widgetClass == "QScrollArea") {
        return {EXPANDS, EXPANDS};
    }
    return {GROWS, GROWS};
}

bool ScrollsItsContent(const std::string& widgetClass) {
    return widgetClass == "QTreeWidget" || widgetClass == "QPlainTextEdit";
}

// How much room an item takes along one direction.
struct Extent {
    int min = 0;
    int pref = 0;
    int max = UNBOUNDED;
    bool grows = true;
    bool expands = false;
};

// A line (row or column) of a grid along one direction.
struct Line {
    int pref = 0;
    int stretch = 0;
    bool grows = false;
    bool expands = false;
    // The most its expanding items take: past it, room goes to the other lines.
    int expandMax = 0;
    bool used = false;
    int start = 0;
    int size = 0;
};

}  // namespace

struct LayoutNode {
    enum class Kind { WIDGET, SPACER, GRID };
    Kind kind = Kind::GRID;
    // A widget: its name; the layout (or the scrolled widget) it holds.
    std::string widget;
    std::unique_ptr<LayoutNode> inner;
    // A spacer.
    bool horizontal = true;
    PixelSize hint = SPACER_HINT;
    bool fixed = false;
    // A grid (a box layout is a grid of one row or one column).
    std::array<int, 4> margins{};  // left, top, right, bottom
    int hSpacing = DEFAULT_SPACING;
    int vSpacing = DEFAULT_SPACING;
    struct Cell {
        std::unique_ptr<LayoutNode> node;
        int row = 0;
        int column = 0;
        int rowSpan = 1;
        int columnSpan = 1;
    };
    std::vector<Cell> cells;
    std::vector<int> rowStretch;
    std::vector<int> columnStretch;
};

namespace {

std::vector<int> Numbers(const char* list) {
    std::vector<int> numbers;
    std::stringstream in(list);
    for (std::string part; std::getline(in, part, ',');) {
        numbers.push_back(std::atoi(part.c_str()));  // NOLINT(cert-err34-c): designed digits
    }
    return numbers;
}

PixelSize SizeProperty(const pugi::xml_node& property) {
    pugi::xml_node size = property.child("size");
    return {size.child("width").text().as_int(), size.child("height").text().as_int()};
}

// The colour a style sheet gives a widget's text ("color: #C00000;"), -1 when none.
int StyleColor(std::string_view style) {
    constexpr std::string_view KEY = "color: #";
    constexpr std::size_t DIGITS = 6;
    const std::size_t at = style.find(KEY);
    if (at == std::string_view::npos || style.size() < at + KEY.size() + DIGITS) {
        return -1;
    }
    const std::string hex(style.substr(at + KEY.size(), DIGITS));
    return static_cast<int>(std::strtol(hex.c_str(), nullptr, 16));
}

pugi::xml_node Property(const pugi::xml_node& node, const char* name) {
    return node.find_child_by_attribute("property", "name", name);
}

class DesignReader {
  public:
    explicit DesignReader(std::map<std::string, DesignedWidget, std::less<>>& widgets)
        : widgets_(widgets) {}

    std::unique_ptr<LayoutNode> Widget(const pugi::xml_node& node) {
        DesignedWidget widget;
        widget.name = node.attribute("name").value();
        widget.widgetClass = node.attribute("class").value();
        if (pugi::xml_node minimum = Property(node, "minimumSize")) {
            widget.minimum = SizeProperty(minimum);
        }
        if (pugi::xml_node maximum = Property(node, "maximumSize")) {
            widget.maximum = SizeProperty(maximum);
        }
        widget.wordWrap = Property(node, "wordWrap").child("bool").text().as_bool();
        widget.alignTop = std::string_view(Property(node, "alignment").child("set").text().get())
                              .find("AlignTop") != std::string_view::npos;
        widget.editable = Property(node, "editable").child("bool").text().as_bool();
        widget.readOnly = Property(node, "readOnly").child("bool").text().as_bool();
        widget.showsAllRows =
            std::string_view(
                Property(node, "verticalScrollBarPolicy").child("enum").text().get()) ==
            "Qt::ScrollBarAlwaysOff";
        widget.isDefault = Property(node, "default").child("bool").text().as_bool();
        pugi::xml_node font = Property(node, "font").child("font");
        widget.fontPoints = font.child("pointsize").text().as_int();
        widget.bold = font.child("bold").text().as_bool();
        widget.textColor = StyleColor(Property(node, "styleSheet").child("string").text().get());
        auto layoutNode = std::make_unique<LayoutNode>();
        layoutNode->kind = LayoutNode::Kind::WIDGET;
        layoutNode->widget = widget.name;
        if (pugi::xml_node layout = node.child("layout")) {
            layoutNode->inner = Layout(layout, WINDOW_MARGIN);
        } else if (pugi::xml_node scrolled = node.child("widget")) {
            layoutNode->inner = Widget(scrolled);
        }
        widgets_[widget.name] = std::move(widget);
        return layoutNode;
    }

    std::unique_ptr<LayoutNode> Layout(const pugi::xml_node& node, int defaultMargin) {
        auto grid = std::make_unique<LayoutNode>();
        const std::string kind = node.attribute("class").value();
        const char* names[] = {"leftMargin", "topMargin", "rightMargin", "bottomMargin"};
        for (std::size_t side = 0; side < grid->margins.size(); ++side) {
            pugi::xml_node margin = Property(node, names[side]);  // NOLINT: four sides
            grid->margins.at(side) =
                margin ? margin.child("number").text().as_int() : defaultMargin;
        }
        if (pugi::xml_node spacing = Property(node, "spacing")) {
            grid->hSpacing = grid->vSpacing = spacing.child("number").text().as_int();
        }
        if (pugi::xml_node spacing = Property(node, "horizontalSpacing")) {
            grid->hSpacing = spacing.child("number").text().as_int();
        }
        if (pugi::xml_node spacing = Property(node, "verticalSpacing")) {
            grid->vSpacing = spacing.child("number").text().as_int();
        }
        const bool vertical = kind == "QVBoxLayout";
        if (kind == "QGridLayout") {
            grid->rowStretch = Numbers(node.attribute("rowstretch").value());
            grid->columnStretch = Numbers(node.attribute("columnstretch").value());
        } else {
            (vertical ? grid->rowStretch : grid->columnStretch) =
                Numbers(node.attribute("stretch").value());
        }
        int next = 0;
        for (pugi::xml_node item : node.children("item")) {
            LayoutNode::Cell cell;
            if (kind == "QGridLayout") {
                cell.row = item.attribute("row").as_int();
                cell.column = item.attribute("column").as_int();
                cell.rowSpan = item.attribute("rowspan").as_int(1);
                cell.columnSpan = item.attribute("colspan").as_int(1);
            } else {
                (vertical ? cell.row : cell.column) = next++;
            }
            if (pugi::xml_node widget = item.child("widget")) {
                cell.node = Widget(widget);
            } else if (pugi::xml_node layout = item.child("layout")) {
                cell.node = Layout(layout, 0);
            } else if (pugi::xml_node spacer = item.child("spacer")) {
                cell.node = Spacer(spacer);
            } else {
                continue;
            }
            grid->cells.push_back(std::move(cell));
        }
        return grid;
    }

  private:
    static std::unique_ptr<LayoutNode> Spacer(const pugi::xml_node& node) {
        auto spacer = std::make_unique<LayoutNode>();
        spacer->kind = LayoutNode::Kind::SPACER;
        spacer->horizontal =
            std::string_view(Property(node, "orientation").child("enum").text().get()) !=
            "Qt::Vertical";
        if (pugi::xml_node hint = Property(node, "sizeHint")) {
            spacer->hint = SizeProperty(hint);
        }
        spacer->fixed = std::string_view(Property(node, "sizeType").child("enum").text().get()) ==
                        "QSizePolicy::Fixed";
        return spacer;
    }

    std::map<std::string, DesignedWidget, std::less<>>& widgets_;
};

// Lays a design out along one direction, then the other: widths first,
// since a wrapped label's height depends on its width.
class Solver {
  public:
    Solver(const std::map<std::string, DesignedWidget, std::less<>>& widgets,
           const ControlMeasure& measure, const std::set<std::string>& hidden)
        : widgets_(widgets), measure_(measure), hidden_(hidden) {}

    bool Hidden(const LayoutNode& node) const {
        if (node.kind == LayoutNode::Kind::WIDGET) {
            return hidden_.contains(node.widget);
        }
        if (node.kind == LayoutNode::Kind::GRID) {
            return std::all_of(node.cells.begin(), node.cells.end(),
                               [this](const LayoutNode::Cell& cell) { return Hidden(*cell.node); });
        }
        return false;
    }

    Extent Measure(const LayoutNode& node, bool horizontal) {
        switch (node.kind) {
            case LayoutNode::Kind::SPACER:
                return SpacerExtent(node, horizontal);
            case LayoutNode::Kind::GRID:
                return GridExtent(node, horizontal);
            case LayoutNode::Kind::WIDGET:
                break;
        }
        return WidgetExtent(node, horizontal);
    }

    // Places node in [start, start + size) along a direction.
    void Place(const LayoutNode& node, bool horizontal, int start, int size) {
        if (node.kind == LayoutNode::Kind::WIDGET) {
            PixelRect& place = places_[node.widget];
            (horizontal ? place.x : place.y) = start;
            (horizontal ? place.width : place.height) = size;
            if (node.inner) {
                const Insets insets = InsetsOf(node);
                const int before = horizontal ? insets.left : insets.top;
                const int after = horizontal ? insets.right : insets.bottom;
                Place(*node.inner, horizontal, start + before, size - before - after);
            }
            return;
        }
        if (node.kind == LayoutNode::Kind::GRID) {
            PlaceGrid(node, horizontal, start, size);
        }
    }

    std::map<std::string, PixelRect>& Places() { return places_; }

  private:
    // Each control measured once a layout: across processes a measure is a round trip.
    PixelSize Preferred(const std::string& name) {
        auto known = preferred_.find(name);
        if (known == preferred_.end()) {
            known = preferred_.emplace(name, measure_.preferred(name)).first;
        }
        return known->second;
    }

    struct Insets {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    Insets InsetsOf(const LayoutNode& node) const {
        auto widget = widgets_.find(node.widget);
        if (widget != widgets_.end() && widget->second.widgetClass == "QGroupBox") {
            return {GROUP_BORDER, GROUP_TITLE, GROUP_BORDER, GROUP_BORDER};
        }
        return {};
    }

    static Extent SpacerExtent(const LayoutNode& node, bool horizontal) {
        const int hint = horizontal ? node.hint.width : node.hint.height;
        if (node.horizontal != horizontal) {
            return {0, hint, hint, false, false};
        }
        return node.fixed ? Extent{hint, hint, hint, false, false}
                          : Extent{0, hint, UNBOUNDED, true, true};
    }

    Extent WidgetExtent(const LayoutNode& node, bool horizontal) {
        const DesignedWidget& widget = widgets_.at(node.widget);
        const Policies policies = PoliciesOf(widget.widgetClass);
        const Policy policy = horizontal ? policies.horizontal : policies.vertical;
        Extent extent;
        extent.grows = policy.grows;
        extent.expands = policy.expands;
        extent.max = horizontal ? widget.maximum.width : widget.maximum.height;
        const int minimum = horizontal ? widget.minimum.width : widget.minimum.height;
        int pref = 0;
        if (node.inner) {
            const Insets insets = InsetsOf(node);
            Extent inner = Measure(*node.inner, horizontal);
            const int around = horizontal ? insets.left + insets.right : insets.top + insets.bottom;
            pref = inner.pref + around;
            extent.expands = extent.expands || inner.expands;
        } else if (ScrollsItsContent(widget.widgetClass) && !(widget.showsAllRows && !horizontal)) {
            pref = horizontal ? SCROLL_AREA_HINT.width : SCROLL_AREA_HINT.height;
        } else if (widget.wordWrap) {
            // A wrapped text asks for no width of its own: it takes its
            // column's, and the height its lines need there.
            pref = horizontal ? 0 : measure_.heightFor(widget.name, places_[widget.name].width);
        } else {
            const PixelSize measured = Preferred(widget.name);
            pref = horizontal ? measured.width : measured.height;
        }
        extent.pref = std::min(std::max(pref, minimum), extent.max);
        extent.min = policy.grows ? std::min(minimum, extent.pref) : extent.pref;
        return extent;
    }

    std::vector<Line> Lines(const LayoutNode& grid, bool horizontal) {
        int count = 0;
        for (const LayoutNode::Cell& cell : grid.cells) {
            count = std::max(count,
                             horizontal ? cell.column + cell.columnSpan : cell.row + cell.rowSpan);
        }
        std::vector<Line> lines(static_cast<std::size_t>(count));
        const std::vector<int>& stretch = horizontal ? grid.columnStretch : grid.rowStretch;
        for (std::size_t i = 0; i < lines.size() && i < stretch.size(); ++i) {
            lines[i].stretch = stretch[i];
        }
        // Single cells first, then the spanning ones take what they lack from their lines.
        for (int pass = 0; pass < 2; ++pass) {
            for (const LayoutNode::Cell& cell : grid.cells) {
                if (Hidden(*cell.node)) {
                    continue;
                }
                const int first = horizontal ? cell.column : cell.row;
                const int span = horizontal ? cell.columnSpan : cell.rowSpan;
                if ((span == 1) != (pass == 0)) {
                    continue;
                }
                const Extent extent = Measure(*cell.node, horizontal);
                auto begin = lines.begin() + first;
                auto end = begin + span;
                if (span == 1) {
                    begin->used = true;
                    begin->pref = std::max(begin->pref, extent.pref);
                    begin->grows = begin->grows || extent.grows;
                    begin->expands = begin->expands || extent.expands;
                    if (extent.expands) {
                        begin->expandMax = std::max(begin->expandMax, extent.max);
                    }
                    continue;
                }
                std::for_each(begin, end, [](Line& line) { line.used = true; });
                const int spacing = horizontal ? grid.hSpacing : grid.vSpacing;
                const int has =
                    std::accumulate(begin, end, 0,
                                    [](int sum, const Line& line) { return sum + line.pref; }) +
                    spacing * (span - 1);
                (end - 1)->pref += std::max(0, extent.pref - has);
                if (extent.expands &&
                    std::none_of(begin, end, [](const Line& l) { return l.expands; })) {
                    (end - 1)->expands = true;
                    (end - 1)->expandMax = UNBOUNDED;
                }
                (end - 1)->grows = (end - 1)->grows || extent.grows;
            }
        }
        return lines;
    }

    Extent GridExtent(const LayoutNode& grid, bool horizontal) {
        std::vector<Line> lines = Lines(grid, horizontal);
        const int spacing = horizontal ? grid.hSpacing : grid.vSpacing;
        Extent extent{0, 0, UNBOUNDED, false, false};
        int used = 0;
        for (const Line& line : lines) {
            if (line.used) {
                extent.pref += line.pref;
                extent.grows = extent.grows || line.grows || line.stretch > 0;
                extent.expands = extent.expands || line.expands;
                ++used;
            }
        }
        if (used == 0) {
            return {0, 0, 0, false, false};
        }
        extent.pref += spacing * (used - 1) + (horizontal ? grid.margins[0] + grid.margins[2]
                                                          : grid.margins[1] + grid.margins[3]);
        extent.min = extent.pref;
        return extent;
    }

    // Gives extra room as Qt does: to the lines that stretch, else to those
    // whose items expand, up to what they take, then to those that grow.
    static void Distribute(std::vector<Line>& lines, int extra) {
        if (Share(
                lines, extra, [](const Line& l) { return l.stretch > 0; },
                [](const Line& l) { return l.stretch; })) {
            return;
        }
        for (bool given = true; extra > 0 && given;) {
            given = false;
            std::vector<Line*> open;
            for (Line& line : lines) {
                if (line.used && line.expands && line.size < std::max(line.pref, line.expandMax)) {
                    open.push_back(&line);
                }
            }
            const int share = open.empty() ? 0 : std::max(1, extra / static_cast<int>(open.size()));
            for (Line* line : open) {
                const int part =
                    std::min({share, extra, std::max(line->pref, line->expandMax) - line->size});
                line->size += part;
                extra -= part;
                given = given || part > 0;
            }
        }
        Share(
            lines, extra, [](const Line& l) { return l.grows; }, [](const Line&) { return 1; });
    }

    // Shares extra among the used lines that want it, by weight; false when none does.
    template <typename Wants, typename Weight>
    static bool Share(std::vector<Line>& lines, int extra, Wants wants, Weight weight) {
        int total = 0;
        for (const Line& line : lines) {
            total += line.used && wants(line) ? weight(line) : 0;
        }
        if (total == 0 || extra <= 0) {
            return total > 0;
        }
        int given = 0;
        Line* last = nullptr;
        for (Line& line : lines) {
            if (line.used && wants(line)) {
                const int part = extra * weight(line) / total;
                line.size += part;
                given += part;
                last = &line;
            }
        }
        if (last != nullptr) {
            last->size += extra - given;
        }
        return true;
    }

    void PlaceGrid(const LayoutNode& grid, bool horizontal, int start, int size) {
        std::vector<Line> lines = Lines(grid, horizontal);
        const int spacing = horizontal ? grid.hSpacing : grid.vSpacing;
        const int before = horizontal ? grid.margins[0] : grid.margins[1];
        const int after = horizontal ? grid.margins[2] : grid.margins[3];
        int needed = 0;
        int used = 0;
        for (Line& line : lines) {
            line.size = line.used ? line.pref : 0;
            needed += line.size;
            used += line.used ? 1 : 0;
        }
        needed += spacing * std::max(0, used - 1);
        const int extra = size - before - after - needed;
        if (extra > 0) {
            Distribute(lines, extra);
        }
        int at = start + before;
        for (Line& line : lines) {
            line.start = at;
            if (line.used) {
                at += line.size + spacing;
            }
        }
        for (const LayoutNode::Cell& cell : grid.cells) {
            if (Hidden(*cell.node)) {
                continue;
            }
            const std::size_t first = horizontal ? cell.column : cell.row;
            const std::size_t span = horizontal ? cell.columnSpan : cell.rowSpan;
            const Line& head = lines[first];
            const Line& tail = lines[first + span - 1];
            const int area = tail.start + tail.size - head.start;
            const Extent extent = Measure(*cell.node, horizontal);
            const int taken = cell.node->kind == LayoutNode::Kind::GRID
                                  ? area
                                  : std::min(extent.grows ? area : extent.pref, extent.max);
            // As Qt places a widget smaller than its cell: in the middle.
            Place(*cell.node, horizontal, head.start + (area - taken) / 2, taken);
        }
    }

    const std::map<std::string, DesignedWidget, std::less<>>& widgets_;
    const ControlMeasure& measure_;
    const std::set<std::string>& hidden_;
    std::map<std::string, PixelRect> places_;
    std::map<std::string, PixelSize> preferred_;
};

}  // namespace

FormDesign::FormDesign() = default;
FormDesign::~FormDesign() = default;
FormDesign::FormDesign(FormDesign&&) noexcept = default;
FormDesign& FormDesign::operator=(FormDesign&&) noexcept = default;

FormDesign FormDesign::Read(std::string_view xml, const std::string& fileName) {
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
    pugi::xml_node top = document.child("ui").child("widget");
    if (!parsed || !top) {
        throw HostError(OBJECT_REQUIRED, fileName + " is not a form design: " +
                                             (parsed ? "it has no widget" : parsed.description()));
    }
    FormDesign design;
    design.formName_ = top.attribute("name").value();
    pugi::xml_node rect = Property(top, "geometry").child("rect");
    design.designed_ = {rect.child("width").text().as_int(), rect.child("height").text().as_int()};
    DesignReader reader(design.widgets_);
    design.root_ = reader.Widget(top);
    if (!design.root_->inner) {
        throw HostError(OBJECT_REQUIRED,
                        fileName + " is not a form design: its window has no layout");
    }
    return design;
}

FormDesign FormDesign::Plain(const std::vector<DesignedWidget>& controls,
                             const std::vector<DesignedWidget>& buttons) {
    FormDesign design;
    auto column = std::make_unique<LayoutNode>();
    column->margins = {WINDOW_MARGIN, WINDOW_MARGIN, WINDOW_MARGIN, WINDOW_MARGIN};
    auto add = [&design](LayoutNode& grid, const DesignedWidget& widget, int row, int col) {
        auto node = std::make_unique<LayoutNode>();
        node->kind = LayoutNode::Kind::WIDGET;
        node->widget = widget.name;
        design.widgets_[widget.name] = widget;
        grid.cells.push_back({std::move(node), row, col, 1, 1});
    };
    int row = 0;
    for (const DesignedWidget& control : controls) {
        add(*column, control, row++, 0);
    }
    auto buttonRow = std::make_unique<LayoutNode>();
    auto spacer = std::make_unique<LayoutNode>();
    spacer->kind = LayoutNode::Kind::SPACER;
    buttonRow->cells.push_back({std::move(spacer), 0, 0, 1, 1});
    int col = 1;
    for (const DesignedWidget& button : buttons) {
        add(*buttonRow, button, 0, col++);
    }
    column->cells.push_back({std::move(buttonRow), row, 0, 1, 1});
    auto root = std::make_unique<LayoutNode>();
    root->kind = LayoutNode::Kind::WIDGET;
    root->inner = std::move(column);
    design.root_ = std::move(root);
    return design;
}

const DesignedWidget* FormDesign::Widget(std::string_view name) const {
    auto found = widgets_.find(name);
    return found == widgets_.end() ? nullptr : &found->second;
}

FormPlaces FormDesign::LayOut(const ControlMeasure& measure, const std::set<std::string>& hidden,
                              PixelSize atLeast) const {
    Solver solver(widgets_, measure, hidden);
    const LayoutNode& content = *root_->inner;
    FormPlaces result;
    result.window.width =
        std::max({designed_.width, atLeast.width, solver.Measure(content, true).pref});
    solver.Place(content, true, 0, result.window.width);
    result.window.height =
        std::max({designed_.height, atLeast.height, solver.Measure(content, false).pref});
    solver.Place(content, false, 0, result.window.height);
    for (auto& [name, place] : solver.Places()) {
        if (widgets_.contains(name) && name != formName_) {
            result.places[name] = place;
        }
    }
    return result;
}

}  // namespace veln::host::office
