#include "app/qt_program.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringDecoder>
#include <clocale>
#include <cstdio>
#include <string>

#include "app/system.h"
#include "runtime/core/frontend.h"
#include "runtime/core/resource.h"
#include "runtime/panels.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/qt/text_encoding.h"

namespace {

// The resource error names a path: the system's bytes (UTF-8), or Windows-1252 text otherwise.
QString messageText(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8(QByteArrayView(text.data(), qsizetype(text.size())));
    return utf8.hasError() ? rt::qt::fromCp1252(text) : decoded;
}

}  // namespace

int runTevranInWindows(QApplication&) {
    // QApplication switches the C library to the environment's locale; numbers the program
    // formats and reads always use a point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("TEVRAN");
    QApplication::setDesktopFileName("tevran");

    rt::QtFrontEnd frontEnd;
    rt::setFrontEnd(&frontEnd);

    int rc = tevranStartup();
    if (rc != 0) {
        std::string error = rt::lastResourceError();
        if (error.empty()) error = "The user interface could not be loaded.";
        std::fprintf(stderr, "TEVRAN: %s\n", error.c_str());
        // Nobody can see or answer a box on a platform without a screen.
        QString platform = QGuiApplication::platformName();
        if (platform != "offscreen" && platform != "minimal") {
            QMessageBox::critical(nullptr, "TEVRAN", messageText(error));
        }
        rt::setFrontEnd(nullptr);
        return 1;
    }

    RunUserInterface();
    rt::setFrontEnd(nullptr);
    return 0;
}
