// Panels, controls and menu bars: the operations the program calls.
#include "runtime/panels.h"

#include <QFileInfo>
#include <cmath>
#include <map>

#include "runtime/core/callbacks.h"
#include "runtime/core/frontend.h"
#include "runtime/core/model.h"
#include "runtime/core/program_dirs.h"
#include "runtime/core/resource.h"
#include "runtime/textfiles.h"

namespace rt {

namespace {
std::string fallbackDir;
std::string lastError;
std::map<std::string, ResourceFile> cache;

template <class F>
void notify(F&& f) {
    if (FrontEnd* fe = frontEnd()) f(*fe);
}

// Binds a callback name to the program's function of the needed shape.
template <class Fn>
bool bindCallback(const std::string& name, Fn CallbackBinding::*member, Fn& out, const std::string& where) {
    if (name.empty()) return true;
    const CallbackBinding* b = findCallback(name);
    if (!b || !(b->*member)) {
        lastError = where + ": unknown callback '" + name + "'";
        return false;
    }
    out = b->*member;
    return true;
}

Control* controlOf(int panel, int control, int& err) {
    Control* c = Model::instance().control(panel, control);
    err = c ? UIE_NO_ERROR : (Model::instance().panel(panel) ? UIE_BAD_CONTROL : UIE_BAD_HANDLE);
    return c;
}

bool numeric(const Control& c) { return c.type == ValueType::Int || c.type == ValueType::Double; }

int setNumber(int panel, int control, double value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (!numeric(*c)) return UIE_BAD_TYPE;
    if (c->type == ValueType::Int) {
        c->intValue = std::isfinite(value) ? static_cast<int>(value) : 0;
        c->doubleValue = c->intValue;
    } else {
        c->doubleValue = value;
        c->intValue = std::isfinite(value) && std::fabs(value) < 2e9 ? static_cast<int>(value) : 0;
    }
    notify([&](FrontEnd& fe) { fe.controlChanged(panel, control); });
    return UIE_NO_ERROR;
}
}  // namespace

void setResourceFallbackDir(const std::string& dir) { fallbackDir = dir; }

std::string resolveResourcePath(const std::string& fileName) {
    if (!fileName.empty() && fileName[0] == '/') return fileName;
    std::string inResourceDir = joinPath(resourceDir(), fileName);
    if (fallbackDir.empty() || QFileInfo::exists(QString::fromStdString(inResourceDir)))
        return inResourceDir;
    return joinPath(fallbackDir, fileName);
}

const ResourceFile* loadedResource(const std::string& path, std::string& error) {
    auto it = cache.find(path);
    if (it != cache.end()) return &it->second;
    ResourceFile file;
    if (!readResourceFile(path, file, error)) return nullptr;
    return &cache.emplace(path, std::move(file)).first->second;
}

const std::string& lastResourceError() { return lastError; }
void setLastResourceError(const std::string& text) { lastError = text; }

int getCtrlString(int panel, int control, char* buf, int capacity) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (c->type != ValueType::String || capacity <= 0) return UIE_BAD_TYPE;
    copyBounded(buf, static_cast<std::size_t>(capacity), c->stringValue);
    return UIE_NO_ERROR;
}

}  // namespace rt

using namespace rt;

int LoadPanel(int parent, const char* resourceFile, int resourceId) {
    std::string path = resolveResourcePath(resourceFile ? resourceFile : "");
    std::string error;
    const ResourceFile* file = loadedResource(path, error);
    if (!file) {
        lastError = error;
        return UIE_RESOURCE;
    }
    const PanelResource* res = file->panel(resourceId);
    if (!res) {
        lastError = path + ": no panel with resource id " + std::to_string(resourceId);
        return UIE_RESOURCE;
    }
    if (parent != 0 && !Model::instance().panel(parent)) return UIE_BAD_HANDLE;
    Panel p = res->panel;
    p.parent = parent;
    p.visible = false;
    std::string where = path + ": panel " + p.name;
    if (!bindCallback(p.callbackName, &CallbackBinding::panel, p.callback, where)) return UIE_RESOURCE;
    for (Control& c : p.controls) {
        if (c.graph) c.graph = std::make_shared<GraphModel>(*c.graph);  // each panel its own
        if (!bindCallback(c.callbackName, &CallbackBinding::control, c.callback, where + ", control " + c.name))
            return UIE_RESOURCE;
    }
    MenuBar bar;
    if (!res->menuBarName.empty()) {
        bar = file->menuBars.at(res->menuBarName);
        for (MenuItem& menu : bar.menus)
            for (MenuItem& item : menu.items)
                if (!bindCallback(item.callbackName, &CallbackBinding::menu, item.callback,
                          where + ", menu item " + item.name))
                    return UIE_RESOURCE;
    }
    int handle = Model::instance().addPanel(std::move(p));
    if (!res->menuBarName.empty()) {
        bar.panel = handle;
        Model::instance().panel(handle)->menuBar = Model::instance().addMenuBar(std::move(bar));
    }
    notify([&](FrontEnd& fe) { fe.panelLoaded(handle); });
    return handle;
}

static int setVisible(int panel, bool visible) {
    Panel* p = Model::instance().panel(panel);
    if (!p) return UIE_BAD_HANDLE;
    p->visible = visible;
    notify([&](FrontEnd& fe) { fe.panelChanged(panel); });
    return UIE_NO_ERROR;
}

int DisplayPanel(int panel) { return setVisible(panel, true); }
int HidePanel(int panel) { return setVisible(panel, false); }

int SetActiveCtrl(int panel, int control) {
    int err;
    if (!controlOf(panel, control, err)) return err;
    Model::instance().panel(panel)->activeControl = control;
    notify([&](FrontEnd& fe) { fe.activeControlChanged(panel); });
    return UIE_NO_ERROR;
}

int GetPanelMenuBar(int panel) {
    Panel* p = Model::instance().panel(panel);
    return p ? p->menuBar : UIE_BAD_HANDLE;
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
    Panel* p = Model::instance().panel(panel);
    if (!p) return UIE_BAD_HANDLE;
    if (attribute != ATTR_TITLE) return UIE_BAD_ATTRIBUTE;
    std::string title = value ? value : "";
    if (p->title == title) return UIE_NO_ERROR;
    p->title = std::move(title);
    notify([&](FrontEnd& fe) { fe.titleChanged(panel); });
    return UIE_NO_ERROR;
}

namespace rt {
int getPanelString(int panel, int attribute, char* buf, int capacity) {
    Panel* p = Model::instance().panel(panel);
    if (!p) return UIE_BAD_HANDLE;
    if (attribute != ATTR_TITLE) return UIE_BAD_ATTRIBUTE;
    if (capacity > 0) copyBounded(buf, static_cast<std::size_t>(capacity), p->title);
    return UIE_NO_ERROR;
}
}  // namespace rt

int RunUserInterface() {
    FrontEnd* fe = frontEnd();
    return fe ? fe->runUserInterface() : 0;
}

int DisableBreakOnLibraryErrors() { return 0; }

int SetCtrlVal(int panel, int control, int value) { return setNumber(panel, control, value); }
int SetCtrlVal(int panel, int control, double value) { return setNumber(panel, control, value); }

int SetCtrlVal(int panel, int control, const char* value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (c->type != ValueType::String) return UIE_BAD_TYPE;
    c->stringValue = value ? value : "";
    notify([&](FrontEnd& fe) { fe.controlChanged(panel, control); });
    return UIE_NO_ERROR;
}

namespace {
Control* listOf(int panel, int control, int& err) {
    Control* c = controlOf(panel, control, err);
    if (c && c->kind != ControlKind::Selector && c->kind != ControlKind::ListBox) {
        err = UIE_BAD_CONTROL;
        return nullptr;
    }
    return c;
}
}  // namespace

int ClearListCtrl(int panel, int control) {
    int err;
    Control* c = listOf(panel, control, err);
    if (!c) return err;
    c->items.clear();
    notify([&](FrontEnd& fe) { fe.controlChanged(panel, control); });
    return UIE_NO_ERROR;
}

int InsertListItem(int panel, int control, int index, const char* label, int value) {
    int err;
    Control* c = listOf(panel, control, err);
    if (!c) return err;
    std::size_t at = index < 0 || std::size_t(index) > c->items.size() ? c->items.size()
                                                                        : std::size_t(index);
    c->items.insert(c->items.begin() + std::ptrdiff_t(at), SelectorItem{label ? label : "", value});
    notify([&](FrontEnd& fe) { fe.controlChanged(panel, control); });
    return UIE_NO_ERROR;
}

int GetCtrlVal(int panel, int control, int* value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (!numeric(*c) || !value) return UIE_BAD_TYPE;
    *value = c->intValue;
    return UIE_NO_ERROR;
}

int GetCtrlVal(int panel, int control, double* value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (!numeric(*c) || !value) return UIE_BAD_TYPE;
    *value = c->type == ValueType::Int ? c->intValue : c->doubleValue;
    return UIE_NO_ERROR;
}

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    switch (attribute) {
        case ATTR_DIMMED: c->dimmed = value != 0; break;
        case ATTR_VISIBLE: c->visible = value != 0; break;
        case ATTR_COLOR: c->colour = value & 0xFFFFFF; break;
        case ATTR_ACTIVE_YAXIS:
            if (!c->graph || (value != 1 && value != 2)) return UIE_BAD_ATTRIBUTE;
            c->graph->activeYAxis = value;
            return UIE_NO_ERROR;
        case ATTR_INTERVAL: return SetCtrlAttribute(panel, control, attribute, double(value));
        default: c->otherAttributes[attribute] = value; return UIE_NO_ERROR;
    }
    notify([&](FrontEnd& fe) { fe.controlChanged(panel, control); });
    return UIE_NO_ERROR;
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (attribute != ATTR_INTERVAL) return SetCtrlAttribute(panel, control, attribute, int(value));
    if (c->kind != ControlKind::Timer) return UIE_BAD_ATTRIBUTE;
    c->interval = value;
    notify([&](FrontEnd& fe) { fe.timerChanged(panel, control); });
    return UIE_NO_ERROR;
}

int GetCtrlAttribute(int panel, int control, int attribute, int* value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    switch (attribute) {
        case ATTR_DIMMED: *value = c->dimmed; break;
        case ATTR_VISIBLE: *value = c->visible; break;
        case ATTR_COLOR: *value = c->colour; break;
        case ATTR_ACTIVE_YAXIS:
            if (!c->graph) return UIE_BAD_ATTRIBUTE;
            *value = c->graph->activeYAxis;
            break;
        default: return UIE_BAD_ATTRIBUTE;
    }
    return UIE_NO_ERROR;
}

int GetCtrlAttribute(int panel, int control, int attribute, double* value) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (attribute != ATTR_INTERVAL || c->kind != ControlKind::Timer) return UIE_BAD_ATTRIBUTE;
    *value = c->interval;
    return UIE_NO_ERROR;
}

int SetMenuBarAttribute(int menuBar, int menuItem, int attribute, int value) {
    MenuBar* bar = Model::instance().menuBar(menuBar);
    if (!bar) return UIE_BAD_HANDLE;
    MenuItem* item = bar->find(menuItem);
    if (!item) return UIE_BAD_CONTROL;
    if (attribute != ATTR_DIMMED) return UIE_BAD_ATTRIBUTE;
    item->dimmed = value != 0;
    notify([&](FrontEnd& fe) { fe.menuChanged(menuBar); });
    return UIE_NO_ERROR;
}

int ResetTimer(int panel, int control) {
    int err;
    Control* c = controlOf(panel, control, err);
    if (!c) return err;
    if (c->kind != ControlKind::Timer) return UIE_BAD_ATTRIBUTE;
    ++c->timerResets;
    notify([&](FrontEnd& fe) { fe.timerChanged(panel, control); });
    return UIE_NO_ERROR;
}

int SetWaitCursor(int on) {
    notify([&](FrontEnd& fe) { fe.waitCursor(on != 0); });
    return 0;
}

int ProcessDrawEvents() {
    notify([](FrontEnd& fe) { fe.processDrawEvents(); });
    return 0;
}

bool rt::controlHasName(int panel, int id, const char* name) {
    Control* c = Model::instance().control(panel, id);
    return c && name && c->name == name;
}
