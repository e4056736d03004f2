#include "scenario.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <ostream>
#include <thread>

#include "app/state.h"
#include "app/system.h"
#include "printing.h"
#include "runtime/core/dispatch.h"
#include "runtime/core/end_signals.h"
#include "runtime/core/graph_view.h"
#include "runtime/core/model.h"
#include "runtime/core/resource.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/textfiles.h"

Scenario::Scenario(std::string scriptName, std::string programDir, std::ostream& out,
                   std::ostream& err)
    : script_(std::move(scriptName)), dir_(std::move(programDir)), out_(out), err_(err) {
    fe_.report = [this](const std::string& line) { out_ << line << "\n" << std::flush; };
    rt::setFrontEnd(&fe_);
    rt::watchEndSignals();
}

void Scenario::fail(const std::string& message) { throw ScriptError{message}; }

int Scenario::run(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        ++lineNo_;
        std::vector<Word> words;
        std::string error;
        try {
            takeEndRequest();
            if (!splitWords(line, words, error)) fail(error);
            if (words.empty() || (!words[0].quoted && words[0].text[0] == '#')) continue;
            execute(words);
            takeEndRequest();
        } catch (const ScriptError& e) {
            err_ << script_ << ":" << lineNo_ << ": " << e.message << "\n";
            out_ << std::flush;
            return 2;
        } catch (const rt::UnansweredPopup& e) {
            err_ << script_ << ":" << lineNo_ << ": " << e.what() << "\n";
            return 2;
        } catch (const rt::ProcessExit& e) {
            out_ << "exit " << e.status << "\n" << std::flush;
            break;
        } catch (const Stop&) {
            break;
        }
    }
    out_ << std::flush;
    return failed_ ? 1 : 0;
}

// A signal to end that came during the last command (a `shell "kill -TERM $TEVRAN_PID"`, say)
// reaches the program between two commands, as the window's event loop delivers it.
void Scenario::takeEndRequest() {
    if (rt::takeEndSignal()) rt::dispatchEndTask();
}

int Scenario::panelHandle(const std::string& name) {
    if (name == "p1") return app.p1;
    if (name == "p4") return app.p4;
    if (name == "pz") return app.pz;
    if (name == "pr") return app.pr;
    if (name == "av") return app.av;
    if (name == "pa") return app.pa;
    return 0;
}

rt::Control* Scenario::control(const std::string& name, int* panel) {
    for (const auto& p : rt::Model::instance().panels())
        if (rt::Control* c = p->findByName(name)) {
            if (panel) *panel = p->handle;
            return c;
        }
    return nullptr;
}

double Scenario::number(const Word& w) {
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(w.text.c_str(), &end);
    if (w.text.empty() || *end != '\0' || errno == ERANGE) fail("not a number: " + w.text);
    return v;
}

void Scenario::execute(const std::vector<Word>& w) {
    const std::string& cmd = w[0].text;
    auto need = [&](std::size_t n) {
        if (w.size() < n) fail("'" + cmd + "' needs " + std::to_string(n - 1) + " word(s)");
    };
    if (cmd == "start") {
        start();
    } else if (cmd == "clock") {
        need(2);
        fe_.setClock(number(w[1]));
    } else if (cmd == "date") {
        need(3);
        fe_.setDate(w[1].text, w[2].text);
    } else if (cmd == "port") {
        port(w);
    } else if (cmd == "set") {
        set(w);
    } else if (cmd == "commit") {
        need(2);
        commit(w[1].text);
    } else if (cmd == "choose") {
        need(3);
        choose(w[1].text, w[2].text);
    } else if (cmd == "shell") {
        need(2);
        // Words after the first would be left out silently, and the check would run half.
        if (w.size() > 2) fail("'shell' takes its command as one quoted text");
        shell(w[1].text);
    } else if (cmd == "menu") {
        need(2);
        menu(w[1].text);
    } else if (cmd == "close") {
        need(2);
        close(w[1].text);
    } else if (cmd == "tick") {
        tick(w);
    } else if (cmd == "answer") {
        answer(w);
    } else if (cmd == "print") {
        need(2);
        for (const std::string& line : printed(std::vector<Word>(w.begin() + 1, w.end())))
            out_ << line << "\n";
        out_ << std::flush;
    } else if (cmd == "expect") {
        expect(w);
    } else if (cmd == "zoom") {
        need(4);
        int panel = 0;
        const int id = chart(w[1].text, &panel);
        rt::zoomView(panel, id, number(w[2]), number(w[3]));
    } else if (cmd == "home") {
        need(2);
        int panel = 0;
        const int id = chart(w[1].text, &panel);
        rt::homeView(panel, id);
    } else if (cmd == "hover") {
        need(3);
        int panel = 0;
        const int id = chart(w[1].text, &panel);
        if (w[2].text == "off")
            rt::pointerLeft(panel, id);
        else
            rt::pointerMoved(panel, id, number(w[2]));
    } else if (cmd == "save") {
        need(3);
        int panel = 0;
        const int id = chart(w[1].text, &panel);
        int width = 0, height = 0;
        if (w.size() >= 5) {
            // Whole pixels that an int holds; the runtime refuses, in words, a size no picture
            // may have. 0 0 is the chart's own size.
            const double wd = number(w[3]), ht = number(w[4]);
            const auto whole = [](double n) {
                return n >= 0 && n <= std::numeric_limits<int>::max() && n == std::floor(n);
            };
            if (!whole(wd) || !whole(ht)) fail("'save' takes a size in whole pixels, or 0 0");
            width = static_cast<int>(wd);
            height = static_cast<int>(ht);
        }
        const int status = SaveGraphImage(panel, id, w[2].text.c_str(), width, height);
        if (status != 0) out_ << "save failed (" << status << "): " << fileErrorText() << "\n";
    } else if (cmd == "wait") {
        need(2);
        double s = number(w[1]);
        if (s > 0) std::this_thread::sleep_for(std::chrono::duration<double>(s));
    } else {
        fail("unknown command '" + cmd + "'");
    }
}

void Scenario::start() {
    if (tevranStartup() != 0) {
        err_ << "tevran: " << rt::lastResourceError() << "\n";
        out_ << "exit 1\n";
        throw Stop{};
    }
}

void Scenario::port(const std::vector<Word>& w) {
    if (w.size() < 3) fail("'port' needs a number and a path");
    int n = static_cast<int>(number(w[1]));
    if (n < 1 || n > 255) fail("port number outside 1..255");
    std::filesystem::path link = std::filesystem::path(dir_) / ("COM" + std::to_string(n));
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(w[2].text, link, ec);
    if (ec) fail("cannot link " + link.string() + ": " + ec.message());
}

void Scenario::set(const std::vector<Word>& w) {
    if (w.size() < 3) fail("'set' needs a control and a value");
    int panel = 0;
    rt::Control* c = control(w[1].text, &panel);
    if (!c) fail("unknown control '" + w[1].text + "'");
    if (!rt::Model::instance().operable(panel, c->id)) {
        out_ << "ignored: " << w[1].text << " is dimmed or hidden\n";
        return;
    }
    switch (c->type) {
        case rt::ValueType::String:
            c->stringValue = w[2].text;
            break;
        case rt::ValueType::Int:
        case rt::ValueType::Double: {
            // Typed into a numeric field: the field keeps the value within its range.
            double v = std::fmin(std::fmax(number(w[2]), c->minimum), c->maximum);
            if (c->type == rt::ValueType::Int) {
                c->intValue = static_cast<int>(std::lround(v));
                c->doubleValue = c->intValue;
            } else {
                c->doubleValue = v;
            }
            break;
        }
        default:
            fail("control '" + w[1].text + "' takes no value");
    }
    if (rt::FrontEnd* fe = rt::frontEnd()) fe->controlChanged(panel, c->id);
}

void Scenario::commit(const std::string& name) {
    int panel = 0;
    rt::Control* c = control(name, &panel);
    if (!c) fail("unknown control '" + name + "'");
    if (!rt::dispatchCommit(panel, c->id)) out_ << "ignored: commit " << name << "\n";
}

// Clicks the first entry of a list (or selector) whose text contains `text`.
void Scenario::choose(const std::string& name, const std::string& text) {
    int panel = 0;
    rt::Control* c = control(name, &panel);
    if (!c || c->items.empty()) fail("'" + name + "' is not a list with entries");
    for (const rt::SelectorItem& item : c->items) {
        if (item.label.find(text) == std::string::npos) continue;
        c->intValue = item.value;
        c->doubleValue = item.value;
        if (!rt::dispatchCommit(panel, c->id)) out_ << "ignored: choose " << name << "\n";
        return;
    }
    fail("no entry of " + name + " contains '" + text + "'");
}

// Runs a command with /bin/sh in the program's directory, with the driver's process id in
// TEVRAN_PID; a non-zero exit status fails the scenario like an unmet expect.
void Scenario::shell(const std::string& command) {
    out_ << std::flush;
    setenv("TEVRAN_PID", std::to_string(getpid()).c_str(), 1);
    const std::string line = "cd '" + dir_ + "' && " + command;
    int status = std::system(line.c_str());
    if (status != 0) {
        failed_ = true;
        err_ << script_ << ":" << lineNo_ << ": shell command failed (" << status << ")\n";
        out_ << "FAILED " << script_ << ":" << lineNo_ << ": shell\n";
    }
    out_ << std::flush;
}

rt::MenuItem* Scenario::menuItem(const std::string& name, int* menuBar) {
    for (const auto& bar : rt::Model::instance().menuBars())
        for (rt::MenuItem& m : bar->menus) {
            if (menuBar) *menuBar = bar->handle;
            if (m.name == name) return &m;
            for (rt::MenuItem& item : m.items)
                if (item.name == name) return &item;
        }
    return nullptr;
}

void Scenario::menu(const std::string& name) {
    int bar = 0;
    rt::MenuItem* item = menuItem(name, &bar);
    if (!item) fail("unknown menu item '" + name + "'");
    if (!rt::dispatchMenu(bar, item->id)) out_ << "ignored: menu " << name << "\n";
}

void Scenario::close(const std::string& name) {
    int handle = panelHandle(name);
    if (handle <= 0) fail("unknown panel '" + name + "'");
    if (!rt::dispatchClose(handle)) out_ << "ignored: close " << name << "\n";
}

void Scenario::tick(const std::vector<Word>& w) {
    long n = 1;
    double every = 0;
    std::size_t i = 1;
    if (i < w.size() && w[i].text != "every") n = static_cast<long>(number(w[i++]));
    if (i < w.size()) {
        if (w[i].text != "every" || i + 1 >= w.size()) fail("'tick' takes [N] [every DT]");
        every = number(w[i + 1]);
    }
    int panel = 0;
    rt::Control* timerControl = control("MAIN_TIMER", &panel);
    if (!timerControl) fail("no MAIN_TIMER (was 'start' run?)");
    for (long k = 0; k < n; ++k) {
        if (every > 0) fe_.advanceClock(every);
        rt::dispatchTimerTick(panel, timerControl->id);
    }
}

void Scenario::answer(const std::vector<Word>& w) {
    if (w.size() < 2) fail("'answer' needs a popup kind");
    const std::string& kind = w[1].text;
    if (kind == "file") {
        if (w.size() < 3) fail("'answer file' needs a result");
        rt::FileAnswer a{static_cast<int>(number(w[2])), w.size() > 3 ? w[3].text : ""};
        fe_.fileAnswers.push_back(a);
    } else if (kind == "confirm") {
        if (w.size() < 3) fail("'answer confirm' needs 0 or 1");
        fe_.confirmAnswers.push_back(static_cast<int>(number(w[2])));
    } else if (kind == "comment") {
        fe_.commentAnswers.push_back(w.size() > 2 ? w[2].text : "");
    } else if (kind == "message") {
        ++fe_.messageAnswers;
    } else if (kind == "button") {
        if (w.size() < 3) fail("'answer button' needs the button's number");
        fe_.buttonAnswers.push_back(static_cast<int>(number(w[2])));
    } else {
        fail("unknown popup kind '" + kind + "'");
    }
}

int Scenario::chart(const std::string& name, int* panel) {
    rt::Control* c = control(name, panel);
    if (!c || !c->graph) fail("'" + name + "' is not a graph");
    lastChart_ = name;
    return c->id;
}

std::vector<std::string> Scenario::printed(const std::vector<Word>& w) {
    const std::string& what = w[0].text;
    if (what == "readout" || what == "band") {
        // Of the chart named, else of the one the last zoom, home or hover named.
        int panel = 0;
        const int id = chart(w.size() >= 2 ? w[1].text : lastChart_, &panel);
        const rt::GraphModel& g = *rt::Model::instance().control(panel, id)->graph;
        return what == "readout" ? std::vector<std::string>{"readout = " + readoutLine(g)}
                                 : bandLines(g);
    }
    if (what == "graph") {
        rt::Control* g = control("MAIN_STRIPCHART");
        if (!g || !g->graph) fail("no graph (was 'start' run?)");
        return graphLines(*g->graph);
    }
    if (what == "state") {
        if (w.size() < 2) fail("'print state' needs a name");
        std::string v;
        if (!stateText(w[1].text, v)) fail("unknown state name '" + w[1].text + "'");
        return {"state " + w[1].text + " = " + v};
    }
    if (int handle = panelHandle(what); handle > 0) {
        rt::Panel* p = rt::Model::instance().panel(handle);
        if (w.size() >= 2 && w[1].text == "title")
            return {what + " title = " + rt::quoteText(p ? p->title : "")};
        return {what + (p && p->visible ? " shown" : " hidden")};
    }
    int panel = 0;
    rt::Control* c = control(what, &panel);
    const rt::MenuItem* item = c ? nullptr : menuItem(what);
    if (!c && !item) fail("unknown control '" + what + "'");
    if (w.size() >= 2) {
        const std::string& attr = w[1].text;
        if (attr == "dimmed")
            return {what + " dimmed = " + std::to_string(c ? c->dimmed : item->dimmed)};
        if (!c) fail("a menu item has only 'dimmed'");
        if (attr == "visible") return {what + " visible = " + std::to_string(c->visible)};
        if (attr == "colour") return {what + " colour = " + colourText(c->colour)};
        if (attr == "interval") return {what + " interval = " + numberText(c->interval)};
        fail("unknown attribute '" + attr + "'");
    }
    if (!c) fail("a menu item has no value");
    std::string v;
    if (!controlValueText(*c, v)) fail("control '" + what + "' has no value");
    return {what + " = " + v};
}

void Scenario::expect(const std::vector<Word>& w) {
    std::size_t eq = 1;
    // "WHAT = VALUE" compares the value; "WHAT ~ TEXT" wants TEXT somewhere in it.
    while (eq < w.size() && !((w[eq].text == "=" || w[eq].text == "~") && !w[eq].quoted)) ++eq;
    if (eq >= w.size() || eq == 1) fail("'expect' needs WHAT = VALUE");
    std::vector<std::string> lines = printed(std::vector<Word>(w.begin() + 1, w.begin() + eq));
    std::string got = lines.front();
    std::string want;
    for (std::size_t i = eq + 1; i < w.size(); ++i) {
        if (!want.empty()) want += ' ';
        want += w[i].quoted ? rt::quoteText(w[i].text) : w[i].text;
    }
    // The printed line is "WHAT = VALUE" (or "PANEL shown"); compare its value part.
    std::string value;
    std::size_t pos = got.find(" = ");
    if (pos != std::string::npos)
        value = got.substr(pos + 3);
    else
        value = got.substr(got.rfind(' ') + 1);
    out_ << got << "\n";
    bool held = value == want;
    if (w[eq].text == "~") {
        // Both sides are quoted texts: look for the wanted one without its quotes.
        std::string part =
            want.size() >= 2 && want.front() == '"' ? want.substr(1, want.size() - 2) : want;
        held = value.find(part) != std::string::npos;
    }
    if (!held) {
        failed_ = true;
        err_ << script_ << ":" << lineNo_ << ": expected " << want << ", got " << value << "\n";
        out_ << "FAILED " << script_ << ":" << lineNo_ << ": expected " << want << "\n";
    }
    out_ << std::flush;
}
