#pragma once
// A panel's menu bar as a QMenuBar: one QMenu per top-level entry, one QAction per item.

#include <QObject>
#include <map>

#include "runtime/core/model.h"

class QAction;
class QMenu;
class QMenuBar;

namespace rt::qt {

class MenuBarView : public QObject {
    Q_OBJECT
public:
    // Fills `bar` from the menu bar record; choosing an item sends it to the program.
    MenuBarView(const MenuBar& menuBar, QMenuBar* bar);
    // Dimmed states from the model.
    void refresh(const MenuBar& menuBar);
    // The action of an item, or the menu action of a top-level entry; null if none.
    QAction* action(int id) const;
    QMenuBar* bar() const { return bar_; }

private:
    void addItems(QMenu* menu, const std::vector<MenuItem>& items);
    void refreshItems(const std::vector<MenuItem>& items);

    int handle_;
    QMenuBar* bar_;
    std::map<int, QAction*> actions_;
};

}  // namespace rt::qt
