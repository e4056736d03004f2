// The chart as a picture: into a PNG or SVG file, at its size on the screen or a size typed in,
// or onto the clipboard.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/graph.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {
// "1920 x 1080" (also "1920x1080", "1920 1080", "1920\xD71080"); empty: the size on the screen
// (0 x 0).
bool pictureSize(const char* text, int& width, int& height) {
    width = height = 0;
    std::string s = text;
    if (s.find_first_not_of(" \t") == std::string::npos) return true;
    for (char& c : s)
        if (c == 'x' || c == 'X' || c == '*' || c == '\xD7') c = ' ';
    // Read as long long: an int would take 4294968296 for 1000.
    long long w = 0, h = 0;
    char rest = 0;
    if (std::sscanf(s.c_str(), "%lld %lld %c", &w, &h, &rest) != 2) return false;
    if (w < 16 || h < 16 || w > kLargestGraphImage || h > kLargestGraphImage) return false;
    width = int(w);
    height = int(h);
    return true;
}

// True when `name` ends in `ending` (".png"), in any case.
bool endsWith(const std::string& name, const char* ending) {
    const std::size_t n = std::strlen(ending);
    return name.size() >= n && strcasecmp(name.c_str() + name.size() - n, ending) == 0;
}

// Asks for the file until one is named that may take a picture: a name without an extension
// is given ".png"; another type than PNG or SVG is refused. False when the operator gave up.
bool pictureFile(char (&path)[260]) {
    for (;;) {
        const int chosen = FileSelectPopup("", "chart.png", "*.png;*.svg", "Save chart as image",
                                           VAL_SAVE_BUTTON, 0, 0, 1, 1, path);
        if (chosen != VAL_NEW_FILE_SELECTED && chosen != VAL_EXISTING_FILE_SELECTED) return false;
        std::string name = path;
        if (fileNameOf(name).find('.') == std::string::npos) {
            if (name.size() + 4 >= sizeof path) {
                MessagePopup("", "The name is too long.");
                continue;
            }
            name += ".png";
            std::strcpy(path, name.c_str());
        } else if (!endsWith(name, ".png") && !endsWith(name, ".svg")) {
            MessagePopup("", (std::string("\"") + fileNameOf(name) +
                              "\": the chart is saved as a PNG or an SVG picture; give the name "
                              "an ending of .png or .svg.")
                                 .c_str());
            continue;
        }
        long size = 0;
        if (GetFileInfo(path, &size) == 1 &&
            !ConfirmPopup("", (std::string(path) + " exists. Replace it?").c_str()))
            return false;
        return true;
    }
}
}  // namespace

void savechart(int, int, void*, int) {
    char path[260] = {};
    if (!pictureFile(path)) return;
    char size[32] = {};
    int width = 0, height = 0;
    for (;;) {
        const int button = GenericMessagePopup("Save chart as image",
                                               "Size in pixels, for example 1920 x 1080.\nEmpty: "
                                               "the size the chart has on the screen.",
                                               "Save", "Cancel", "", size, sizeof size - 1, 0,
                                               VAL_GENERIC_POPUP_INPUT_STRING, 1, 2);
        if (button != 1) return;
        if (pictureSize(size, width, height)) break;
        MessagePopup("", (std::string("\"") + size +
                          "\" is not a size: type the width and the height in pixels, 16 to 16384 "
                          "each, for example 1920 x 1080.")
                             .c_str());
    }
    if (SaveGraphImage(app.p1, MAIN_STRIPCHART, path, width, height) != 0)
        MessagePopup(
            "", (std::string("The chart could not be saved as ") + path + ".\n" + fileErrorText())
                    .c_str());
}

void copychart(int, int, void*, int) {
    if (CopyGraphImage(app.p1, MAIN_STRIPCHART) != 0)
        MessagePopup("", "The chart could not be put on the clipboard.");
}
