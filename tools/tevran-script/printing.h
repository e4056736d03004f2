#pragma once
// What `print` shows: controls, attributes, panels, the application state and the graph.
#include <string>
#include <vector>

#include "runtime/core/model.h"

// "%.10g" of a double, "%d" of an int.
std::string numberText(double v);
// 0xRRGGBB.
std::string colourText(int colour);
// The value of a control as `print` shows it (strings quoted), or false when it has none.
bool controlValueText(const rt::Control& c, std::string& out);
// A member of the application state by name; false when there is no such name.
bool stateText(const std::string& name, std::string& out);
// The lines of `print graph`.
std::vector<std::string> graphLines(const rt::GraphModel& g);
// The values under the pointer as the window shows them, quoted ("" when none are shown).
std::string readoutLine(const rt::GraphModel& g);
// The lines of `print band`: per y axis with data, "band N min LOWEST max HIGHEST" over the time
// range shown.
std::vector<std::string> bandLines(const rt::GraphModel& g);
