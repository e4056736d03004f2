// The retained model: panels, controls and menu bars as data.
#include "runtime/core/model.h"

namespace rt {

Model& Model::instance() {
    static Model model;
    return model;
}

void Model::reset() {
    panels_.clear();
    menuBars_.clear();
}

int Model::addPanel(Panel p) {
    p.handle = static_cast<int>(panels_.size()) + 1;
    panels_.push_back(std::make_unique<Panel>(std::move(p)));
    return panels_.back()->handle;
}

int Model::addMenuBar(MenuBar m) {
    m.handle = static_cast<int>(menuBars_.size()) + 1;
    menuBars_.push_back(std::make_unique<MenuBar>(std::move(m)));
    return menuBars_.back()->handle;
}

Panel* Model::panel(int handle) {
    if (handle < 1 || handle > static_cast<int>(panels_.size())) return nullptr;
    return panels_[handle - 1].get();
}

MenuBar* Model::menuBar(int handle) {
    if (handle < 1 || handle > static_cast<int>(menuBars_.size())) return nullptr;
    return menuBars_[handle - 1].get();
}

Control* Model::control(int panelHandle, int id) {
    Panel* p = panel(panelHandle);
    return p ? p->find(id) : nullptr;
}

bool Model::operable(int panelHandle, int id) {
    Panel* p = panel(panelHandle);
    if (!p) return false;
    // The operator reaches only controls of panels that are shown (a child panel also needs its
    // parent shown).
    for (Panel* q = p; q; q = q->parent ? panel(q->parent) : nullptr)
        if (!q->visible) return false;
    // A control inside a dimmed or hidden group is as inoperable as the group; groups may nest.
    for (int depth = 0; depth < 16; ++depth) {
        Control* c = p->find(id);
        if (!c) return false;
        if (c->dimmed || !c->visible) return false;
        if (c->group == 0) return true;
        id = c->group;
    }
    return false;
}

Control* Panel::find(int id) {
    for (Control& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

Control* Panel::findByName(const std::string& controlName) {
    for (Control& c : controls)
        if (c.name == controlName) return &c;
    return nullptr;
}

MenuItem* MenuBar::find(int id) {
    for (MenuItem& m : menus) {
        if (m.id == id) return &m;
        for (MenuItem& item : m.items)
            if (item.id == id) return &item;
    }
    return nullptr;
}

}  // namespace rt
