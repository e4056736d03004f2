// The numeric field: a spin box whose value reaches the program as one commit per change. A
// change commits when the operator steps or types it (keyboard tracking is off, so typing
// commits when the field is left or Enter is pressed); Enter on an unchanged value commits once
// as well, and the program's own setting of the value never commits.
#include <QAbstractSpinBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <climits>
#include <cmath>

#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"

namespace rt::qt {

namespace {

// Numbers in fields always use a point and no group separators, like every number the program
// formats itself.
QLocale numberLocale() {
    QLocale l = QLocale::c();
    l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return l;
}

// Limits a field's range to numbers its text can still show exactly with a few decimals; the
// model's default range (+-1e300) would give fields hundreds of digits wide.
double fieldLimit(double v) {
    constexpr double kLimit = 1e15;
    if (std::isnan(v)) return 0.0;
    return std::clamp(v, -kLimit, kLimit);
}

int intLimit(double v) {
    if (std::isnan(v)) return 0;
    return int(std::clamp(v, double(INT_MIN), double(INT_MAX)));
}

// The value a double field shows for `v` (it rounds to its decimals).
double roundedTo(double v, int decimals) {
    return QString::number(fieldLimit(v), 'f', decimals).toDouble();
}

}  // namespace

NumericFieldView::NumericFieldView(int panel, const Control& c, QWidget* container,
                                   const QRect& rect, const CaptionLayout& layout)
    : ControlView(panel, c), isDouble_(c.type != ValueType::Int) {
    QAbstractSpinBox* spin = nullptr;
    if (isDouble_) {
        auto* d = new QDoubleSpinBox;
        d->setLocale(numberLocale());
        d->setDecimals(std::clamp(c.precision, 0, 15));  // before the range: it rounds to them
        d->setRange(fieldLimit(c.minimum), fieldLimit(c.maximum));
        d->setSingleStep(c.increment > 0 && std::isfinite(c.increment) ? c.increment : 1.0);
        connect(d, &QDoubleSpinBox::valueChanged, this, [this] { valueChangedByOperator(); });
        spin = d;
    } else {
        auto* i = new QSpinBox;
        i->setLocale(numberLocale());
        i->setRange(intLimit(c.minimum), intLimit(c.maximum));
        i->setSingleStep(std::max(1, intLimit(c.increment)));
        connect(i, &QSpinBox::valueChanged, this, [this] { valueChangedByOperator(); });
        spin = i;
    }
    spin->setKeyboardTracking(false);
    wheelOnlyWithFocus(spin);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    spin->setFont(controlFont(spin->font(), c.textSize));
    activates_ = c.activates;
    connect(spin, &QAbstractSpinBox::editingFinished, this, [this] { editingFinished(); });
    spin->installEventFilter(this);
    if (auto* edit = spin->findChild<QLineEdit*>()) edit->installEventFilter(this);
    place(container, spin, rect, c, layout);
}

QAbstractSpinBox* NumericFieldView::spinBox() const {
    return static_cast<QAbstractSpinBox*>(widget_);
}

double NumericFieldView::widgetValue() const {
    if (isDouble_) return static_cast<QDoubleSpinBox*>(widget_)->value();
    return static_cast<QSpinBox*>(widget_)->value();
}

void NumericFieldView::refreshValue(const Control& c) {
    // Only touch the widget when the shown number changes: setting it again would throw away
    // what the operator is typing.
    QSignalBlocker block(widget_);
    if (c.colour != colour_ && (colour_ >= 0 || c.colour != 0)) {
        // A field in a colour of its own (a value not read from the instrument, in red); 0 is
        // the style's text colour.
        if (c.colour == 0)
            widget_->setPalette(QPalette());
        else
            setTextColour(widget_, rgbColour(c.colour));
        colour_ = c.colour;
    }
    if (isDouble_) {
        auto* d = static_cast<QDoubleSpinBox*>(widget_);
        if (roundedTo(c.doubleValue, d->decimals()) != shown_ || d->value() != shown_) {
            d->setValue(fieldLimit(c.doubleValue));
        }
    } else {
        auto* i = static_cast<QSpinBox*>(widget_);
        if (c.intValue != int(shown_) || i->value() != c.intValue) i->setValue(c.intValue);
    }
    shown_ = widgetValue();
}

bool NumericFieldView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !enterPressed_) {
            enterPressed_ = true;
            commitsAtEnter_ = commits_;
        }
    }
    return ControlView::eventFilter(watched, event);
}

void NumericFieldView::valueChangedByOperator() {
    if (widgetValue() != shown_) commitValue();
}

void NumericFieldView::editingFinished() {
    if (enterPressed_) {
        // Enter commits, once: when the value changed, valueChanged has already done it.
        enterPressed_ = false;
        if (commits_ == commitsAtEnter_) commitValue();
        if (activates_) deliverCommit(panel_, activates_);
    } else if (widgetValue() != shown_) {
        commitValue();  // left the field after a change that was not committed yet
    }
}

void NumericFieldView::commitValue() {
    Control* c = model();
    if (!c) return;
    double v = widgetValue();
    if (isDouble_) {
        c->doubleValue = v;
    } else {
        c->intValue = int(v);
    }
    shown_ = v;
    ++commits_;
    deliverCommit(panel_, id_);
}

}  // namespace rt::qt
