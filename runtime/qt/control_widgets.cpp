#include "runtime/qt/control_widgets.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "runtime/qt/chart_view.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/text_encoding.h"

namespace rt::qt {

// ---- Helpers ---------------------------------------------------------------------------------

QFont controlFont(const QFont& base, int textSize) {
    QFont f = base;
    if (textSize > 0) f.setPointSize(textSize);
    return f;
}

QColor rgbColour(int rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

QString numberText(const Control& c) {
    if (c.type == ValueType::Int) return QString::number(c.intValue);
    if (!std::isfinite(c.doubleValue)) {
        return std::isnan(c.doubleValue)
                   ? QStringLiteral("NaN")
                   : (c.doubleValue > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf"));
    }
    return QString::number(c.doubleValue, 'f', std::clamp(c.precision, 0, 15));
}

int contentHeight(const Control& c, const QFont& base) {
    return QFontMetrics(controlFont(base, c.textSize)).height() + 6;
}

void setTextColour(QWidget* w, QColor colour) {
    QPalette p = w->palette();
    // Only the enabled groups: a dimmed control keeps the style's grey.
    p.setColor(QPalette::Active, QPalette::WindowText, colour);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    p.setColor(QPalette::Active, QPalette::Text, colour);
    p.setColor(QPalette::Inactive, QPalette::Text, colour);
    w->setPalette(p);
}

namespace {

// A field under the mouse while the operator scrolls the settings column must not change: the
// wheel changes a value only once its field has the keyboard focus, and else goes on to the
// column.
class WheelNeedsFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Wheel || !w || w->hasFocus()) return false;
        event->ignore();  // ignored and taken: Qt hands it to the parent
        return true;
    }
};

}  // namespace

void wheelOnlyWithFocus(QWidget* field) {
    field->setFocusPolicy(Qt::StrongFocus);
    field->installEventFilter(new WheelNeedsFocus(field));
}

// ---- ControlView -----------------------------------------------------------------------------

ControlView::ControlView(int panel, const Control& c) : panel_(panel), id_(c.id) {}

Control* ControlView::model() const { return Model::instance().control(panel_, id_); }

void ControlView::place(QWidget* container, QWidget* widget, const QRect& rect, const Control& c,
                        const CaptionLayout& layout) {
    widget_ = widget;
    widget->setObjectName(QString::fromStdString(c.name));
    shownLabel_ = c.label;
    CaptionPlace where = c.label.empty() ? CaptionPlace::None : layout.place;
    switch (where) {
        case CaptionPlace::None:
            widget->setParent(container);
            widget->setGeometry(rect);
            outer_ = widget;
            break;
        case CaptionPlace::Left:
        case CaptionPlace::Above:
            caption_ = new QLabel(fromCp1252(c.label), container);
            caption_->setGeometry(layout.rect);
            caption_->setAlignment(
                Qt::AlignLeft | (where == CaptionPlace::Left ? Qt::AlignVCenter : Qt::AlignBottom));
            captionOutside_ = true;
            widget->setParent(container);
            widget->setGeometry(rect);
            outer_ = widget;
            break;
        case CaptionPlace::InsideTop: {
            outer_ = new QWidget(container);
            outer_->setGeometry(rect);
            auto* box = new QVBoxLayout(outer_);
            box->setContentsMargins(0, 0, 0, 0);
            box->setSpacing(1);
            caption_ = new QLabel(fromCp1252(c.label), outer_);
            QFont small = caption_->font();
            small.setPointSizeF(std::max(7.0, small.pointSizeF() - 1.0));
            caption_->setFont(small);
            // The caption keeps its own height; the value takes the rest of the rectangle.
            caption_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            box->addWidget(caption_);
            box->addWidget(widget, 1);
            box->activate();  // place both now, not first when the panel is shown
            break;
        }
        case CaptionPlace::InsideLeft: {
            outer_ = new QWidget(container);
            outer_->setGeometry(rect);
            auto* row = new QHBoxLayout(outer_);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(kCaptionGap);
            caption_ = new QLabel(fromCp1252(c.label), outer_);
            caption_->setFixedWidth(layout.insideWidth);
            row->addWidget(caption_);
            row->addWidget(widget, 1);
            row->activate();
            break;
        }
    }
    if (caption_) caption_->setObjectName(QString::fromStdString(c.name) + "_CAPTION");
    if (!c.tooltip.empty()) {
        widget->setToolTip(fromCp1252(c.tooltip));
        if (caption_) caption_->setToolTip(widget->toolTip());
    }
    setParent(outer_);
}

void ControlView::refresh(const Control& c) {
    if (caption_ && c.label != shownLabel_) {
        caption_->setText(fromCp1252(c.label));
        shownLabel_ = c.label;
    }
    outer_->setVisible(c.visible);
    outer_->setEnabled(!c.dimmed);
    if (caption_ && captionOutside_) {
        caption_->setVisible(c.visible);
        caption_->setEnabled(!c.dimmed);
    }
    refreshValue(c);
}

namespace {
bool sameItems(const std::vector<SelectorItem>& a, const std::vector<SelectorItem>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](const SelectorItem& x, const SelectorItem& y) {
                                                  return x.label == y.label && x.value == y.value;
                                              });
}
}  // namespace

// ---- Selector --------------------------------------------------------------------------------

SelectorView::SelectorView(int panel, const Control& c, QWidget* container, const QRect& rect,
                           const CaptionLayout& layout)
    : ControlView(panel, c) {
    auto* combo = new QComboBox;
    wheelOnlyWithFocus(combo);
    combo->setFont(controlFont(combo->font(), c.textSize));
    connect(combo, &QComboBox::activated, this, [this](int index) { chosen(index); });
    place(container, combo, rect, c, layout);
}

QComboBox* SelectorView::combo() const { return static_cast<QComboBox*>(widget_); }

void SelectorView::refreshValue(const Control& c) {
    QComboBox* box = combo();
    QSignalBlocker block(box);
    if (!sameItems(items_, c.items)) {
        box->clear();
        for (const SelectorItem& item : c.items) box->addItem(fromCp1252(item.label), item.value);
        items_ = c.items;
    }
    int index = -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].value == c.intValue) {
            index = int(i);
            break;
        }
    }
    if (box->currentIndex() != index) box->setCurrentIndex(index);
}

void SelectorView::chosen(int index) {
    Control* c = model();
    if (!c || index < 0 || std::size_t(index) >= items_.size()) return;
    int value = items_[std::size_t(index)].value;
    if (value == c->intValue) return;  // the entry shown already: no change, no commit
    c->intValue = value;
    deliverCommit(panel_, id_);
}

// ---- List ------------------------------------------------------------------------------------

ListBoxView::ListBoxView(int panel, const Control& c, QWidget* container, const QRect& rect,
                         const CaptionLayout& layout)
    : ControlView(panel, c) {
    auto* list = new QListWidget;
    list->setFont(controlFont(list->font(), c.textSize));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(list, &QListWidget::itemClicked, this,
            [this, list](QListWidgetItem* item) { chosen(list->row(item)); });
    connect(list, &QListWidget::itemActivated, this,
            [this, list](QListWidgetItem* item) { chosen(list->row(item)); });
    activates_ = c.activates;
    // A double click is a click (chosen above), then the press; Enter is taken in eventFilter.
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { activate(); });
    list->installEventFilter(this);
    place(container, list, rect, c, layout);
}

bool ListBoxView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const int row = list()->currentRow();
            Control* c = model();
            if (c && row >= 0 && std::size_t(row) < items_.size() &&
                items_[std::size_t(row)].value != c->intValue)
                chosen(row);
            activate();
            return true;
        }
    }
    return ControlView::eventFilter(watched, event);
}

void ListBoxView::activate() {
    if (activates_) deliverCommit(panel_, activates_);
}

QListWidget* ListBoxView::list() const { return static_cast<QListWidget*>(widget_); }

void ListBoxView::refreshValue(const Control& c) {
    QListWidget* box = list();
    QSignalBlocker block(box);
    if (!sameItems(items_, c.items)) {
        box->clear();
        for (const SelectorItem& item : c.items) box->addItem(fromCp1252(item.label));
        items_ = c.items;
    }
    int row = -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].value == c.intValue) {
            row = int(i);
            break;
        }
    }
    if (box->currentRow() != row) box->setCurrentRow(row);
}

void ListBoxView::chosen(int row) {
    Control* c = model();
    if (!c || row < 0 || std::size_t(row) >= items_.size()) return;
    c->intValue = items_[std::size_t(row)].value;
    c->doubleValue = c->intValue;
    deliverCommit(panel_, id_);
}

// ---- Switch ----------------------------------------------------------------------------------

SwitchView::SwitchView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* box = new QCheckBox(fromCp1252(c.label));
    box->setFont(controlFont(box->font(), c.textSize));
    connect(box, &QCheckBox::clicked, this, [this](bool checked) {
        if (Control* m = model()) {
            m->intValue = checked ? 1 : 0;
            deliverCommit(panel_, id_);
        }
    });
    place(container, box, rect, c, CaptionLayout{});
}

QCheckBox* SwitchView::checkBox() const { return static_cast<QCheckBox*>(widget_); }

void SwitchView::refreshValue(const Control& c) {
    QCheckBox* box = checkBox();
    QSignalBlocker block(box);
    box->setText(fromCp1252(c.label));
    box->setChecked(c.intValue != 0);
}

// ---- Button ----------------------------------------------------------------------------------

ButtonView::ButtonView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* button = new QPushButton(fromCp1252(c.label));
    button->setAutoDefault(false);
    button->setFont(controlFont(button->font(), c.textSize));
    connect(button, &QPushButton::clicked, this, [this] { deliverCommit(panel_, id_); });
    place(container, button, rect, c, CaptionLayout{});
    if (!c.shortcut.empty()) {
        // The key presses the button (a dimmed button ignores it), and its hint names the key.
        const QKeySequence key(QString::fromStdString(c.shortcut), QKeySequence::PortableText);
        button->setShortcut(key);
        const QString keyText = key.toString(QKeySequence::NativeText);
        button->setToolTip(button->toolTip().isEmpty()
                               ? keyText
                               : button->toolTip() + QStringLiteral(" (%1)").arg(keyText));
    }
}

QPushButton* ButtonView::button() const { return static_cast<QPushButton*>(widget_); }

void ButtonView::refreshValue(const Control& c) { button()->setText(fromCp1252(c.label)); }

// ---- Text display and numeric indicator ------------------------------------------------------

ReadoutView::ReadoutView(int panel, const Control& c, QWidget* container, const QRect& rect,
                         const CaptionLayout& layout)
    : ControlView(panel, c) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    // One plain line all round: the style's sunken panel on a label draws inset lines on two
    // sides and leaves the others open.
    label->setStyleSheet(QStringLiteral(
        "QLabel { border: 1px solid palette(mid); border-radius: 2px; background: palette(base);"
        " padding: 0px 4px; }"));
    label->setFont(controlFont(label->font(), c.textSize));
    bool number = c.kind == ControlKind::NumericDisplay;
    // A box of several lines shows a text of several lines from its top; others are one line.
    bool multiLine = !number && rect.height() >= 2 * QFontMetrics(label->font()).height() + 24;
    label->setWordWrap(multiLine);
    label->setAlignment(number      ? Qt::AlignRight | Qt::AlignVCenter
                        : multiLine ? Qt::AlignLeft | Qt::AlignTop
                                    : Qt::AlignLeft | Qt::AlignVCenter);
    place(container, label, rect, c, layout);
    ownTip_ = label->toolTip();
    oneLineText_ = !number && !multiLine;
    if (oneLineText_) label->installEventFilter(this);
}

QLabel* ReadoutView::valueLabel() const { return static_cast<QLabel*>(widget_); }

bool ReadoutView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) tipWholeText();
    return ControlView::eventFilter(watched, event);
}

void ReadoutView::tipWholeText() {
    if (!oneLineText_) return;
    QLabel* label = valueLabel();
    const QString text = label->text();
    QString tip = ownTip_;
    if (label->fontMetrics().horizontalAdvance(text) > label->contentsRect().width()) {
        // As rich text, so that the tooltip wraps a long line instead of running off the screen.
        tip = QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped());
        if (!ownTip_.isEmpty())
            tip = QStringLiteral("<p>%1</p>").arg(ownTip_.toHtmlEscaped()) + tip;
    }
    if (label->toolTip() != tip) label->setToolTip(tip);
}

void ReadoutView::refreshValue(const Control& c) {
    QLabel* label = valueLabel();
    QString text =
        c.kind == ControlKind::NumericDisplay ? numberText(c) : fromCp1252(c.stringValue);
    if (label->text() != text) {
        label->setText(text);
        tipWholeText();
    }
    if (c.colour != colour_) {
        setTextColour(label, rgbColour(c.colour));
        colour_ = c.colour;
    }
}

// ---- LED and mark ----------------------------------------------------------------------------

LedWidget::LedWidget(QWidget* parent) : QWidget(parent) {}

void LedWidget::setState(bool on, QColor colour, const QString& text) {
    if (on == on_ && colour == colour_ && text == text_) return;
    on_ = on;
    colour_ = colour;
    text_ = text;
    update();
}

namespace {
// A round lamp at the widget's left, lit in `fill`, with its text beside it.
void paintLamp(QWidget& w, QColor fill, const QString& text) {
    QPainter p(&w);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = std::max(6, std::min(w.height(), w.width()) - 8);
    const QRectF lamp(2.5, (w.height() - d) / 2.0, d, d);
    if (!w.isEnabled()) fill = fill.lighter(160);
    QRadialGradient shine(lamp.center() - QPointF(d / 5.0, d / 5.0), d * 0.75);
    shine.setColorAt(0.0, fill.lighter(150));
    shine.setColorAt(1.0, fill);
    p.setBrush(shine);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0));
    p.drawEllipse(lamp);
    if (!text.isEmpty()) {
        p.setPen(w.palette().color(w.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
        const QRect textRect(int(lamp.right()) + 6, 0, w.width() - int(lamp.right()) - 6,
                             w.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}
}  // namespace

void LedWidget::paintEvent(QPaintEvent*) {
    paintLamp(*this, on_ ? colour_ : QColor(0x40, 0x40, 0x40), text_);
}

MarkWidget::MarkWidget(QWidget* parent) : QWidget(parent) {}

void MarkWidget::setState(QColor colour, const QString& text) {
    if (colour == colour_ && text == text_) return;
    colour_ = colour;
    text_ = text;
    update();
}

void MarkWidget::paintEvent(QPaintEvent*) {
    // A lamp in the mark's colour, not a coloured box: beside the real buttons a box reads as
    // one more button.
    paintLamp(*this, colour_, text_);
}

LedView::LedView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* led = new LedWidget(nullptr);
    led->setFont(controlFont(led->font(), c.textSize));
    place(container, led, rect, c, CaptionLayout{});
}

void LedView::refreshValue(const Control& c) {
    static_cast<LedWidget*>(widget_)->setState(c.intValue != 0, rgbColour(c.colour),
                                               fromCp1252(c.label));
}

MarkView::MarkView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* mark = new MarkWidget(nullptr);
    mark->setFont(controlFont(mark->font(), c.textSize));
    place(container, mark, rect, c, CaptionLayout{});
}

void MarkView::refreshValue(const Control& c) {
    static_cast<MarkWidget*>(widget_)->setState(rgbColour(c.colour), fromCp1252(c.label));
}

// ---- Group, label, graph ---------------------------------------------------------------------

GroupView::GroupView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* box = new QGroupBox(fromCp1252(c.label));
    place(container, box, rect, c, CaptionLayout{});
}

QGroupBox* GroupView::box() const { return static_cast<QGroupBox*>(widget_); }

void GroupView::refreshValue(const Control& c) { box()->setTitle(fromCp1252(c.label)); }

ScrollColumnView::ScrollColumnView(int panel, const Control& c, QWidget* container,
                                   const QRect& rect)
    : ControlView(panel, c), inner_(new QWidget) {
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(false);
    inner_->resize(rect.size());
    area->setWidget(inner_);
    place(container, area, rect, c, CaptionLayout{});
}

int ScrollColumnView::fitInner(int designWidth, int designHeight) {
    auto* area = static_cast<QScrollArea*>(outer_);
    const bool bar = area->height() < designHeight;
    const int width = area->width() - (bar ? area->verticalScrollBar()->sizeHint().width() : 0);
    if (inner_->size() != QSize(width, designHeight)) inner_->resize(width, designHeight);
    return width - designWidth;
}

LabelView::LabelView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(controlFont(label->font(), c.textSize));
    place(container, label, rect, c, CaptionLayout{});
}

void LabelView::refreshValue(const Control& c) {
    auto* label = static_cast<QLabel*>(widget_);
    QString text = fromCp1252(c.label);
    if (label->text() != text) label->setText(text);
    if (c.colour != 0) setTextColour(label, rgbColour(c.colour));
}

GraphView::GraphView(int panel, const Control& c, QWidget* container, const QRect& rect)
    : ControlView(panel, c) {
    auto* chart = new ChartView(nullptr);
    chart->setControl(panel, c.id);
    place(container, chart, rect, c, CaptionLayout{});
}

ChartView* GraphView::chart() const { return static_cast<ChartView*>(widget_); }

void GraphView::redraw() {
    Control* c = model();
    if (c && c->graph) chart()->showGraph(*c->graph);
}

void GraphView::refreshValue(const Control&) {}

// ---- Factory ---------------------------------------------------------------------------------

ControlView* makeControlView(int panel, const Control& c, QWidget* container, const QRect& rect,
                             const CaptionLayout& caption) {
    ControlView* view = nullptr;
    switch (c.kind) {
        case ControlKind::Numeric:
            view = new NumericFieldView(panel, c, container, rect, caption);
            break;
        case ControlKind::NumericDisplay:
        case ControlKind::TextDisplay:
            view = new ReadoutView(panel, c, container, rect, caption);
            break;
        case ControlKind::TextInput:
            view = new TextInputView(panel, c, container, rect, caption);
            break;
        case ControlKind::Switch: view = new SwitchView(panel, c, container, rect); break;
        case ControlKind::Selector:
            view = new SelectorView(panel, c, container, rect, caption);
            break;
        case ControlKind::ListBox:
            view = new ListBoxView(panel, c, container, rect, caption);
            break;
        case ControlKind::Led: view = new LedView(panel, c, container, rect); break;
        case ControlKind::Mark: view = new MarkView(panel, c, container, rect); break;
        case ControlKind::Button: view = new ButtonView(panel, c, container, rect); break;
        case ControlKind::Group:
            if (c.scrolls)
                view = new ScrollColumnView(panel, c, container, rect);
            else
                view = new GroupView(panel, c, container, rect);
            break;
        case ControlKind::Label: view = new LabelView(panel, c, container, rect); break;
        case ControlKind::Graph: view = new GraphView(panel, c, container, rect); break;
        case ControlKind::Timer: return nullptr;
    }
    view->refresh(c);
    return view;
}

}  // namespace rt::qt
