#pragma once
// Runs a scenario script against the program on the headless front end.
#include <iosfwd>
#include <string>
#include <vector>

#include "runtime/core/model.h"
#include "runtime/headless/headless_frontend.h"
#include "script_lexer.h"

class Scenario {
public:
    Scenario(std::string scriptName, std::string programDir, std::ostream& out, std::ostream& err);
    // Runs every line; returns the exit status: 0 all held, 1 an expect failed, 2 script error.
    int run(const std::vector<std::string>& lines);

private:
    struct ScriptError {
        std::string message;
    };
    struct Stop {};

    void execute(const std::vector<Word>& w);
    void start();
    void set(const std::vector<Word>& w);
    void commit(const std::string& name);
    void choose(const std::string& name, const std::string& text);
    void shell(const std::string& command);
    void menu(const std::string& name);
    void close(const std::string& panel);
    void takeEndRequest();
    void tick(const std::vector<Word>& w);
    void answer(const std::vector<Word>& w);
    void port(const std::vector<Word>& w);
    // The text `print` shows for the words (without the leading "print").
    std::vector<std::string> printed(const std::vector<Word>& w);
    void expect(const std::vector<Word>& w);
    int panelHandle(const std::string& name);
    rt::Control* control(const std::string& name, int* panel = nullptr);
    rt::MenuItem* menuItem(const std::string& name, int* menuBar = nullptr);
    double number(const Word& w);
    [[noreturn]] void fail(const std::string& message);

    std::string script_;
    std::string dir_;
    std::ostream& out_;
    std::ostream& err_;
    rt::HeadlessFrontEnd fe_;
    int lineNo_ = 0;
    bool failed_ = false;
};
