#pragma once
// A panel's widgets. PanelContent is the panel area holding the control views at the resource
// file's coordinates; a top-level panel lives in a PanelWindow (with its menu bar), a child
// panel in a ChildPanelFrame inside its parent's panel area.

#include <QFrame>
#include <QMainWindow>
#include <QTimer>
#include <optional>
#include <map>

#include "runtime/core/model.h"

class QLabel;

namespace rt::qt {

class ControlView;
class ChartView;
class GraphView;

class PanelContent : public QWidget {
    Q_OBJECT
public:
    PanelContent(int panel, QWidget* parent);
    int panel() const { return panel_; }
    // Creates the views of the panel's controls: groups first, so the controls laid out in a
    // group can be placed in it.
    void build(const Panel& p);
    // Brings one control's widgets up to date with the model.
    void refreshControl(int id);
    ControlView* view(int id) const;
    // The widget the operator uses or reads for a control, null if it has none.
    QWidget* controlWidget(int id) const;
    GraphView* graph(int id) const;
    std::vector<int> graphIds() const;
    QSize sizeHint() const override { return designSize_; }

protected:
    // Controls follow the edges they are anchored to.
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where a control was put for the panel's size in the resource file.
    struct Placement {
        ControlView* view;
        int container;  // its group's id, 0 the panel area
        QRect rect;     // in container coordinates
        QRect caption;  // a caption outside the control, else empty
        bool captionBeside;
        int anchors;
    };
    int panel_;
    std::map<int, ControlView*> views_;  // children of their widgets
    std::vector<Placement> placements_;  // groups first
    QSize designSize_;
};

class PanelWindow : public QMainWindow {
    Q_OBJECT
public:
    PanelWindow(int panel, const Panel& p);
    PanelContent* content() const { return content_; }
    void setTitle(const std::string& title);
    // Where the window is to open; a window manager that places new windows by its own rule
    // (centred, say) is asked once more after the window appears, so that a second instance's
    // window stands beside the first rather than on it.
    void setOpeningPlace(const QPoint& topLeft) { openingPlace_ = topLeft; }
    // Number of close requests sent to the program (for tests).
    int closeRequests() const { return closeRequests_; }

protected:
    // The window never closes itself: the program decides (it hides the panel or ends).
    void closeEvent(QCloseEvent* event) override;
    // A resizable window tells instances started later where it is, so they open beside it.
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::optional<QPoint> openingPlace_;
    int panel_;
    PanelContent* content_;
    int closeRequests_ = 0;
    QTimer* notePlace_ = nullptr;  // resizable windows only; gathers a drag's moves into one note
};

class ChildPanelFrame : public QFrame {
    Q_OBJECT
public:
    ChildPanelFrame(int panel, const rt::Panel& p, QWidget* parentArea);
    PanelContent* content() const { return content_; }
    void setTitle(const std::string& title);

  private:
    int panel_;
    QLabel* title_;
    PanelContent* content_;
};

}  // namespace rt::qt
