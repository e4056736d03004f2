// The headless front end.
#include "runtime/headless/headless_frontend.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "runtime/core/model.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"

namespace rt {

std::string quoteText(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        auto b = static_cast<unsigned char>(ch);
        switch (ch) {
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            default:
                if (b >= 0x20 && b < 0x7F) {
                    out += ch;
                } else {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", b);
                    out += hex;
                }
        }
    }
    return out + "\"";
}

void HeadlessFrontEnd::setClock(double seconds) {
    if (seconds > clock_) clock_ = seconds;
}

void HeadlessFrontEnd::advanceClock(double seconds) {
    if (seconds > 0) clock_ += seconds;
}

void HeadlessFrontEnd::setDate(const std::string& mmddyyyy, const std::string& hhmmss) {
    date_ = mmddyyyy;
    time_ = hhmmss;
}

void HeadlessFrontEnd::show(const std::string& kind, const std::string& title,
                            const std::string& text) {
    if (report) report("popup " + kind + " " + quoteText(title) + " " + quoteText(text));
}

void HeadlessFrontEnd::messagePopup(const std::string& title, const std::string& message) {
    show("message", title, message);
    if (messageAnswers <= 0) throw UnansweredPopup("message popup without an answer");
    --messageAnswers;
}

int HeadlessFrontEnd::confirmPopup(const std::string& title, const std::string& question) {
    show("confirm", title, question);
    if (confirmAnswers.empty()) throw UnansweredPopup("confirm popup without an answer");
    int a = confirmAnswers.front();
    confirmAnswers.pop_front();
    return a;
}

int HeadlessFrontEnd::genericPopup(const GenericPopupRequest& request, std::string& response) {
    if (!request.textEntry) {
        show("question", request.title, request.message);
        if (buttonAnswers.empty()) throw UnansweredPopup("question popup without an answer");
        const int pressed = buttonAnswers.front();
        buttonAnswers.pop_front();
        return pressed;
    }
    show("comment", request.title, request.message);
    if (commentAnswers.empty()) throw UnansweredPopup("comment popup without an answer");
    response = commentAnswers.front();
    commentAnswers.pop_front();
    return 1;
}

int HeadlessFrontEnd::fileSelectPopup(const FileSelectRequest& request, std::string& path) {
    show("file", request.title, request.typeList);
    if (fileAnswers.empty()) throw UnansweredPopup("file popup without an answer");
    FileAnswer a = fileAnswers.front();
    fileAnswers.pop_front();
    path = a.path;
    return a.result;
}

void HeadlessFrontEnd::desktopNotification(const std::string& summary, const std::string& body,
                                           bool urgent) {
    if (report)
        report(std::string("notification ") + (urgent ? "urgent " : "") + quoteText(summary) + " " +
               quoteText(body));
}

std::string HeadlessFrontEnd::userSettingsFile() { return joinPath(projectDir(), "tevran.conf"); }

void HeadlessFrontEnd::exitProgram(int status) { throw ProcessExit{status}; }

void HeadlessFrontEnd::delay(double seconds) {
    if (!(seconds > 0)) return;
    advanceClock(seconds);
    if (realDelays) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int HeadlessFrontEnd::saveGraphImage(int panel, int control, const std::string& path, int width,
                                     int height) {
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph || !drawPicture) return -1;
    // Without a screen, the chart's size in the panel.
    if (width <= 0 || height <= 0) {
        width = c->width;
        height = c->height;
    }
    return drawPicture(*c->graph, path, width, height);
}

}  // namespace rt
