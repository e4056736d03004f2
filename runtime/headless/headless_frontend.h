#pragma once
// The headless front end: no windows. Popup answers are queued in advance by a script or a test,
// the clock is virtual, and the end of the process becomes an exception the driver catches.

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>

#include "runtime/core/frontend.h"

namespace rt {

// Thrown by exitProgram: the program ended with `status`.
struct ProcessExit {
    int status;
};

// Thrown when a popup appears that has no queued answer of its kind.
struct UnansweredPopup : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct FileAnswer {
    int result = 0;
    std::string path;
};

class HeadlessFrontEnd : public FrontEnd {
public:
    // Every popup shown is reported here as `popup KIND "TITLE" "TEXT"`, and every desktop
    // notification.
    std::function<void(const std::string&)> report;

    std::deque<FileAnswer> fileAnswers;
    std::deque<int> confirmAnswers;
    std::deque<std::string> commentAnswers;
    std::deque<int> buttonAnswers;  // a question answered by its buttons: the button's number
    int messageAnswers = 0;

    // The virtual clock: set forward only.
    void setClock(double seconds);
    void advanceClock(double seconds);
    void setDate(const std::string& mmddyyyy, const std::string& hhmmss);
    // When true, Delay also waits in real time (the instrument on the line needs the time).
    bool realDelays = true;

    void messagePopup(const std::string& title, const std::string& message) override;
    int confirmPopup(const std::string& title, const std::string& question) override;
    int genericPopup(const GenericPopupRequest& request, std::string& response) override;
    int fileSelectPopup(const FileSelectRequest& request, std::string& path) override;
    // Reported as `notification "SUMMARY" "BODY"` (urgent: `notification urgent ...`).
    void desktopNotification(const std::string& summary, const std::string& body,
                             bool urgent) override;
    // tevran.conf in the program's directory: a script's or test's settings stay in its own.
    std::string userSettingsFile() override;
    int runUserInterface() override { return 0; }
    [[noreturn]] void exitProgram(int status) override;
    double now() override { return clock_; }
    void delay(double seconds) override;
    std::string dateText() override { return date_; }
    std::string timeText() override { return time_; }

private:
    void show(const std::string& kind, const std::string& title, const std::string& text);
    double clock_ = 0.0;
    std::string date_ = "01-01-2026";
    std::string time_ = "00:00:00";
};

// A text quoted for a script: "..." with \t \r \n \\ \" and \xHH for other bytes outside
// printable ASCII.
std::string quoteText(const std::string& text);

}  // namespace rt
