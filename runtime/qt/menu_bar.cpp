#include "runtime/qt/menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "runtime/qt/event_delivery.h"
#include "runtime/qt/text_encoding.h"

namespace rt::qt {

MenuBarView::MenuBarView(const MenuBar& menuBar, QMenuBar* bar)
    : QObject(bar), handle_(menuBar.handle), bar_(bar) {
    bar->setObjectName(QString::fromStdString(menuBar.name));
    for (const MenuItem& entry : menuBar.menus) {
        if (entry.items.empty()) {
            // An entry without items is itself a command.
            QAction* a = bar->addAction(fromCp1252(entry.label));
            a->setObjectName(QString::fromStdString(entry.name));
            int id = entry.id;
            connect(a, &QAction::triggered, this, [this, id] { deliverMenu(handle_, id); });
            actions_[entry.id] = a;
            continue;
        }
        QMenu* menu = bar->addMenu(fromCp1252(entry.label));
        menu->setObjectName(QString::fromStdString(entry.name));
        menu->menuAction()->setObjectName(QString::fromStdString(entry.name));
        actions_[entry.id] = menu->menuAction();
        addItems(menu, entry.items);
    }
    refresh(menuBar);
}

void MenuBarView::addItems(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (!item.items.empty()) {
            QMenu* sub = menu->addMenu(fromCp1252(item.label));
            sub->menuAction()->setObjectName(QString::fromStdString(item.name));
            actions_[item.id] = sub->menuAction();
            addItems(sub, item.items);
            continue;
        }
        QAction* a = menu->addAction(fromCp1252(item.label));
        a->setObjectName(QString::fromStdString(item.name));
        int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { deliverMenu(handle_, id); });
        actions_[item.id] = a;
    }
}

void MenuBarView::refresh(const MenuBar& menuBar) { refreshItems(menuBar.menus); }

void MenuBarView::refreshItems(const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (QAction* a = action(item.id)) a->setEnabled(!item.dimmed);
        refreshItems(item.items);
    }
}

QAction* MenuBarView::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

}  // namespace rt::qt
