#pragma once
// What the front end's tests share: one QApplication for the whole binary, a fresh model and
// front end per test, and bounded waiting on the event loop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <clocale>
#include <functional>
#include <memory>

#include "runtime/core/model.h"
#include "runtime/qt/qt_frontend.h"

namespace guitest {

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "test_qt_frontend";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);  // lives until the process ends
        std::setlocale(LC_NUMERIC, "C");
        return a;
    }();
    return *app;
}

// Runs the event loop until `done` holds or `ms` milliseconds have passed; returns `done()`.
inline bool pumpUntil(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Runs the event loop for `ms` milliseconds.
inline void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

// A fresh model and a Qt front end in use.
class FrontEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        rt::Model::instance().reset();
        fe = std::make_unique<rt::QtFrontEnd>();
        rt::setFrontEnd(fe.get());
    }
    void TearDown() override {
        rt::setFrontEnd(nullptr);
        fe.reset();
        rt::Model::instance().reset();
        QApplication::processEvents();
    }
    // Adds the panel to the model and lets the front end build it, as LoadPanel does.
    int load(rt::Panel p) {
        int h = rt::Model::instance().addPanel(std::move(p));
        fe->panelLoaded(h);
        return h;
    }
    template <class W>
    W* widget(int panel, int control) {
        auto* w = qobject_cast<W*>(fe->controlWidget(panel, control));
        EXPECT_NE(w, nullptr) << "control " << control;
        return w;
    }

    std::unique_ptr<rt::QtFrontEnd> fe;
};

inline rt::Control makeControl(int id, rt::ControlKind kind, rt::ValueType type, int x, int y,
                               int w, int h, const char* label = "") {
    rt::Control c;
    c.id = id;
    c.name = "C" + std::to_string(id);
    c.kind = kind;
    c.type = type;
    c.label = label;
    c.x = x;
    c.y = y;
    c.width = w;
    c.height = h;
    return c;
}

}  // namespace guitest
