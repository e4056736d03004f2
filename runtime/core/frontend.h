#pragma once
// The interface between the run-time core and a front end (real windows or headless). The core
// changes the model and tells the front end what changed; the front end shows it, answers
// popups, runs the event loop and turns operator actions into events through dispatch.h.

#include <cstddef>
#include <string>

namespace rt {

struct FileSelectRequest {
    std::string defaultDirectory;
    std::string defaultFileSpec;
    std::string typeList;  // ';'-separated patterns
    std::string title;
    int buttonLabel = 0;  // VAL_OK_BUTTON, VAL_LOAD_BUTTON, ...
    bool restrictDirectory = false;
    bool restrictExtension = false;
    bool allowCancel = true;
    bool allowMakeDirectory = false;
    std::size_t pathCapacity = 260;  // bytes of the program's buffer, its terminating NUL included
};

struct GenericPopupRequest {
    std::string title;
    std::string message;
    std::string buttons[3];
    int maxResponseLength = 0;
    bool textEntry = true;
    int enterButton = 1;   // 1..3
    int escapeButton = 0;  // 1..3, or 0: Escape does nothing
};

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // Model changes. Texts in the model are Windows-1252.
    virtual void panelLoaded(int /*panel*/) {}
    virtual void panelChanged(int /*panel*/) {}                 // shown or hidden
    virtual void titleChanged(int /*panel*/) {}
    virtual void activeControlChanged(int /*panel*/) {}         // SetActiveCtrl
    virtual void controlChanged(int /*panel*/, int /*control*/) {}  // value or attribute
    virtual void graphChanged(int /*panel*/, int /*control*/) {}    // plots or axes
    virtual void menuChanged(int /*menuBar*/) {}
    virtual void timerChanged(int /*panel*/, int /*control*/) {}  // interval set or reset
    virtual void waitCursor(bool /*on*/) {}
    virtual void processDrawEvents() {}
    // Called every few milliseconds while a callback waits for a device (a serial exchange, a
    // delay): the windows may paint; nothing may reach the program meanwhile.
    virtual void whileWaiting() {}

    // Popups (modal). Texts are Windows-1252.
    virtual void messagePopup(const std::string& title, const std::string& message) = 0;
    virtual int confirmPopup(const std::string& title, const std::string& question) = 0;
    // A question whose Yes destroys something: No is the default and Escape's answer. A front end
    // whose answers come from a script answers it like any question.
    virtual int confirmPopupDefaultNo(const std::string& title, const std::string& question) {
        return confirmPopup(title, question);
    }
    // Returns the button pressed (1..3); `response` gets the typed text.
    virtual int genericPopup(const GenericPopupRequest& request, std::string& response) = 0;
    // Returns 0 cancelled, 1 existing file, 2 new file name, negative on an error.
    virtual int fileSelectPopup(const FileSelectRequest& request, std::string& path) = 0;
    // A message as the program ends; by default on standard error, for a front end without
    // windows.
    virtual void closingMessage(const std::string& message);

    // A graph as a picture, into a file (path in Windows-1252; SVG when it ends in ".svg",
    // else PNG) or onto the clipboard; 0 x 0 is the size on the screen. 0, or negative.
    virtual int saveGraphImage(int /*panel*/, int /*control*/, const std::string& /*path*/,
                               int /*width*/, int /*height*/) {
        return -1;
    }
    virtual int copyGraphImage(int /*panel*/, int /*control*/) { return -1; }
    // A message to the desktop, outside the windows (a notification that stays on the screen
    // until the operator dismisses it when `urgent`). Texts are Windows-1252. By default nothing:
    // a front end without a desktop has no one to tell.
    virtual void desktopNotification(const std::string& /*summary*/, const std::string& /*body*/,
                                     bool /*urgent*/) {}
    // The file the per-user settings are kept in (see user_settings.h); empty: the system's
    // per-user place for the program's settings.
    virtual std::string userSettingsFile() { return {}; }

    // The event loop, and the end of the process.
    virtual int runUserInterface() = 0;
    [[noreturn]] virtual void exitProgram(int status) = 0;

    // Clock and calendar.
    virtual double now() = 0;  // seconds, monotonic
    virtual void delay(double seconds) = 0;
    virtual std::string dateText() = 0;  // MM-DD-YYYY
    virtual std::string timeText() = 0;  // HH:MM:SS
};

// A closing message on standard error, in the system's encoding.
void printClosingMessage(const std::string& message);

// The front end in use; the core calls nothing when none is set (and popups then answer 0).
void setFrontEnd(FrontEnd* frontEnd);
FrontEnd* frontEnd();

// What a wait for a device does every kWaitSliceMs: lets the front end paint.
constexpr int kWaitSliceMs = 20;
void whileWaiting();

}  // namespace rt
