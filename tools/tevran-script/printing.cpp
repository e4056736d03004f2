#include "printing.h"

#include <cstdio>
#include <functional>
#include <map>

#include "app/state.h"
#include "runtime/headless/headless_frontend.h"

std::string numberText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

namespace {
std::string intText(int v) { return std::to_string(v); }

template <class T, std::size_t N>
std::string arrayText(const T (&a)[N]) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        if (i) out += ' ';
        if constexpr (std::is_same_v<T, int>)
            out += intText(a[i]);
        else
            out += numberText(a[i]);
    }
    return out;
}

std::string modeText(int mode) { return mode ? "auto" : "manual"; }
}  // namespace

std::string colourText(int colour) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", colour & 0xFFFFFF);
    return buf;
}

bool controlValueText(const rt::Control& c, std::string& out) {
    switch (c.type) {
        case rt::ValueType::String:
            out = rt::quoteText(c.stringValue);
            return true;
        case rt::ValueType::Int:
            out = intText(c.intValue);
            return true;
        case rt::ValueType::Double:
            out = numberText(c.doubleValue);
            return true;
        default:
            return false;
    }
}

bool stateText(const std::string& name, std::string& out) {
    static const std::map<std::string, std::function<std::string()>> names = {
        {"hol", [] { return intText(app.hol); }},
        {"speichern", [] { return intText(app.speichern); }},
        {"com_open", [] { return intText(app.com_open); }},
        {"com_nummer", [] { return intText(app.com_nummer); }},
        {"o_dat_offen", [] { return intText(app.o_dat_offen); }},
        {"abtast", [] { return numberText(app.abtast); }},
        {"was", [] { return arrayText(app.was); }},
        {"skl", [] { return arrayText(app.skl); }},
        {"autoscale", [] { return arrayText(app.autoscale); }},
        {"mw", [] { return arrayText(app.mw); }},
        {"o2soll", [] { return numberText(app.o2soll); }},
        {"tstart", [] { return numberText(app.tstart); }},
        {"mzeit", [] { return numberText(app.mzeit); }},
        {"mpoint", [] { return intText(app.mpoint); }},
        {"xmin", [] { return intText(app.xmin); }},
        {"xmax", [] { return intText(app.xmax); }},
        {"rpara", [] { return arrayText(app.rpara); }},
        {"filedat", [] { return intText(app.filedat); }},
        {"datei", [] { return rt::quoteText(app.datei); }},
        {"o_dat", [] { return rt::quoteText(app.o_dat); }},
        {"mw_buf", [] { return rt::quoteText(app.mw_buf); }},
        {"writeFailed", [] { return intText(app.writeFailed); }},
    };
    auto it = names.find(name);
    if (it == names.end()) return false;
    out = it->second();
    return true;
}

std::vector<std::string> graphLines(const rt::GraphModel& g) {
    std::string head = "graph";
    const char* axisNames[3] = {"x", "left", "right"};
    for (int a = 0; a < 3; ++a)
        head += std::string(" ") + axisNames[a] + " " + modeText(g.axis[a].mode) + " " +
                numberText(g.axis[a].min) + " " + numberText(g.axis[a].max);
    head += " plots " + std::to_string(g.plots.size());
    std::vector<std::string> lines{head};
    int k = 0;
    for (const rt::Plot& p : g.plots) {
        std::string line = "plot " + std::to_string(++k) + " axis " +
                           (p.yAxis == 2 ? "right" : "left") + " colour " + colourText(p.colour) +
                           " points " + std::to_string(p.count);
        if (p.count > 0) {
            std::size_t first = p.offset, last = p.offset + p.count - 1;
            line += " first " + numberText(p.points->x[first]) + " " +
                    numberText(p.points->y[first]) + " last " + numberText(p.points->x[last]) +
                    " " + numberText(p.points->y[last]);
        }
        lines.push_back(line);
    }
    return lines;
}

std::string readoutLine(const rt::GraphModel& g) {
    return rt::quoteText(rt::readoutText(g.view.readout));
}

std::vector<std::string> bandLines(const rt::GraphModel& g) {
    double t0 = 0, t1 = 0;
    g.shownTimeSpan(t0, t1);
    std::vector<std::string> lines;
    for (int axis = 1; axis <= 2; ++axis) {
        double lo = 0, hi = 0;
        if (g.valueExtent(axis, t0, t1, lo, hi))
            lines.push_back("band " + std::to_string(axis) + " min " + numberText(lo) + " max " +
                            numberText(hi));
        else
            lines.push_back("band " + std::to_string(axis) + " none");
    }
    return lines;
}
