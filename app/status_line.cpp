// The main panel's status line. It carries at most two sentences: one about the data file and
// one about the instrument link, the file's first, so that a link sentence never hides a file
// sentence (lines missing from a recording matter more than a silent instrument).
#include <string>

#include "app/state.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

void setStatus(StatusTopic topic, const std::string& text) {
    std::string& slot = topic == StatusTopic::File ? app.fileStatus : app.linkStatus;
    if (slot == text) return;
    slot = text;
    std::string line = app.fileStatus;
    if (!line.empty() && !app.linkStatus.empty()) line += "  |  ";
    line += app.linkStatus;
    SetCtrlVal(app.p1, MAIN_STATUS, line.c_str());
}
