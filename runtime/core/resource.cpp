// Reading TEVRAN.uir: a JSON document of menu bars and panels (see docs/resource-format.md).
#include "runtime/core/resource.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <set>

#include "runtime/core/encoding.h"

namespace rt {

namespace {

constexpr const char* kFormat = "TEVRAN user interface resources 1";

struct KindName {
    const char* name;
    ControlKind kind;
    ValueType defaultType;
};
constexpr KindName kKinds[] = {
    {"numeric", ControlKind::Numeric, ValueType::Double},
    {"numericDisplay", ControlKind::NumericDisplay, ValueType::Double},
    {"switch", ControlKind::Switch, ValueType::Int},
    {"selector", ControlKind::Selector, ValueType::Int},
    {"list", ControlKind::ListBox, ValueType::Int},
    {"text", ControlKind::TextDisplay, ValueType::String},
    {"string", ControlKind::TextInput, ValueType::String},
    {"led", ControlKind::Led, ValueType::Int},
    {"mark", ControlKind::Mark, ValueType::None},
    {"button", ControlKind::Button, ValueType::None},
    {"group", ControlKind::Group, ValueType::None},
    {"label", ControlKind::Label, ValueType::None},
    {"graph", ControlKind::Graph, ValueType::None},
    {"timer", ControlKind::Timer, ValueType::None},
};

std::string text(const QJsonObject& o, const char* key) {
    return utf8ToWindows1252(o.value(QLatin1String(key)).toString().toStdString());
}

int integer(const QJsonObject& o, const char* key, int fallback = 0) {
    return o.value(QLatin1String(key)).toInt(fallback);
}

// Colours are written "0xRRGGBB" (or as a number).
bool colour(const QJsonObject& o, const char* key, int& out) {
    QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined()) return true;
    if (v.isDouble()) {
        out = v.toInt();
        return true;
    }
    bool ok = false;
    uint value = v.toString().toUInt(&ok, 16);
    if (!ok || value > 0xFFFFFF) return false;
    out = static_cast<int>(value);
    return true;
}

// "anchors": the words left, right, top, bottom separated by blanks; a direction with neither of
// its two words keeps to the left or the top.
bool anchors(const QJsonObject& o, int& out) {
    QJsonValue v = o.value(QLatin1String("anchors"));
    if (v.isUndefined()) return true;
    int a = 0;
    for (const QString& word : v.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("left")) a |= AnchorLeft;
        else if (word == QLatin1String("right")) a |= AnchorRight;
        else if (word == QLatin1String("top")) a |= AnchorTop;
        else if (word == QLatin1String("bottom")) a |= AnchorBottom;
        else return false;
    }
    if (!(a & (AnchorLeft | AnchorRight))) a |= AnchorLeft;
    if (!(a & (AnchorTop | AnchorBottom))) a |= AnchorTop;
    out = a;
    return true;
}

class Reader {
public:
    Reader(const std::string& fileName, std::string& error) : file_(fileName), error_(error) {}

    bool fail(const std::string& where, const std::string& what) {
        error_ = file_ + ": " + (where.empty() ? "" : where + ": ") + what;
        return false;
    }

    bool axis(const QJsonObject& axes, const char* key, AxisSetting& out, const std::string& where) {
        QJsonValue v = axes.value(QLatin1String(key));
        if (v.isUndefined()) return true;
        if (!v.isObject()) return fail(where, std::string("axis '") + key + "' is not an object");
        QJsonObject a = v.toObject();
        QString mode = a.value(QLatin1String("mode")).toString(QStringLiteral("manual"));
        if (mode != QLatin1String("manual") && mode != QLatin1String("auto"))
            return fail(where, std::string("axis '") + key + "' has mode other than manual or auto");
        out.mode = mode == QLatin1String("auto") ? 1 : 0;
        out.min = a.value(QLatin1String("min")).toDouble(out.min);
        out.max = a.value(QLatin1String("max")).toDouble(out.max);
        return true;
    }

    bool control(const QJsonObject& o, const std::string& panelName, Control& c) {
        c.id = integer(o, "id", -1);
        c.name = text(o, "name");
        std::string where = "panel " + panelName + ", control " + (c.name.empty() ? "?" : c.name);
        if (c.id <= 0) return fail(where, "missing or invalid \"id\"");
        if (c.name.empty()) return fail(where, "missing \"name\"");
        std::string kind = o.value(QLatin1String("kind")).toString().toStdString();
        const KindName* k = nullptr;
        for (const KindName& candidate : kKinds)
            if (kind == candidate.name) k = &candidate;
        if (!k) return fail(where, "unknown kind '" + kind + "'");
        c.kind = k->kind;
        c.type = k->defaultType;
        std::string type = o.value(QLatin1String("type")).toString().toStdString();
        if (type == "int")
            c.type = ValueType::Int;
        else if (type == "double")
            c.type = ValueType::Double;
        else if (type == "string")
            c.type = ValueType::String;
        else if (!type.empty())
            return fail(where, "unknown type '" + type + "'");
        c.label = text(o, "label");
        c.x = integer(o, "x");
        c.y = integer(o, "y");
        c.width = integer(o, "width");
        c.height = integer(o, "height");
        c.group = integer(o, "group");
        c.scrolls = o.value(QLatin1String("scrolls")).toBool(false);
        c.activatesName = text(o, "activates");
        if (!anchors(o, c.anchors))
            return fail(where, "\"anchors\" holds a word other than left, right, top, bottom");
        c.tooltip = text(o, "tooltip");
        c.shortcut = o.value(QLatin1String("shortcut")).toString().toStdString();
        c.minimum = o.value(QLatin1String("min")).toDouble(c.minimum);
        c.maximum = o.value(QLatin1String("max")).toDouble(c.maximum);
        c.increment = o.value(QLatin1String("increment")).toDouble(c.increment);
        c.precision = integer(o, "precision", c.precision);
        c.textSize = integer(o, "textSize");
        c.callbackName = text(o, "callback");
        c.dimmed = o.value(QLatin1String("dimmed")).toBool(false);
        c.visible = o.value(QLatin1String("visible")).toBool(true);
        if (!colour(o, "colour", c.colour)) return fail(where, "invalid \"colour\"");
        QJsonValue value = o.value(QLatin1String("value"));
        if (!value.isUndefined()) {
            if (c.type == ValueType::String) {
                c.stringValue = text(o, "value");
            } else {
                c.doubleValue = value.toDouble();
                c.intValue = static_cast<int>(c.doubleValue);
            }
        }
        for (const QJsonValue& item : o.value(QLatin1String("items")).toArray()) {
            QJsonObject io = item.toObject();
            c.items.push_back({text(io, "label"), integer(io, "value")});
        }
        if (c.kind == ControlKind::Timer) {
            c.interval = o.value(QLatin1String("interval")).toDouble(1.0);
            c.visible = false;
        }
        if (c.kind == ControlKind::Graph) {
            c.graph = std::make_shared<GraphModel>();
            c.graph->axis[0].max = 100.0;
            c.graph->xLabel = text(o, "xLabel");
            c.graph->leftLabel = text(o, "leftLabel");
            c.graph->rightLabel = text(o, "rightLabel");
            QJsonObject axes = o.value(QLatin1String("axes")).toObject();
            if (!axis(axes, "x", c.graph->axis[0], where) ||
                !axis(axes, "left", c.graph->axis[1], where) ||
                !axis(axes, "right", c.graph->axis[2], where))
                return false;
        }
        return true;
    }

    bool menuBar(const QJsonObject& o, MenuBar& bar) {
        bar.name = text(o, "name");
        std::string where = "menu bar " + bar.name;
        if (bar.name.empty()) return fail("menu bar", "missing \"name\"");
        std::set<int> ids;
        for (const QJsonValue& mv : o.value(QLatin1String("menus")).toArray()) {
            QJsonObject mo = mv.toObject();
            MenuItem menu{integer(mo, "id", -1), text(mo, "name"), text(mo, "label"), {}, nullptr,
                          false, {}};
            if (menu.id <= 0 || !ids.insert(menu.id).second)
                return fail(where, "menu " + menu.name + " has a missing or repeated id");
            for (const QJsonValue& iv : mo.value(QLatin1String("items")).toArray()) {
                QJsonObject io = iv.toObject();
                MenuItem item{integer(io, "id", -1), text(io, "name"), text(io, "label"),
                              text(io, "callback"), nullptr, false, {}};
                if (item.id <= 0 || !ids.insert(item.id).second)
                    return fail(where, "item " + item.name + " has a missing or repeated id");
                menu.items.push_back(std::move(item));
            }
            bar.menus.push_back(std::move(menu));
        }
        return true;
    }

    bool panel(const QJsonObject& o, PanelResource& out) {
        Panel& p = out.panel;
        p.resourceId = integer(o, "resourceId", -1);
        p.name = text(o, "name");
        std::string where = "panel " + (p.name.empty() ? std::string("?") : p.name);
        if (p.resourceId <= 0) return fail(where, "missing or invalid \"resourceId\"");
        if (p.name.empty()) return fail(where, "missing \"name\"");
        p.title = text(o, "title");
        p.x = integer(o, "x");
        p.y = integer(o, "y");
        p.width = integer(o, "width", p.width);
        p.height = integer(o, "height", p.height);
        p.resizable = o.value(QLatin1String("resizable")).toBool(false);
        p.minWidth = std::clamp(integer(o, "minWidth", p.width), 1, p.width);
        p.minHeight = std::clamp(integer(o, "minHeight", p.height), 1, p.height);
        p.callbackName = text(o, "callback");
        out.menuBarName = text(o, "menuBar");
        std::set<int> ids;
        for (const QJsonValue& cv : o.value(QLatin1String("controls")).toArray()) {
            if (!cv.isObject()) return fail(where, "a control is not an object");
            Control c;
            if (!control(cv.toObject(), p.name, c)) return false;
            if (!ids.insert(c.id).second)
                return fail(where, "control id " + std::to_string(c.id) + " is used twice");
            p.controls.push_back(std::move(c));
        }
        for (const Control& c : p.controls)
            if (c.group != 0 && (!ids.count(c.group) || p.find(c.group) == nullptr ||
                                 const_cast<Panel&>(p).find(c.group)->kind != ControlKind::Group))
                return fail(where + ", control " + c.name, "\"group\" names no group control");
        for (Control& c : p.controls) {
            if (c.activatesName.empty()) continue;
            const Control* button = p.findByName(c.activatesName);
            if (!button || button->kind != ControlKind::Button)
                return fail(where + ", control " + c.name, "\"activates\" names no button");
            c.activates = button->id;
        }
        return true;
    }

private:
    std::string file_;
    std::string& error_;
};

}  // namespace

const PanelResource* ResourceFile::panel(int resourceId) const {
    for (const PanelResource& p : panels)
        if (p.panel.resourceId == resourceId) return &p;
    return nullptr;
}

bool parseResource(const std::string& content, const std::string& fileName, ResourceFile& out,
                   std::string& error) {
    Reader reader(fileName, error);
    QJsonParseError parseError{};
    QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(content.data(), static_cast<qsizetype>(content.size())), &parseError);
    if (doc.isNull())
        return reader.fail("", "not valid JSON at byte " + std::to_string(parseError.offset) +
                                   " (" + parseError.errorString().toStdString() + ")");
    if (!doc.isObject()) return reader.fail("", "the document is not a JSON object");
    QJsonObject root = doc.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
        return reader.fail("", std::string("\"format\" is not \"") + kFormat + "\"");
    out = ResourceFile{};
    for (const QJsonValue& mv : root.value(QLatin1String("menuBars")).toArray()) {
        MenuBar bar;
        if (!reader.menuBar(mv.toObject(), bar)) return false;
        out.menuBars[bar.name] = std::move(bar);
    }
    std::set<int> resourceIds;
    for (const QJsonValue& pv : root.value(QLatin1String("panels")).toArray()) {
        if (!pv.isObject()) return reader.fail("", "a panel is not an object");
        PanelResource p;
        if (!reader.panel(pv.toObject(), p)) return false;
        if (!resourceIds.insert(p.panel.resourceId).second)
            return reader.fail("panel " + p.panel.name, "resource id used twice");
        if (!p.menuBarName.empty() && !out.menuBars.count(p.menuBarName))
            return reader.fail("panel " + p.panel.name, "unknown menu bar " + p.menuBarName);
        out.panels.push_back(std::move(p));
    }
    if (out.panels.empty()) return reader.fail("", "no panels");
    return true;
}

bool readResourceFile(const std::string& path, ResourceFile& out, std::string& error) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) {
        error = path + ": cannot be read (" + f.errorString().toStdString() + ")";
        return false;
    }
    QByteArray bytes = f.readAll();
    return parseResource(bytes.toStdString(), path, out, error);
}

}  // namespace rt
