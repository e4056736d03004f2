#include "runtime/qt/panel_window.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>
#include <set>

#include "runtime/qt/control_layout.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/window_placement.h"

namespace rt::qt {

namespace {

bool hasCaption(const Control& c) {
    switch (c.kind) {
        case ControlKind::Numeric:
        case ControlKind::NumericDisplay:
        case ControlKind::Selector:
        case ControlKind::ListBox:
        case ControlKind::TextDisplay:
        case ControlKind::TextInput: return !c.label.empty();
        default: return false;
    }
}

QRect rectOf(const Control& c) { return QRect(c.x, c.y, c.width, c.height); }

}  // namespace

// ---- PanelContent ----------------------------------------------------------------------------

PanelContent::PanelContent(int panel, QWidget* parent) : QWidget(parent), panel_(panel) {}

void PanelContent::build(const Panel& p) {
    designSize_ = QSize(p.width, p.height);
    if (p.resizable)
        setMinimumSize(p.minWidth > 0 ? p.minWidth : p.width,
                       p.minHeight > 0 ? p.minHeight : p.height);
    else
        setFixedSize(designSize_);
    const QFont base = font();
    const QFontMetrics metrics(base);

    // Containers first: the scrolling columns, then the groups (which may sit in a column).
    std::map<int, QWidget*> groups;  // the widget the contents go in, by group id
    std::map<int, QRect> groupRects;
    std::set<int> columnIds;
    for (const bool columns : {true, false}) {
        for (const Control& c : p.controls) {
            if (c.kind != ControlKind::Group || c.scrolls != columns) continue;
            const int container = !columns && groups.count(c.group) ? c.group : 0;
            QRect r = rectOf(c);
            if (container) r.translate(-groupRects[container].topLeft());
            QWidget* parent = container ? groups[container] : this;
            ControlView* v = makeControlView(panel_, c, parent, r, CaptionLayout{});
            views_[c.id] = v;
            placements_.push_back({v, container, r, QRect(), false, c.anchors});
            if (auto* column = dynamic_cast<ScrollColumnView*>(v)) {
                groups[c.id] = column->inner();
                columnIds.insert(c.id);
            } else
                groups[c.id] = static_cast<GroupView*>(v)->box();
            groupRects[c.id] = rectOf(c);
        }
    }
    auto containerOf = [&](const Control& c) {
        return c.kind != ControlKind::Group && groups.count(c.group) ? c.group : 0;
    };

    // Rectangles of the controls per container, in container coordinates.
    struct Placed {
        const Control* control;
        int container;
        QRect rect;
        CaptionLayout caption;
    };
    std::vector<Placed> placed;
    std::map<int, std::vector<QRect>> rects;  // by container
    for (const Control& c : p.controls) {
        if (c.kind == ControlKind::Timer) continue;
        int container = c.kind == ControlKind::Group && !c.scrolls && groups.count(c.group)
                            ? c.group
                            : containerOf(c);
        QRect r = rectOf(c);
        if (container) r.translate(-groupRects[container].topLeft());
        rects[container].push_back(r);
        if (c.kind != ControlKind::Group) placed.push_back({&c, container, r, {}});
    }

    // Caption places.
    for (Placed& pl : placed) {
        if (!hasCaption(*pl.control)) continue;
        QRect free(0, 0, p.width, p.height);
        if (pl.container && !columnIds.count(pl.container)) {
            const QRect& g = groupRects[pl.container];
            int title = metrics.height() + 2;
            free = QRect(6, title, g.width() - 12, g.height() - title - 4);
        }
        std::vector<QRect> obstacles;
        for (const QRect& r : rects[pl.container]) {
            if (r != pl.rect) obstacles.push_back(r);
        }
        QSize caption = metrics.size(Qt::TextSingleLine, fromCp1252(pl.control->label)) +
                        QSize(2, 0);
        pl.caption = chooseCaptionPlace(pl.rect, caption, free, obstacles,
                                        contentHeight(*pl.control, base));
    }
    // Captions inside their controls, one below the other at the same x, get one width so that
    // the values line up.
    for (Placed& a : placed) {
        if (a.caption.place != CaptionPlace::InsideLeft) continue;
        for (const Placed& b : placed) {
            if (b.caption.place == CaptionPlace::InsideLeft && b.container == a.container &&
                b.rect.left() == a.rect.left()) {
                a.caption.insideWidth = std::max(a.caption.insideWidth, b.caption.insideWidth);
            }
        }
    }

    for (const Placed& pl : placed) {
        QWidget* container = pl.container ? groups[pl.container] : this;
        if (ControlView* v = makeControlView(panel_, *pl.control, container, pl.rect, pl.caption)) {
            views_[pl.control->id] = v;
            const bool outside = v->caption() && (pl.caption.place == CaptionPlace::Left ||
                                                  pl.caption.place == CaptionPlace::Above);
            placements_.push_back({v, pl.container, pl.rect, outside ? pl.caption.rect : QRect(),
                                   pl.caption.place == CaptionPlace::Left, pl.control->anchors});
        }
    }
}

void PanelContent::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (designSize_.isEmpty()) return;
    // Every place worked out from the resource file's, so no rounding piles up.
    const QSize grown = size() - designSize_;
    std::map<int, QSize> groupGrown;
    for (const Placement& pl : placements_) {
        const QSize by = pl.container ? groupGrown[pl.container] : grown;
        const QRect r = anchoredRect(pl.rect, pl.anchors, by);
        if (pl.view->outer() && pl.view->outer()->geometry() != r) pl.view->outer()->setGeometry(r);
        if (dynamic_cast<GroupView*>(pl.view))
            groupGrown[pl.view->id()] = r.size() - pl.rect.size();
        // A column keeps its height and scrolls; its width follows, less a scroll bar's.
        if (auto* column = dynamic_cast<ScrollColumnView*>(pl.view))
            groupGrown[pl.view->id()] =
                QSize(column->fitInner(pl.rect.width(), pl.rect.height()), 0);
        if (!pl.caption.isNull() && pl.view->caption()) {
            QRect c = pl.caption.translated(r.topLeft() - pl.rect.topLeft());
            if (pl.captionBeside) c.setHeight(r.height());
            if (pl.view->caption()->geometry() != c) pl.view->caption()->setGeometry(c);
        }
    }
}

void PanelContent::refreshControl(int id) {
    ControlView* v = view(id);
    Control* c = Model::instance().control(panel_, id);
    if (v && c) v->refresh(*c);
}

ControlView* PanelContent::view(int id) const {
    auto it = views_.find(id);
    return it == views_.end() ? nullptr : it->second;
}

QWidget* PanelContent::controlWidget(int id) const {
    ControlView* v = view(id);
    return v ? v->widget() : nullptr;
}

GraphView* PanelContent::graph(int id) const { return dynamic_cast<GraphView*>(view(id)); }

std::vector<int> PanelContent::graphIds() const {
    std::vector<int> out;
    for (const auto& [id, v] : views_) {
        if (dynamic_cast<GraphView*>(v)) out.push_back(id);
    }
    return out;
}

// ---- PanelWindow -----------------------------------------------------------------------------

PanelWindow::PanelWindow(int panel, const Panel& p)
    : panel_(panel), content_(new PanelContent(panel, this)) {
    setObjectName(QString::fromStdString(p.name));
    setCentralWidget(content_);
    setTitle(p.title);
    // The panel keeps the size the resource file gives it, or, when it may grow, takes that as
    // its smallest size.
    if (!p.resizable) layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(p.x, p.y);
    if (p.resizable) {
        notePlace_ = new QTimer(this);
        notePlace_->setSingleShot(true);
        notePlace_->setInterval(300);
        connect(notePlace_, &QTimer::timeout, this, [this] {
            if (isVisible()) noteInstanceWindow(geometry());
        });
    }
    // Escape on a window of its own (not the main window, the one with a menu bar) asks the
    // program to close it, as the title bar's close button does.
    if (p.menuBar == 0) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(escape, &QShortcut::activated, this, [this] {
            ++closeRequests_;
            deliverClose(panel_);
        });
    }
}

void PanelWindow::setTitle(const std::string& title) {
    QString t = fromCp1252(title);
    if (windowTitle() != t) setWindowTitle(t);
}

void PanelWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (notePlace_) notePlace_->start();
}

void PanelWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (notePlace_) notePlace_->start();
}

void PanelWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!openingPlace_) return;
    const QPoint place = *openingPlace_;
    openingPlace_.reset();
    QTimer::singleShot(300, this, [this, place] {
        if (!isMaximized() && pos() != place) move(place);
    });
}

void PanelWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    ++closeRequests_;
    deliverClose(panel_);
}

// ---- ChildPanelFrame -------------------------------------------------------------------------

ChildPanelFrame::ChildPanelFrame(int panel, const rt::Panel& p, QWidget* parentArea)
    : QFrame(parentArea),
      panel_(panel),
      title_(new QLabel),
      content_(new PanelContent(panel, this)) {
    setObjectName(QString::fromStdString(p.name));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    // Opaque, so the parent's controls underneath do not show through.
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetFixedSize);
    // A title strip like a window's, so the panel reads as a panel of its own.
    title_->setAutoFillBackground(true);
    title_->setBackgroundRole(QPalette::Highlight);
    title_->setForegroundRole(QPalette::HighlightedText);
    title_->setContentsMargins(6, 3, 6, 3);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    column->addWidget(title_);
    column->addWidget(content_);
    setTitle(p.title);
    move(p.x, p.y);
    // Escape while the keyboard is in the panel asks the program to close it, as on a window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { deliverClose(panel_); });
    hide();
}

void ChildPanelFrame::setTitle(const std::string& title) {
    QString t = fromCp1252(title);
    if (title_->text() != t) title_->setText(t);
}

}  // namespace rt::qt
