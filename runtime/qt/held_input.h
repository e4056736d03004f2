#pragma once
// Operator input that arrives while a callback waits for the instrument: held, then replayed in
// order once no callback runs, each piece where the operator aimed it.
//
// Rules:
// - While holding, mouse buttons, double clicks, the wheel and keys are taken off at their
//   window as they arrive (filter()). Pointer moves with no button down are dropped: they aim at
//   nothing, and replayed later they would point at a place the pointer has left.
// - A press acts on the widget that was under the pointer when it was made, at the place within
//   it where it was made, even if the pointer has moved or another window has come up since. The
//   moves and the release that follow it go to that same widget, as the window system's grab
//   sends them. A press whose widget is gone by then is dropped with what follows it.
// - A press gives the keyboard focus as a click does (to the nearest widget that takes focus by
//   click), right before it acts.
// - A key goes to the widget that had the keyboard focus when it was typed. When that widget is
//   gone or hidden (its panel closed meanwhile), it goes to the main window.
// - A focus change during a wait commits no field: no widget is told it lost the focus while
//   holding, so none takes it as "left the field". The replayed clicks move the focus again.
// - Events for the program raised during a wait (hold()) queue with the input, in one order.
// - release() hands the queue back from the event loop. If a replayed event starts a callback
//   that waits in its turn, the input held then queues behind what is still to be replayed.

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QEvent;
class QWidget;

namespace rt::qt {

class HeldInput : public QObject {
  public:
    // `busy` tells whether a callback runs (nothing is replayed then); `mainWindow` gives the
    // window that takes keys whose own window is gone; `drained` is called whenever the queue has
    // been handed back whole.
    HeldInput(std::function<bool()> busy, std::function<QWidget*()> mainWindow,
              std::function<void()> drained);
    ~HeldInput() override;

    // Around a wait: input is held between begin() and end().
    void begin() { holding_ = true; }
    void end() { holding_ = false; }
    bool holding() const { return holding_; }
    // Whether held input is still to be replayed.
    bool pending() const { return !queue_.empty() || scheduled_ || replaying_; }

    // Called with every event while holding: true when the event was taken.
    bool filter(QObject* watched, QEvent* event);
    // An event for the program, raised while holding.
    void hold(std::function<void()> call);
    // Replays the queue from the event loop, soon, unless a callback runs or input is held.
    void release();

  private:
    struct Entry;
    void replayAll();
    void replay(Entry& entry);
    bool takeMouse(QObject* window, QEvent* event);
    bool takeWheel(QObject* window, QEvent* event);
    bool takeKey(QObject* window, QEvent* event);

    std::function<bool()> busy_;
    std::function<QWidget*()> mainWindow_;
    std::function<void()> drained_;
    bool holding_ = false;
    bool scheduled_ = false;  // a replay is posted to the event loop
    bool replaying_ = false;
    std::deque<std::unique_ptr<Entry>> queue_;
    QPointer<QWidget> grab_;  // the widget a held press went to, until its buttons are up
    bool dropping_ = false;   // a held press aimed at nothing: its moves and release go with it
};

}  // namespace rt::qt
