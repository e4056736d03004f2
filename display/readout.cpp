// The values under the pointer: the sample nearest to it, its time and both traces' values in
// the texts of the value display.
#include <cmath>
#include <string>
#include <vector>

#include "app/state.h"
#include "display/display.h"
#include "runtime/graph.h"
#include "runtime/textfiles.h"

namespace {
// The display text without the blanks that pad it to its field.
std::string unpadded(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Seconds with at most two decimals and none that are zero: "12 s", "12.5 s".
std::string secondsText(double seconds) {
    char text[64];
    Fmt(text, "%f[p2]", seconds);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s + " s";
}
}  // namespace

std::vector<std::string> readoutTexts(double seconds, int was0, double v1, int was1, double v2) {
    std::string time = secondsText(seconds);
    if (std::abs(seconds) >= 3600 && std::abs(seconds) < 1e12) {
        const long long whole = static_cast<long long>(std::trunc(std::abs(seconds)));
        const auto twoDigits = [](long long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
        time += std::string(" (") + (seconds < 0 ? "-" : "") + std::to_string(whole / 3600) + ":" +
                twoDigits(whole / 60 % 60) + ":" + twoDigits(whole % 60) + ")";
    }
    return {time, unpadded(quantityText(was0, v1)), unpadded(quantityText(was1, v2))};
}

void showReadout(int panel, int control) {
    double x = 0, t = 0, v1 = 0, t2 = 0, v2 = 0;
    if (GetGraphPointer(panel, control, &x) != 1 ||
        GetNearestGraphPoint(panel, control, VAL_LEFT_YAXIS, x, &t, &v1) != 1) {
        SetGraphReadout(panel, control, 0.0, nullptr, 0);
        return;
    }
    // Both traces share their times: trace 2's value at trace 1's sample.
    const bool second = GetNearestGraphPoint(panel, control, VAL_RIGHT_YAXIS, t, &t2, &v2) == 1;
    const std::vector<std::string> texts = readoutTexts(t, app.was[0], v1, app.was[1], v2);
    const char* parts[3] = {texts[0].c_str(), texts[1].c_str(), texts[2].c_str()};
    SetGraphReadout(panel, control, t, parts, second ? 3 : 2);
}
