#pragma once
// Modal popups. Each returns when the operator has answered it.

#include <cstddef>

// Button labels of FileSelectPopup.
enum { VAL_OK_BUTTON = 0, VAL_SAVE_BUTTON = 1, VAL_SELECT_BUTTON = 2, VAL_LOAD_BUTTON = 3 };
// Results of FileSelectPopup.
enum { VAL_NO_FILE_SELECTED = 0, VAL_EXISTING_FILE_SELECTED = 1, VAL_NEW_FILE_SELECTED = 2 };

int MessagePopup(const char* title, const char* message);
// Returns 1 for yes, 0 for no.
int ConfirmPopup(const char* title, const char* question);
// The same for a question whose Yes destroys something (writes into the instrument, empties a
// file): No is the default button (Enter), and Escape answers No.
int ConfirmPopupDefaultNo(const char* title, const char* question);
// A message with up to three buttons and a one-line text entry; the typed text (at most
// `maxResponseLength` characters) is left NUL-terminated in `response`. Without a `response`
// buffer there is no entry: a question answered by its buttons. Enter presses `enterButton`;
// Escape and the window's close button press `escapeButton`, or do nothing when it is
// VAL_GENERIC_POPUP_NO_CTRL. Returns the number of the button pressed (1..3).
int GenericMessagePopup(const char* title, const char* message, const char* button1,
                        const char* button2, const char* button3, char* response,
                        int maxResponseLength, int buttonsVertical, int activeControl,
                        int enterButton, int escapeButton);
enum {
    VAL_GENERIC_POPUP_NO_CTRL = 0,
    VAL_GENERIC_POPUP_INPUT_STRING = 1,
    VAL_GENERIC_POPUP_BTN1 = 1,
    VAL_GENERIC_POPUP_BTN2 = 2,
    VAL_GENERIC_POPUP_BTN3 = 3,
};
// A file dialog. `typeList` is a ';'-separated list of patterns; the character array `path` gets
// the chosen path (Windows-1252). Returns VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED,
// VAL_NEW_FILE_SELECTED, or a negative value on an error. A path that `path` cannot hold whole,
// or that holds a control character, is refused with a message saying why and the dialog comes
// again: a path is never cut short.
namespace rt {
int fileSelectInto(const char* defaultDirectory, const char* defaultFileSpec, const char* typeList,
                   const char* title, int buttonLabel, int restrictDirectory,
                   int restrictExtension, int allowCancel, int allowMakeDirectory, char* path,
                   std::size_t capacity);
}  // namespace rt
template <std::size_t N>
int FileSelectPopup(const char* defaultDirectory, const char* defaultFileSpec,
                    const char* typeList, const char* title, int buttonLabel,
                    int restrictDirectory, int restrictExtension, int allowCancel,
                    int allowMakeDirectory, char (&path)[N]) {
    return rt::fileSelectInto(defaultDirectory, defaultFileSpec, typeList, title, buttonLabel,
                              restrictDirectory, restrictExtension, allowCancel,
                              allowMakeDirectory, path, N);
}

// A notification on the desktop, outside the program's windows, for an operator who is not
// watching them; an urgent one stays until dismissed. Nothing happens where the desktop has no
// notification service (or there is no desktop).
void DesktopNotification(const char* summary, const char* body, int urgent);

// A message the operator must see as the program ends (the settings could not be saved): a
// message box in the window, standard error without one.
void ClosingMessage(const char* message);
