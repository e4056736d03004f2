// The real program: TEVRAN in Qt windows.

#include <QApplication>

#include "app/qt_program.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    return runTevranInWindows(qtApp);
}
