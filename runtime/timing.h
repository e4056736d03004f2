#pragma once
// Time and the end of the process.

// Seconds of a monotonic clock (virtual in the headless front end).
double Timer();
// Waits `seconds`.
void Delay(double seconds);
// Current local date "MM-DD-YYYY" and time "HH:MM:SS" (24-hour clock). The texts live until the
// next call.
const char* DateStr();
const char* TimeStr();
// Ends the process with `status` (the headless front end ends the scenario instead).
[[noreturn]] void exitProgram(int status);
