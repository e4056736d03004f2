#pragma once
// The retained model of every panel, control, menu bar and graph: the one source of truth that
// the front ends show. Only runtime/ code includes this header.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/panels.h"

namespace rt {

enum class ControlKind {
    Numeric,         // numeric field the operator edits (Int or Double)
    NumericDisplay,  // numeric indicator (Int or Double)
    Switch,          // on/off switch (Int 0/1)
    Selector,        // ring of labelled entries, each with an int value
    ListBox,         // list of labelled entries, each with an int value; a click commits
    TextDisplay,     // text indicator (String)
    TextInput,       // one line of text the operator edits (String)
    Led,             // round indicator (Int 0/1), lit in `colour`
    Mark,            // coloured mark whose colour the program sets
    Button,          // command button: a click commits
    Group,           // decoration holding other controls; dimming it dims them
    Label,           // static text
    Graph,           // two-axis graph
    Timer,           // invisible timer control
};

enum class ValueType { None, Int, Double, String };

struct SelectorItem {
    std::string label;
    int value = 0;
};

// One coordinate of a point buffer, held in blocks of `blockSize` values: it grows without
// copying what it holds (a strip chart's stacked plots add one point per poll and trace for
// minutes on end), and a whole window of the strip chart fits in one block.
class PointColumn {
  public:
    static constexpr std::size_t blockSize = 1024;
    const double& operator[](std::size_t i) const { return blocks_[i / blockSize][i % blockSize]; }
    double& operator[](std::size_t i) { return blocks_[i / blockSize][i % blockSize]; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void push_back(double v) {
        if (size_ == blocks_.size() * blockSize)
            blocks_.push_back(std::unique_ptr<double[]>(new double[blockSize]));
        (*this)[size_++] = v;
    }
    void assign(const double* first, const double* last) {
        blocks_.clear();
        size_ = 0;
        while (first != last) {
            std::size_t k = std::min(blockSize, static_cast<std::size_t>(last - first));
            blocks_.push_back(std::unique_ptr<double[]>(new double[blockSize]));
            std::copy(first, first + k, blocks_.back().get());
            first += k;
            size_ += k;
        }
    }

  private:
    std::vector<std::unique_ptr<double[]>> blocks_;
    std::size_t size_ = 0;
};

// Append-only storage of points, shared by the plots that draw from it.
struct PointBuffer {
    PointColumn x;
    PointColumn y;
};

// A plot's reference to the points it draws from: a small id into the process-wide table of
// point buffers, which keeps the many plots of a strip chart small. 0 refers to nothing.
class BufferRef {
  public:
    BufferRef() = default;
    explicit BufferRef(std::uint32_t id) : id_(id) {}
    PointBuffer* get() const;
    PointBuffer* operator->() const { return get(); }
    PointBuffer& operator*() const { return *get(); }
    explicit operator bool() const { return id_ != 0; }
    std::uint32_t id() const { return id_; }
    friend bool operator==(BufferRef a, BufferRef b) { return a.id_ == b.id_; }

  private:
    std::uint32_t id_ = 0;
};

// The point buffers a graph holds: each stays alive while some graph holds it (a copied graph
// holds the same buffers as its original).
class BufferSet {
  public:
    BufferSet() = default;
    BufferSet(const BufferSet& other);
    BufferSet& operator=(const BufferSet& other);
    ~BufferSet();
    BufferRef make();  // a new, empty buffer held by this set
    // Lets go of every buffer not in `used` (ids sorted ascending).
    void keepOnly(const std::vector<std::uint32_t>& used);
    void clear();

  private:
    std::vector<BufferRef> held_;
};

// One plot of a graph. Between two moves of a strip chart's x range the program stacks thousands
// of them, so the record is kept to 28 bytes: style codes are the engine's small codes (16 bits
// each), the colour is 0xRRGGBB and the axis 1 or 2.
struct Plot {
    int handle = 0;
    BufferRef points;
    std::uint32_t offset = 0;  // first point of this plot in `points`
    std::uint32_t count = 0;
    int colour : 25 = 0;  // 0xRRGGBB
    int yAxis : 7 = 1;    // 1 left, 2 right
    std::int16_t plotStyle = 0, pointStyle = 0, lineStyle = 0, pointFrequency = 1;
};
static_assert(sizeof(Plot) <= 28, "stacked plots must stay small");

// What a front end draws: plots that share their points and style are one trace, drawn once
// over the union of their ranges (their picture is the same).
struct VisibleTrace {
    BufferRef points;
    std::size_t begin = 0, end = 0;  // point range [begin, end)
    int yAxis = 1;
    int colour = 0;
    int plotStyle = 0, pointStyle = 0, lineStyle = 0;
    // The finite values' extent over [begin, end), x and y each.
    struct Extent {
        bool any = false;
        double lo = 0.0, hi = 0.0;
        void add(double v);
        void add(const Extent& e);
    } xExtent, yExtent;
};

struct AxisSetting {
    int mode = 0;  // 0 manual, 1 automatic
    double min = 0.0;
    double max = 10.0;
};

// The lowest and highest value of a trace in each time column, drawn as a light band behind it:
// a short excursion between two drawn points stays in sight.
struct Band {
    int yAxis = 1;
    int colour = 0;
    double x0 = 0.0, dx = 1.0;   // column c covers x0 + c * dx up to x0 + (c + 1) * dx
    std::vector<double> lo, hi;  // NaN where a column holds no value
};

// What the operator has made the chart show: never the axes' settings, which stay as the
// program set them and apply again on the way back to the full view.
struct GraphViewState {
    bool zoomed = false;  // the time range xLo..xHi instead of the full view
    double xLo = 0.0, xHi = 0.0;
    bool yZoomed = false;             // both y axes show yLo..yHi instead of their setting
    double yLo[3] = {}, yHi[3] = {};  // [1] left, [2] right
    bool pointerIn = false;           // the pointer is over the plot, at time pointerX
    double pointerX = 0.0;
    // The values under the pointer: a line at readoutX and the texts beside it (Windows-1252:
    // the time, then each trace's value); none shown while empty.
    double readoutX = 0.0;
    std::vector<std::string> readout;
};

// The readout's texts as one line, as the chart shows them side by side.
std::string readoutText(const std::vector<std::string>& parts);

struct GraphModel {
    AxisSetting axis[3];  // 0 x, 1 left y, 2 right y
    int activeYAxis = 1;
    // A deque: thousands of plots stack up without being copied to a doubled array.
    std::deque<Plot> plots;
    int nextPlotHandle = 1;
    std::string xLabel, leftLabel, rightLabel;
    std::vector<Band> bands;  // deleted with all plots
    GraphViewState view;
    // Adds a plot, sharing points with an earlier plot where its data continue that plot's
    // buffer. Style codes must fit in 16 bits. Returns the handle.
    int addPlot(const double* x, const double* y, std::size_t n, int colour, int plotStyle,
                int pointStyle, int lineStyle, int pointFrequency);
    void deletePlot(int handle);  // -1: all
    // The traces in the order of their buffer, style and first point. Kept up to date as plots
    // come and go, so reading it costs nothing however many plots are stacked.
    const std::vector<VisibleTrace>& visibleTraces() const { return visible_; }
    // Range of the data on an axis (1 or 2, or 0 for x) over the visible traces; false if none.
    bool dataRange(int axis, double& lo, double& hi) const;
    // The same over traces already worked out by visibleTraces().
    static bool dataRange(const std::vector<VisibleTrace>& traces, int axis, double& lo,
                          double& hi);
    std::size_t storedPoints() const;  // points held in all distinct buffers
    // The point of the traces on y axis `yAxis` (1, 2) whose x lies nearest to `x`; false if none.
    bool nearestPoint(int yAxis, double x, double& px, double& py) const;
    // The lowest and highest value on y axis `yAxis` between xLo and xHi: of its bands where it
    // has any, else of its traces' points; false if none.
    bool valueExtent(int yAxis, double xLo, double xHi, double& lo, double& hi) const;
    // The time range shown: the view's when zoomed, else the axis's manual range or the data's.
    void shownTimeSpan(double& lo, double& hi) const;

  private:
    // Adds a plot's range to the visible traces, joining the ranges it shares a point with.
    void showPlot(const Plot& p);
    void rebuildVisible();

    BufferSet buffers_;  // the buffers the plots draw from
    std::vector<VisibleTrace> visible_;
};

// The panel (or group) edges a control keeps its distance to when its container changes size:
// left and right both stretch it across, right alone moves it along; likewise top and bottom.
enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

struct Control {
    int id = 0;
    std::string name;
    ControlKind kind = ControlKind::Label;
    ValueType type = ValueType::None;
    std::string label;  // caption shown beside or on the control
    int x = 0, y = 0, width = 0, height = 0;
    int group = 0;         // id of the Group control it sits in, 0 none
    bool scrolls = false;  // groups: a frameless column that scrolls when the panel is short
    // Lists and numeric fields: the button that Enter (and a double click on a list entry)
    // presses after the control's own commit; 0 none.
    int activates = 0;
    std::string activatesName;
    int anchors = AnchorLeft | AnchorTop;
    std::string tooltip;   // what the control does, its unit and range (Windows-1252)
    std::string shortcut;  // buttons: key sequence that presses it ("F5", "Ctrl+O")
    // Numeric fields: range, step and decimals shown.
    double minimum = -1e300, maximum = 1e300, increment = 1.0;
    int precision = 2;
    std::vector<SelectorItem> items;  // selectors and lists
    std::string callbackName;
    CtrlCallback callback = nullptr;
    // Value.
    int intValue = 0;
    double doubleValue = 0.0;
    std::string stringValue;  // Windows-1252 bytes
    // Attributes.
    bool dimmed = false;
    bool visible = true;
    int colour = 0;
    int textSize = 0;  // 0: the front end's default
    // Timer controls.
    double interval = 1.0;
    std::uint64_t timerResets = 0;
    // Graphs.
    std::shared_ptr<GraphModel> graph;
    std::map<int, double> otherAttributes;  // accepted attributes with no meaning here
};

struct MenuItem {
    int id = 0;
    std::string name;
    std::string label;
    std::string callbackName;
    MenuCallback callback = nullptr;
    bool dimmed = false;
    std::vector<MenuItem> items;  // entries of a menu-bar entry
};

struct MenuBar {
    int handle = 0;
    std::string name;
    int panel = 0;  // panel it belongs to
    std::vector<MenuItem> menus;
    MenuItem* find(int id);
};

struct Panel {
    int handle = 0;
    int resourceId = 0;
    int parent = 0;
    std::string name;  // resource name, e.g. "MAIN"
    std::string title;
    int x = 0, y = 0, width = 400, height = 300;
    bool resizable = false;  // the window can grow and shrink
    // A resizable panel's smallest size; below width and height the controls anchored to both
    // edges give up room (0: width and height are the smallest size).
    int minWidth = 0, minHeight = 0;
    bool visible = false;
    std::string callbackName;
    PanelCallback callback = nullptr;
    int menuBar = 0;
    int activeControl = 0;  // the control with the keyboard focus, 0 the front end's choice
    std::vector<Control> controls;
    Control* find(int id);
    Control* findByName(const std::string& name);
};

// Resource data of one panel as read from the resource file, before it is loaded.
struct PanelResource {
    Panel panel;  // handle 0
    std::string menuBarName;
};

class Model {
  public:
    static Model& instance();
    void reset();  // forget every panel and menu bar (tests)

    int addPanel(Panel p);
    int addMenuBar(MenuBar m);
    Panel* panel(int handle);
    MenuBar* menuBar(int handle);
    Control* control(int panel, int id);
    const std::vector<std::unique_ptr<Panel>>& panels() const { return panels_; }
    const std::vector<std::unique_ptr<MenuBar>>& menuBars() const { return menuBars_; }
    // A control is operable when it and its group are enabled and visible.
    bool operable(int panel, int id);

  private:
    std::vector<std::unique_ptr<Panel>> panels_;
    std::vector<std::unique_ptr<MenuBar>> menuBars_;
};

// The graph of a control, or null with UIE_BAD_HANDLE, UIE_BAD_CONTROL or UIE_BAD_TYPE in `err`.
GraphModel* graphOf(int panel, int control, int& err);
// Tells the front end that a graph's plots, axes or view changed.
void graphChanged(int panel, int control);

}  // namespace rt
