// tevran-script [--dir DIR] SCRIPT: runs the program's start-up, callbacks and shutdown on the
// headless front end, as an operator's session written down.
#include <QCoreApplication>
#ifdef TEVRAN_SCRIPT_PICTURES
#include <QApplication>

#include "runtime/qt/chart_picture.h"
#include "runtime/qt/text_encoding.h"
#endif

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "runtime/core/resource.h"
#include "runtime/textfiles.h"
#include "scenario.h"

int main(int argc, char** argv) {
    std::string dir, script;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (script.empty() && !a.empty() && a[0] != '-')
            script = a;
        else {
            std::cerr << "usage: tevran-script [--dir DIR] SCRIPT\n";
            return 2;
        }
    }
    if (script.empty()) {
        std::cerr << "usage: tevran-script [--dir DIR] SCRIPT\n";
        return 2;
    }
    std::ifstream in(script, std::ios::binary);
    if (!in) {
        std::cerr << "tevran-script: cannot read " << script << "\n";
        return 2;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);

        // The serial ports are real: Qt's port classes want an application object. With the Qt
        // front end built, one that can draw: `save` draws the chart offscreen.
#ifdef TEVRAN_SCRIPT_PICTURES
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
#else
    QCoreApplication qapp(argc, argv);
#endif
    std::setlocale(LC_NUMERIC, "C");
    std::error_code ec;
    if (dir.empty()) dir = std::filesystem::current_path(ec).string();
    if (!std::filesystem::is_directory(dir, ec)) {
        std::cerr << "tevran-script: " << dir << " is not a directory\n";
        return 2;
    }
    rt::setProjectDir(std::filesystem::absolute(dir, ec).string());
    // TEVRAN.uir from DIR when it is there, else the copy built beside this driver.
    rt::setResourceFallbackDir(QCoreApplication::applicationDirPath().toStdString());

    Scenario scenario(script, dir, std::cout, std::cerr);
#ifdef TEVRAN_SCRIPT_PICTURES
    scenario.frontEnd().drawPicture = [](const rt::GraphModel& g, const std::string& path, int w,
                                         int h) {
        return rt::qt::saveGraphPicture(g, rt::qt::fromCp1252(path), QSize(w, h));
    };
#endif
    return scenario.run(lines);
}
