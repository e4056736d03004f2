#pragma once
// Settings kept per user in tevran.conf, apart from TEVRAN.ini: what belongs to the operator
// rather than to the instrument (alarm limits, an alarm command). Keys are "group/name"; values
// are Windows-1252 text, as everywhere in the program.

#include <string>

// The value kept under `key`, or `fallback` when there is none.
std::string GetUserSetting(const char* key, const char* fallback);
void SetUserSetting(const char* key, const char* value);
