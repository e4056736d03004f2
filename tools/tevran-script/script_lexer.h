#pragma once
// Splitting a script line into words: blanks separate words, a word in double quotes may hold
// blanks and the escapes \t \r \n \\ \" \xHH.
#include <string>
#include <vector>

struct Word {
    std::string text;
    bool quoted = false;
};

// Returns false and sets `error` when a quote is not closed or an escape is invalid.
bool splitWords(const std::string& line, std::vector<Word>& words, std::string& error);
