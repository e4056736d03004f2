#pragma once
// The modal popups as Qt dialogs. Texts in and out are Windows-1252. Each runs the dialog's own
// event loop until the operator answers (timer ticks go on meanwhile).

#include <QStringList>
#include <string>

#include "runtime/core/frontend.h"

class QWidget;

namespace rt::qt {

void runMessagePopup(QWidget* parent, const std::string& title, const std::string& message);
// 1 yes, 0 no (also when the box is closed).
// Yes is the default button unless `yesIsDefault` is false; Escape answers No.
int runConfirmPopup(QWidget* parent, const std::string& title, const std::string& question,
                    bool yesIsDefault = true);
// The number (1..3) of the button pressed; `response` gets the typed text, at most
// request.maxResponseLength characters.
int runGenericPopup(QWidget* parent, const GenericPopupRequest& request, std::string& response);
// VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED.
int runFileSelectPopup(QWidget* parent, const FileSelectRequest& request, std::string& path);

// "*.dat;*.*;" -> {"*.dat", "*.*"}.
QStringList nameFiltersOf(const std::string& typeList);

}  // namespace rt::qt
