// The real program in its real windows, built from TEVRAN.uir, against the simulated instrument
// on a pseudo-terminal linked as COM1 in a temporary program directory.
//
// The test starts this binary again with "--drive DIR": that process runs the program exactly as
// `tevran` does (runTevranInWindows) and works its windows like an operator: it chooses the port
// on the serial-port panel, measures with a data file, stops, opens the stored file and closes
// the main window, which ends the process. The test then checks the exit status, TEVRAN.ini and
// the data file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QLineSeries>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/qt_program.h"
#include "app/state.h"
#include "file_bytes.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/menu_bar.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {

using tevran_test::crlfLines;
using tevran_test::readBytes;

constexpr const char* kSettings =
    " 1 0.200000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n";
// What the program writes back: trace 2 was switched to pO2 (2) on the way, and the stored file
// shown turned automatic scaling on.
constexpr const char* kSettingsAfter =
    " 1 0.200000 0 2 0.000000 10.000000 0.000000 10.000000 1 1 Kv_2016\r\n";
constexpr int kPolls = 8;

// The data file's lines; a last line without its CR LF is marked, so that it never passes for
// a whole one.
std::vector<std::string> dataLines(const std::string& path) {
    bool whole = true;
    std::vector<std::string> lines = crlfLines(readBytes(path), &whole);
    if (!whole) lines.back() += "<no CR LF at the end>";
    return lines;
}

// ---- The operator, inside the program's process ------------------------------------------------

// A script of steps, each run once as soon as its condition holds. The runner is polled from
// the event loop, also from the nested loops of modal dialogs, so a step that opens a dialog is
// followed by the step that answers it.
class Operator : public QObject {
public:
    struct Step {
        const char* name;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    Operator(std::string dir, const std::string& session) : dir_(std::move(dir)) {
        poll_.setInterval(20);
        connect(&poll_, &QTimer::timeout, this, [this] { run(); });
        poll_.start();
        stepClock_.start();
        if (session == "clicks")
            clickScript();
        else if (session == "end")
            endScript();
        else if (session == "link")
            linkScript();
        else
            script();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == paramWindow_ && !paintedWhileReading_)
            paintedWhileReading_ = app.pr && comLedOn();
        if (event->type() == QEvent::Paint) {
            if (auto* led = qobject_cast<rt::qt::LedWidget*>(watched); led && led->isOn())
                ++ledOnPaints_;
            if (watched == loadCount_ && QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor)
                busyWhileLoading_ = true;
        }
        return false;
    }

private:
    rt::QtFrontEnd* fe() const { return rt::QtFrontEnd::active(); }
    QWidget* control(int panel, int id) const { return fe()->controlWidget(panel, id); }
    template <class W>
    W* control(int panel, int id) const {
        return qobject_cast<W*>(control(panel, id));
    }
    QAction* menu(int id) const { return fe()->menuBarView(app.m1)->action(id); }
    QString text(int panel, int id) const {
        auto* l = control<QLabel>(panel, id);
        return l ? l->text() : QString();
    }
    rt::qt::ChartView* chart() const { return fe()->chart(app.p1, MAIN_STRIPCHART); }
    QColor markColour(int id) const {
        auto* m = control<rt::qt::MarkWidget>(app.p1, id);
        return m ? m->colour() : QColor();
    }
    template <class W>
    W* modal() const {
        return qobject_cast<W*>(QApplication::activeModalWidget());
    }

    void check(bool ok, const std::string& what) {
        if (!ok) failures_.push_back(std::string(steps_[next_ - 1].name) + ": " + what);
    }
    void typeInto(QLineEdit* edit, const QString& s) {
        edit->clear();
        QTest::keyClicks(edit, s);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void typeFileName(const QString& name) {
        auto* fd = modal<QFileDialog>();
        check(fd->testOption(QFileDialog::DontUseNativeDialog), "a non-native file dialog");
        typeInto(fd->findChild<QLineEdit*>("fileNameEdit"), name);
    }
    // Idle or run appearance of the main panel and the menu bar.
    void checkAppearance(bool running) {
        const QColor grey(0xA0, 0xA0, 0xA0);
        check(markColour(MAIN_RUN_MARK) == (running ? QColor(0x80, 0, 0) : grey), "run mark");
        check(markColour(MAIN_IDLE_MARK) == (running ? grey : QColor(0, 0x80, 0)), "idle mark");
        check(control(app.p1, MAIN_IDLE_ONLY)->isEnabled() != running, "stored-file group");
        check(control(app.p1, MAIN_OPEN)->isEnabled() != running, "Open button");
        check(menu(MENU_IDLE_ONLY)->isEnabled() != running, "Instrument menu");
        check(control(app.p1, MAIN_VALUE1)->isEnabled() == running, "value 1");
        check(control(app.p1, MAIN_VALUE2)->isEnabled() == running, "value 2");
    }

    void script() {
        const QString file = QString::fromStdString(dir_ + "/run1.dat");
        steps_ = {
            {"start", [this] { return fe() && fe()->panelWidget(app.p1) &&
                                      fe()->panelWidget(app.p1)->isVisible(); },
             [this] {
                 check(app.com_open == 1, "COM1 (the simulator) opened at start");
                 check(!fe()->panelWidget(app.p4)->isVisible(), "no serial-port panel");
                 control(app.p1, MAIN_COM_LED)->installEventFilter(this);
                 loadCount_ = control(app.p1, MAIN_LOADCOUNT);
                 loadCount_->installEventFilter(this);
                 menu(MENU_COMPORT)->trigger();
             }},
            {"serial-port panel", [this] { return fe()->panelWidget(app.p4)->isVisible(); },
             [this] {
                 QString list;
                 if (auto* l = control<QListWidget>(app.p4, PORT_LIST))
                     for (int i = 0; i < l->count(); ++i) list += l->item(i)->text() + "\n";
                 check(list.contains("COM1: /dev/pts/"), "port list names COM1: " +
                                                             list.toStdString());
                 check(control<QAbstractSpinBox>(app.p4, PORT_NUMBER)->text() == "1",
                       "port number shown");
                 control<QAbstractButton>(app.p4, PORT_OK)->click();
             }},
            {"port reopened", [this] { return !fe()->panelWidget(app.p4)->isVisible(); },
             [this] {
                 check(app.com_open == 1, "COM1 open again");
                 checkAppearance(false);
                 // Trace 2 from Tz to pO2, by keyboard as an operator would.
                 QTest::keyClick(control(app.p1, MAIN_TRACE2_SELECT), Qt::Key_Down);
                 check(app.was[1] == 2, "trace 2 selects pO2");
                 // The left axis's limits are dimmed while it scales automatically.
                 auto* autoLeft = control<QAbstractButton>(app.p1, MAIN_LEFT_AUTO);
                 autoLeft->click();
                 check(!control(app.p1, MAIN_LEFT_MIN)->isEnabled() &&
                           !control(app.p1, MAIN_LEFT_MAX)->isEnabled() &&
                           control(app.p1, MAIN_RIGHT_MIN)->isEnabled(),
                       "left limits dimmed under automatic scaling");
                 autoLeft->click();
                 check(control(app.p1, MAIN_LEFT_MIN)->isEnabled(), "left limits enabled again");
                 control<QAbstractButton>(app.p1, MAIN_RUN)->click();
             }},
            {"file dialog of Run", [this] { return modal<QFileDialog>() != nullptr; },
             [this, file] {
                 checkAppearance(true);
                 check(modal<QFileDialog>()->windowTitle() == "Filename", "dialog title");
                 typeFileName(file);
             }},
            {"comment", [this] {
                 QWidget* m = QApplication::activeModalWidget();
                 return m && m->findChild<QLineEdit*>("response");
             },
             [this] {
                 typeInto(QApplication::activeModalWidget()->findChild<QLineEdit*>("response"),
                          "gui test");
             }},
            {"measuring", [this] { return !QApplication::activeModalWidget() &&
                                          app.mpoint >= kPolls; },
             [this, file] {
                 checkAppearance(true);
                 check(text(app.p1, MAIN_FILENAME) == file, "data file shown");
                 check(text(app.p1, MAIN_VALUE1).contains(" mV"), "value 1 in mV");
                 check(text(app.p1, MAIN_VALUE2).contains(" ppm"), "value 2 in ppm");
                 check(ledOnPaints_ > 0, "COM indicator painted while on");
                 check(chart()->xAxis()->titleText() == "Time [s]", "x axis title");
                 check(chart()->yAxis(1)->titleText() == "Vz [mV]", "left axis title");
                 check(chart()->yAxis(2)->titleText() == "pO2 [ppm]", "right axis title");
                 auto series = chart()->shownSeries();
                 check(series.size() == 2 && series[0]->count() >= 3, "two traces drawn");
                 control<QAbstractButton>(app.p1, MAIN_STOP)->click();
             }},
            {"stopped", [] { return true; },
             [this] {
                 checkAppearance(false);
                 check(app.hol == 0 && app.speichern == 0, "polling and recording off");
                 control<QAbstractButton>(app.p1, MAIN_OPEN)->click();
             }},
            {"file dialog of Open", [this] { return modal<QFileDialog>() != nullptr; },
             [this] {
                 check(modal<QFileDialog>()->nameFilters() == QStringList{"*.dat"}, "*.dat only");
                 typeFileName("run1.dat");
             }},
            {"stored file shown", [this] { return !QApplication::activeModalWidget() &&
                                                 app.o_dat_offen == 1; },
             [this, file] {
                 check(text(app.p1, MAIN_FILENAME) == file, "stored file named");
                 check(busyWhileLoading_, "busy cursor while loading");
                 check(!QApplication::overrideCursor(), "normal cursor after loading");
                 check(!loadCount_->isVisible(), "point count hidden after loading");
                 std::size_t lines = crlfLines(readBytes(dir_ + "/run1.dat")).size();
                 auto series = chart()->shownSeries();
                 check(series.size() == 2, "two traces of the stored file");
                 for (QLineSeries* s : series)
                     check(std::size_t(s->count()) == lines - 6,
                           "one point per data line: " + std::to_string(s->count()) + " of " +
                               std::to_string(lines - 6));
                 finish();
             }},
        };
    }

    // A recording at 1 s while the operator clicks an arrow of a chart setting every 0.2 s for
    // 7 s: each click commits the settings, which set the timer's (unchanged) interval again.
    // Run pressed once the port is open, the data file `name` and `comment` typed in.
    std::vector<Step> startRecording(const std::string& name, const QString& comment) {
        const QString file = QString::fromStdString(dir_ + "/" + name);
        return {
            {"start", [this] { return fe() && fe()->panelWidget(app.p1) &&
                                      fe()->panelWidget(app.p1)->isVisible() && app.com_open; },
             [this] { control<QAbstractButton>(app.p1, MAIN_RUN)->click(); }},
            {"file dialog of Run", [this] { return modal<QFileDialog>() != nullptr; },
             [this, file] { typeFileName(file); }},
            {"comment", [this] {
                 QWidget* m = QApplication::activeModalWidget();
                 return m && m->findChild<QLineEdit*>("response");
             },
             [this, comment] {
                 typeInto(QApplication::activeModalWidget()->findChild<QLineEdit*>("response"),
                          comment);
             }},
        };
    }

    void clickScript() {
        steps_ = startRecording("clicks.dat", "clicks");
        steps_.insert(steps_.end(), {
            {"recording", [this] { return !QApplication::activeModalWidget() && app.speichern; },
             [this] {
                 clicks_.setInterval(200);
                 connect(&clicks_, &QTimer::timeout, this, [this] {
                     QTest::keyClick(control(app.p1, MAIN_LEFT_MAX), Qt::Key_Up);
                     ++clicked_;
                 });
                 clicks_.start();
             }},
            {"clicked for 7 s", [this] { return clicked_ >= 35; },
             [this] {
                 clicks_.stop();
                 check(app.skl[1] > 10.0, "the clicks reached the setting");
             }},
            {"the poll of second 7 written", [] { return app.mzeit >= 7.5; },
             [this] {
                 control<QAbstractButton>(app.p1, MAIN_STOP)->click();
                 finish();
             }},
        });
    }

    // Closing the window during a recording asks, and Escape (Cancel, the default) keeps it
    // running; then SIGTERM ends the program through its event loop, as a confirmed close does.
    void endScript() {
        steps_ = startRecording("end.dat", "signal");
        steps_.insert(steps_.end(), {
            {"recording", [] { return !QApplication::activeModalWidget() && app.mzeit >= 2.5; },
             [this] { fe()->panelWidget(app.p1)->close(); }},
            {"the close question", [this] { return modal<QDialog>() != nullptr; },
             [this] {
                 QWidget* m = QApplication::activeModalWidget();
                 QPushButton* enter = nullptr;
                 for (QPushButton* b : m->findChildren<QPushButton*>())
                     if (b->isDefault()) enter = b;
                 check(enter && enter->text() == "Cancel", "Cancel is the default");
                 QTest::keyClick(m, Qt::Key_Escape);
             }},
            {"still recording", [] { return !QApplication::activeModalWidget() && app.mzeit >= 4.5; },
             [this] {
                 check(app.speichern == 1, "Cancel kept the recording");
                 ::kill(::getpid(), SIGTERM);
             }},
            {"ended by the signal", [] { return false; }, [] {}},
        });
    }

    bool comLedOn() const {
        auto* led = control<rt::qt::LedWidget>(app.p1, MAIN_COM_LED);
        return led && led->isOn();
    }
    QListWidget* portList() const { return control<QListWidget>(app.p4, PORT_LIST); }

    // A silent instrument: the device chosen with a click, the parameter panel painted while its
    // read still waits, a menu chosen meanwhile held until the read is over, the unread fields
    // marked, and OK answered "no" writes nothing.
    void linkScript() {
        steps_ = {
            {"start on a port that names nothing",
             [this] {
                 return fe() && fe()->panelWidget(app.p4) && fe()->panelWidget(app.p4)->isVisible();
             },
             [this] {
                 check(app.com_open == 0, "port 7 not opened");
                 check(text(app.p1, MAIN_STATUS).startsWith("COM7: no entry COM7 and no serial port"),
                       "the status line says why: " + text(app.p1, MAIN_STATUS).toStdString());
                 check(text(app.p4, PORT_DIR) == QString::fromStdString(dir_),
                       "entry directory shown");
                 QListWidget* list = portList();
                 QListWidgetItem* sim = nullptr;
                 for (int i = 0; list && i < list->count(); ++i)
                     if (list->item(i)->text().startsWith("COM1: /dev/pts/")) sim = list->item(i);
                 check(sim != nullptr, "the simulator's device is listed");
                 if (!sim) return finish();
                 QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                   list->visualItemRect(sim).center());
                 check(control<QAbstractSpinBox>(app.p4, PORT_NUMBER)->text() == "1",
                       "its number put into the port field");
                 shot("serial-port.png");
                 control<QAbstractButton>(app.p4, PORT_OK)->click();
             }},
            {"port open", [this] { return !fe()->panelWidget(app.p4)->isVisible(); },
             [this] {
                 check(app.com_open == 1 && app.com_nummer == 1, "COM1 opened");
                 paramWindow_ = fe()->panelWidget(app.pr);
                 paramWindow_->installEventFilter(this);
                 reading_ = true;
                 menu(MENU_PARAMETERS)->trigger();  // returns when the whole read has failed
                 reading_ = false;
                 check(paintedWhileReading_, "the parameter panel painted while its read waited");
                 check(!fe()->panelWidget(app.av)->isVisible(), "no menu callback inside the read");
             }},
            {"a menu chosen during the read", [this] { return reading_ && comLedOn(); },
             [this] {
                 menu(MENU_ALLVALUES)->trigger();
                 allValuesHeld_ = reading_ && !fe()->panelWidget(app.av)->isVisible();
             }},
            {"read over, the menu chosen meanwhile delivered",
             [this] { return !reading_ && !comLedOn() && fe()->panelWidget(app.av)->isVisible(); },
             [this] {
                 check(allValuesHeld_, "the menu chosen during the read was held until after it");
                 check(text(app.pr, REG_STATUS).startsWith("Not read from the instrument"),
                       "the panel says the fields were not read");
                 auto* field = control<QAbstractSpinBox>(app.pr, REG_PARAM2);
                 check(field->palette().color(QPalette::Active, QPalette::Text) == QColor(0xC0, 0, 0),
                       "unread field in red");
                 fe()->panelWidget(app.av)->hide();
                 shot("parameters-unread.png");
                 control<QAbstractButton>(app.pr, REG_OK)->click();
             }},
            {"asked before writing", [this] { return modal<QMessageBox>() != nullptr; },
             [this] { modal<QMessageBox>()->button(QMessageBox::No)->click(); }},
            {"nothing written", [this] { return !QApplication::activeModalWidget(); },
             [this] {
                 check(readBytes(dir_ + "/sim.log").find('R') == std::string::npos,
                       "not one byte of a write on the line");
                 finish();
             }},
        };
    }

    // A picture of the main window for the README, when TEVRAN_SHOTS names a directory.
    void shot(const char* name) {
        const char* where = std::getenv("TEVRAN_SHOTS");
        if (!where || !*where) return;
        QWidget* w = fe()->panelWidget(std::string(name) == "serial-port.png" ? app.p1 : app.pr);
        w->grab().save(QString::fromStdString(std::string(where) + "/" + name));
    }

    void finish() {
        if (!failures_.empty()) {
            for (const std::string& f : failures_) std::fprintf(stderr, "FAILED %s\n", f.c_str());
            std::exit(2);
        }
        // Closing the main window ends the program (exit status 0 from its shutdown).
        fe()->panelWidget(app.p1)->close();
        std::fprintf(stderr, "FAILED the program went on after its main window was closed\n");
        std::exit(3);
    }

    void run() {
        if (next_ >= steps_.size()) return;
        Step& s = steps_[next_];
        if (!s.ready()) {
            if (stepClock_.elapsed() > 15000) {
                std::fprintf(stderr, "FAILED step \"%s\" never came\n", s.name);
                for (const std::string& f : failures_) std::fprintf(stderr, "FAILED %s\n", f.c_str());
                std::exit(4);
            }
            return;
        }
        ++next_;
        stepClock_.restart();
        // From the event loop, not from this timer: a timer whose handler is still running (in
        // the nested loop of a dialog the step opened) does not fire again.
        QMetaObject::invokeMethod(this, s.act, Qt::QueuedConnection);
    }

    std::string dir_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer poll_;
    QElapsedTimer stepClock_;
    std::vector<std::string> failures_;
    QWidget* loadCount_ = nullptr;
    QTimer clicks_;
    int clicked_ = 0;
    QWidget* paramWindow_ = nullptr;
    bool reading_ = false;
    bool paintedWhileReading_ = false;
    bool allValuesHeld_ = false;
    int ledOnPaints_ = 0;
    bool busyWhileLoading_ = false;
};

int drive(const std::string& dir, const std::string& session) {
    static int argc = 1;
    static char name[] = "tevran";
    static char* argv[] = {name, nullptr};
    QApplication qtApp(argc, argv);
    rt::setProjectDir(dir);
    QDir::setCurrent(QString::fromStdString(dir));  // where the file dialogs start
    Operator op(dir, session);
    return runTevranInWindows(qtApp);
}

// ---- The test, outside ------------------------------------------------------------------------

// Runs the program in a new temporary program directory with `settings`, against the simulator
// as COM1, driven by the operator of `mode`. Returns the directory; the process must end by its
// own shutdown with status 0.
// Runs the real program in its windows, offscreen, driven by the operator `session`, against a
// simulated instrument started in the program's directory with `simOptions`; returns that
// directory.
std::string runProgram(const char* session, const char* settings,
                       const QStringList& simOptions = {"--seed", "7"}) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/tevran-gui-XXXXXX";
    EXPECT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    fs::copy_file(std::string(TEVRAN_BIN_DIR) + "/TEVRAN.uir", dir + "/TEVRAN.uir");
    std::ofstream(dir + "/TEVRAN.ini", std::ios::binary) << settings;

    QProcess sim;
    sim.setWorkingDirectory(QString::fromStdString(dir));
    sim.start(QString(TEVRAN_BIN_DIR) + "/tevran-sim",
              QStringList{"--link", QString::fromStdString(dir + "/COM1")} + simOptions);
    EXPECT_TRUE(sim.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (!sim.canReadLine() && t.elapsed() < 5000) sim.waitForReadyRead(100);
    EXPECT_TRUE(sim.readLine().startsWith("ready")) << sim.readAllStandardError().toStdString();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir + "/config"));
    program.setProcessEnvironment(env);
    program.start("/proc/self/exe", {"--drive", QString::fromStdString(dir), session});
    EXPECT_TRUE(program.waitForStarted(5000));
    bool ended = program.waitForFinished(60000);
    if (!ended) program.kill(), program.waitForFinished(5000);
    sim.terminate();
    sim.waitForFinished(5000);
    const std::string err = program.readAllStandardError().toStdString();

    EXPECT_TRUE(ended) << "the program did not end\n" << err;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << err;
    EXPECT_EQ(program.exitCode(), 0) << err;
    EXPECT_EQ(err.find("FAILED"), std::string::npos) << err;
    return dir;
}

TEST(ProgramWindows, MeasuresStopsShowsTheFileAndEndsWithItsSettingsSaved) {
    namespace fs = std::filesystem;
    const std::string dir = runProgram("measure", kSettings);
    EXPECT_EQ(readBytes(dir + "/TEVRAN.ini"), kSettingsAfter);
    // The window and the folders of both file dialogs are remembered in the per-user file.
    const std::string user = readBytes(dir + "/tevran.conf");
    EXPECT_NE(user.find("MAIN\\geometry=@Rect("), std::string::npos) << user;
    EXPECT_NE(user.find("open=" + dir), std::string::npos) << user;
    EXPECT_NE(user.find("save=" + dir), std::string::npos) << user;

    std::vector<std::string> lines = dataLines(dir + "/run1.dat");
    ASSERT_GE(lines.size(), 6u + kPolls - 1);
    EXPECT_EQ(lines[0], "File: " + dir + "/run1.dat");
    EXPECT_EQ(lines[1], "Comment: gui test");
    EXPECT_EQ(lines[2].rfind("Date: ", 0), 0u);
    EXPECT_EQ(lines[2].size(), 16u);
    EXPECT_EQ(lines[3].rfind("Time: ", 0), 0u);
    EXPECT_EQ(lines[3].size(), 14u);
    EXPECT_EQ(lines[4], "Dataset");
    EXPECT_EQ(lines[5], "time[s]\tVz[mV]\tTz[\xB0" "C]\tpO2[ppm]\tIe[mA]");
    double last = 0.0;
    for (std::size_t i = 6; i < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        double time, vz, tz, po2, ie;
        ASSERT_TRUE(in >> time >> vz >> tz >> po2 >> ie) << "line " << i + 1 << ": " << lines[i];
        EXPECT_GT(time, last) << "line " << i + 1;
        EXPECT_GT(tz, 500.0) << "a live reply, not a failed poll: " << lines[i];
        last = time;
    }

    std::error_code ec;
    fs::remove_all(dir, ec);
}

// Settings committed faster than the interval never hold the polls back: one data line every
// second while the operator clicks a setting every 0.2 s for 7 s. A countdown restarted by each
// click would leave a gap of 7 s, a click that polled at once a line per click (35); the bounds
// leave room for a loaded machine.
TEST(ProgramWindows, SettingsClickedFasterThanTheIntervalLeaveNoGapInTheRecording) {
    const std::string dir = runProgram(
        "clicks", " 1 1.000000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n");
    std::vector<std::string> lines = dataLines(dir + "/clicks.dat");
    ASSERT_GE(lines.size(), 6u + 7u);
    double last = 0.0;
    for (std::size_t i = 6; i < lines.size(); ++i) {
        const double time = std::stod(lines[i]);
        EXPECT_LE(time - last, 3.0) << "gap before line " << i + 1 << ": " << lines[i];
        EXPECT_GT(time, last) << "line " << i + 1 << ": " << lines[i];
        last = time;
    }
    EXPECT_GE(last, 7.0);
    EXPECT_LE(double(lines.size() - 6), last + 2.0) << "more polls than seconds";
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

// Settings given with another trailer: written back with the program's own, so saved at the end.
TEST(ProgramWindows, CloseAsksDuringARecordingAndSigtermEndsItInOrder) {
    const std::string dir = runProgram(
        "end", " 1 0.500000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 read-me\r\n");
    EXPECT_EQ(readBytes(dir + "/TEVRAN.ini"),
              " 1 0.500000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n");
    bool whole = false;
    const auto lines = crlfLines(readBytes(dir + "/end.dat"), &whole);
    EXPECT_TRUE(whole);
    EXPECT_GE(lines.size(), 6u + 8u);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

// A silent instrument: the device chosen with a click, the parameter panel painted while its
// read waits, input held until after the read, unread fields never written without asking.
TEST(ProgramWindows, ChoosesTheDeviceAndPaintsWhileASilentInstrumentKeepsItWaiting) {
    const std::string dir =
        runProgram("link", " 7 1.000000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n",
                   {"--delay", "100000", "--log", "sim.log"});
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--drive") return drive(argv[2], argc > 3 ? argv[3] : "");
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
