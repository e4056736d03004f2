// Modal popups, answered by the front end.
#include "runtime/popups.h"

#include <string>

#include "runtime/core/dispatch.h"
#include "runtime/core/frontend.h"
#include "runtime/core/system_paths.h"
#include "runtime/textfiles.h"

using namespace rt;

namespace {
std::string str(const char* s) { return s ? s : ""; }
}  // namespace

int MessagePopup(const char* title, const char* message) {
    FrontEnd* fe = frontEnd();
    if (!fe) return 0;
    PopupScope scope;
    fe->messagePopup(str(title), str(message));
    return 1;
}

void DesktopNotification(const char* summary, const char* body, int urgent) {
    if (FrontEnd* fe = frontEnd()) fe->desktopNotification(str(summary), str(body), urgent != 0);
}

int ConfirmPopup(const char* title, const char* question) {
    FrontEnd* fe = frontEnd();
    if (!fe) return 0;
    PopupScope scope;
    return fe->confirmPopup(str(title), str(question)) ? 1 : 0;
}

int ConfirmPopupDefaultNo(const char* title, const char* question) {
    FrontEnd* fe = frontEnd();
    if (!fe) return 0;
    PopupScope scope;
    return fe->confirmPopupDefaultNo(str(title), str(question)) ? 1 : 0;
}

int GenericMessagePopup(const char* title, const char* message, const char* button1,
                        const char* button2, const char* button3, char* response,
                        int maxResponseLength, int /*buttonsVertical*/, int /*activeControl*/,
                        int enterButton, int escapeButton) {
    FrontEnd* fe = frontEnd();
    if (!fe) return 0;
    const auto button = [](int b) { return b >= 1 && b <= 3 ? b : 0; };
    GenericPopupRequest request{str(title),
                                str(message),
                                {str(button1), str(button2), str(button3)},
                                maxResponseLength < 0 ? 0 : maxResponseLength,
                                response != nullptr,
                                button(enterButton) ? enterButton : 1,
                                button(escapeButton)};
    std::string typed;
    int pressed;
    {
        PopupScope scope;
        pressed = fe->genericPopup(request, typed);
    }
    if (response) {
        if (typed.size() > static_cast<std::size_t>(request.maxResponseLength))
            typed.resize(static_cast<std::size_t>(request.maxResponseLength));
        copyBounded(response, typed.size() + 1, typed);
    }
    return pressed;
}

namespace rt {

int fileSelectInto(const char* defaultDirectory, const char* defaultFileSpec, const char* typeList,
                   const char* title, int buttonLabel, int restrictDirectory,
                   int restrictExtension, int allowCancel, int allowMakeDirectory, char* path,
                   std::size_t capacity) {
    FrontEnd* fe = frontEnd();
    if (!fe) return 0;
    FileSelectRequest request{str(defaultDirectory), str(defaultFileSpec), str(typeList),
                              str(title),            buttonLabel,          restrictDirectory != 0,
                              restrictExtension != 0, allowCancel != 0,    allowMakeDirectory != 0,
                              capacity};
    for (;;) {
        std::string chosen;
        int result;
        {
            PopupScope scope;
            result = fe->fileSelectPopup(request, chosen);
        }
        // A cancelled dialog leaves `path` as it was.
        if (result <= 0 || !path) return result;
        const std::string refusal = pathRefusal(chosen, capacity);
        if (refusal.empty()) {
            copyBounded(path, capacity, chosen);
            return result;
        }
        PopupScope scope;
        fe->messagePopup("", refusal);
    }
}

}  // namespace rt

void ClosingMessage(const char* message) {
    if (FrontEnd* fe = frontEnd()) {
        PopupScope scope;
        fe->closingMessage(str(message));
    } else {
        printClosingMessage(str(message));
    }
}
