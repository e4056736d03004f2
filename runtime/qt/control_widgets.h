#pragma once
// One view per control of a panel: the Qt widgets that show it, refreshed from the model and
// turning the operator's input into commits.
//
// A view never holds a pointer into the model: the model's vectors may move. It reads the
// control again through its panel handle and id.

#include <QColor>
#include <QObject>
#include <QString>
#include <QWidget>
#include <vector>

#include "runtime/core/model.h"
#include "runtime/qt/control_layout.h"

class QLabel;
class QComboBox;
class QListWidget;
class QCheckBox;
class QPushButton;
class QGroupBox;
class QAbstractSpinBox;
class QLineEdit;

namespace rt::qt {

class ChartView;

class ControlView : public QObject {
    Q_OBJECT
public:
    ControlView(int panel, const Control& c);
    int panel() const { return panel_; }
    int id() const { return id_; }
    // The widget the operator uses or reads (the spin box, the label with the value, ...).
    QWidget* widget() const { return widget_; }
    // What sits at the control's rectangle (the widget, or a box holding caption and widget).
    QWidget* outer() const { return outer_; }
    QLabel* caption() const { return caption_; }
    // Brings the widgets up to date with the model, without a commit.
    void refresh(const Control& c);

protected:
    // Puts `widget` at `rect` in `container`, with the caption where `layout` says.
    void place(QWidget* container, QWidget* widget, const QRect& rect, const Control& c,
               const CaptionLayout& layout);
    virtual void refreshValue(const Control& c) = 0;
    Control* model() const;

    int panel_;
    int id_;
    QWidget* outer_ = nullptr;
    QWidget* widget_ = nullptr;
    QLabel* caption_ = nullptr;
    bool captionOutside_ = false;
    std::string shownLabel_;
};

// Creates the view of one control in `container` (the panel area or a group box). `rect` is in
// container coordinates. Returns null for controls without widgets (timers). The view is a child
// of its outer widget, so it goes away with it.
ControlView* makeControlView(int panel, const Control& c, QWidget* container, const QRect& rect,
                             const CaptionLayout& caption);

// The mouse wheel changes the field's value only while it has the keyboard focus; otherwise the
// wheel goes on to what holds it (a scrolling column).
void wheelOnlyWithFocus(QWidget* field);

// Point size for a control's text, 0 for the default.
QFont controlFont(const QFont& base, int textSize);
QColor rgbColour(int rgb);
// Shows a control's text in `colour` while it is enabled; dimmed, it keeps the style's grey.
void setTextColour(QWidget* w, QColor colour);
// Text shown by a numeric indicator.
QString numberText(const Control& c);
// Height the content of a control needs (one line of its text, plus the frame).
int contentHeight(const Control& c, const QFont& base);

// ---- Individual kinds (exposed for the front end's tests) -----------------------------------

class NumericFieldView : public ControlView {
    Q_OBJECT
public:
    NumericFieldView(int panel, const Control& c, QWidget* container, const QRect& rect,
                     const CaptionLayout& layout);
    QAbstractSpinBox* spinBox() const;
    // Number of commits this field has sent (for tests).
    int commits() const { return commits_; }

protected:
    void refreshValue(const Control& c) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double widgetValue() const;
    void valueChangedByOperator();
    void editingFinished();
    void commitValue();

    bool isDouble_ = true;
    int colour_ = -1;          // the text colour shown, -1 the style's
    double shown_ = 0.0;       // the value the widget showed after the last refresh or commit
    bool enterPressed_ = false;
    int commitsAtEnter_ = 0;
    int commits_ = 0;
    int activates_ = 0;  // the button Enter presses after the commit, 0 none
};

class SelectorView : public ControlView {
    Q_OBJECT
public:
    SelectorView(int panel, const Control& c, QWidget* container, const QRect& rect,
                 const CaptionLayout& layout);
    QComboBox* combo() const;

protected:
    void refreshValue(const Control& c) override;

private:
    void chosen(int index);
    std::vector<SelectorItem> items_;
};

// A list of entries, one per line; a click on an entry (or Enter on it) chooses it and commits,
// also when it is the entry chosen already.
class ListBoxView : public ControlView {
    Q_OBJECT
public:
    ListBoxView(int panel, const Control& c, QWidget* container, const QRect& rect,
                const CaptionLayout& layout);
    QListWidget* list() const;

protected:
    void refreshValue(const Control& c) override;
    // Enter chooses the entry with the keyboard focus, if any, and presses the button the
    // list activates.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chosen(int row);
    void activate();
    std::vector<SelectorItem> items_;
    int activates_ = 0;  // the button Enter and a double click press, 0 none
};

class SwitchView : public ControlView {
    Q_OBJECT
public:
    SwitchView(int panel, const Control& c, QWidget* container, const QRect& rect);
    QCheckBox* checkBox() const;

protected:
    void refreshValue(const Control& c) override;
};

class ButtonView : public ControlView {
    Q_OBJECT
public:
    ButtonView(int panel, const Control& c, QWidget* container, const QRect& rect);
    QPushButton* button() const;

protected:
    void refreshValue(const Control& c) override;
};

// Text display and numeric indicator: a sunken box with the value, in the control's colour and
// text size.
class ReadoutView : public ControlView {
    Q_OBJECT
public:
    ReadoutView(int panel, const Control& c, QWidget* container, const QRect& rect,
                const CaptionLayout& layout);
    QLabel* valueLabel() const;

protected:
    void refreshValue(const Control& c) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A line of text wider than its box is cut at the box's edge: the whole text is then in
    // the tooltip, under the control's own.
    void tipWholeText();
    int colour_ = -1;
    bool oneLineText_ = false;
    QString ownTip_;
};

// One line of text the operator edits: Enter or leaving the field commits a changed text.
class TextInputView : public ControlView {
    Q_OBJECT
public:
    TextInputView(int panel, const Control& c, QWidget* container, const QRect& rect,
                  const CaptionLayout& layout);
    QLineEdit* lineEdit() const;

protected:
    void refreshValue(const Control& c) override;

private:
    QString shown_;  // the text after the last refresh or commit
};

// Round indicator.
class LedWidget : public QWidget {
    Q_OBJECT
public:
    explicit LedWidget(QWidget* parent);
    void setState(bool on, QColor colour, const QString& text);
    bool isOn() const { return on_; }
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool on_ = false;
    QColor colour_;
    QString text_;
};

// Rounded rectangle in the control's colour with its label centred.
class MarkWidget : public QWidget {
    Q_OBJECT
public:
    explicit MarkWidget(QWidget* parent);
    void setState(QColor colour, const QString& text);
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor colour_;
    QString text_;
};

class LedView : public ControlView {
    Q_OBJECT
public:
    LedView(int panel, const Control& c, QWidget* container, const QRect& rect);

protected:
    void refreshValue(const Control& c) override;
};

class MarkView : public ControlView {
    Q_OBJECT
public:
    MarkView(int panel, const Control& c, QWidget* container, const QRect& rect);

protected:
    void refreshValue(const Control& c) override;
};

class GroupView : public ControlView {
    Q_OBJECT
public:
    GroupView(int panel, const Control& c, QWidget* container, const QRect& rect);
    QGroupBox* box() const;

protected:
    void refreshValue(const Control& c) override;
};

// A frameless column of groups that scrolls when its panel is too short for it. The groups sit
// in `inner()`, which keeps the column's height and follows its width.
class ScrollColumnView : public ControlView {
    Q_OBJECT
  public:
    ScrollColumnView(int panel, const Control& c, QWidget* container, const QRect& rect);
    QWidget* inner() const { return inner_; }
    // Fits the inner widget to the column's present size; returns how much narrower than
    // `designWidth` it is (a vertical scroll bar takes its width off the groups' room).
    int fitInner(int designWidth, int designHeight);

  protected:
    void refreshValue(const Control&) override {}

  private:
    QWidget* inner_;
};

class LabelView : public ControlView {
    Q_OBJECT
public:
    LabelView(int panel, const Control& c, QWidget* container, const QRect& rect);

protected:
    void refreshValue(const Control& c) override;
};

class GraphView : public ControlView {
    Q_OBJECT
public:
    GraphView(int panel, const Control& c, QWidget* container, const QRect& rect);
    ChartView* chart() const;
    // Redraws the chart from the graph model.
    void redraw();

protected:
    void refreshValue(const Control& c) override;
};

}  // namespace rt::qt
