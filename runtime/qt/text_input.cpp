// The one-line text field: Enter or leaving the field commits a changed text, in the program's
// encoding; the program's own setting of the text never commits.
#include <QLineEdit>
#include <QSignalBlocker>

#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/text_encoding.h"

namespace rt::qt {

TextInputView::TextInputView(int panel, const Control& c, QWidget* container, const QRect& rect,
                             const CaptionLayout& layout)
    : ControlView(panel, c) {
    auto* edit = new QLineEdit;
    edit->setFont(controlFont(edit->font(), c.textSize));
    connect(edit, &QLineEdit::editingFinished, this, [this] {
        Control* m = model();
        if (!m || lineEdit()->text() == shown_) return;
        shown_ = lineEdit()->text();
        m->stringValue = toCp1252(shown_);
        deliverCommit(panel_, id_);
    });
    place(container, edit, rect, c, layout);
}

QLineEdit* TextInputView::lineEdit() const { return static_cast<QLineEdit*>(widget_); }

void TextInputView::refreshValue(const Control& c) {
    const QString text = fromCp1252(c.stringValue);
    if (text == shown_ && lineEdit()->text() == text) return;
    QSignalBlocker block(widget_);
    lineEdit()->setText(text);
    shown_ = text;
}

}  // namespace rt::qt
