// Run and Stop (m_run, m_stop) with the data file: what is written, what is not, and the state
// each press leaves. The port is marked open without a device, so every poll fails and writes
// a line of zeros.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "runtime/core/dispatch.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"

using namespace tevran_test;

namespace {
// Lets one timer tick through at every popup, one second after the last, as the event loop does
// while a modal dialog is open.
class TickingFrontEnd : public rt::HeadlessFrontEnd {
  public:
    int ticks = 0;
    int delivered = 0;  // ticks that reached the timer callback
    void messagePopup(const std::string& title, const std::string& message) override {
        tick();
        HeadlessFrontEnd::messagePopup(title, message);
    }
    int confirmPopup(const std::string& title, const std::string& question) override {
        tick();
        return HeadlessFrontEnd::confirmPopup(title, question);
    }
    int genericPopup(const rt::GenericPopupRequest& request, std::string& response) override {
        tick();
        return HeadlessFrontEnd::genericPopup(request, response);
    }
    int fileSelectPopup(const rt::FileSelectRequest& request, std::string& path) override {
        tick();
        return HeadlessFrontEnd::fileSelectPopup(request, path);
    }
    void closingMessage(const std::string& message) override {
        tick();
        HeadlessFrontEnd::closingMessage(message);
    }

  private:
    void tick() {
        ++ticks;
        advanceClock(1.0);
        if (rt::dispatchTimerTick(app.p1, MAIN_TIMER)) ++delivered;
    }
};

const std::string kZeroLine = "\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n";

// Another program recording into a file: this test binary started again with
// TEVRAN_TEST_RECORD_INTO=PATH. It opens PATH as Run opens a data file, writes one line, says
// "held" (or "refused") and keeps the file open until its standard input closes.
const bool kRecordingElsewhere = [] {
    const char* file = std::getenv("TEVRAN_TEST_RECORD_INTO");
    if (!file) return false;
    const int h = OpenFile(file, VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
    if (h > 0) FmtFile(h, "%s<1.0\t-50.0\t700.0\t1.90e+4\t1.500e+0\n");
    std::printf(h > 0 ? "held\n" : "refused\n");
    std::fflush(stdout);
    char c;
    while (::read(0, &c, 1) > 0) {
    }
    CloseFile(h);
    std::_Exit(0);
}();

class OtherRecording {
  public:
    explicit OtherRecording(const std::string& file) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
            ::setenv("TEVRAN_TEST_RECORD_INTO", file.c_str(), 1);
            ::execl("/proc/self/exe", "other-recording", static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        char word[16] = {};
        const ssize_t n = ::read(out[0], word, sizeof word - 1);
        ::close(out[0]);
        said_ = n > 0 ? std::string(word, static_cast<std::size_t>(n)) : "";
    }
    ~OtherRecording() { finish(); }
    const std::string& said() const { return said_; }
    // Stop: the file is closed and the process ends.
    void finish() {
        if (toChild_ >= 0) ::close(toChild_);
        toChild_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    std::string said_;
};
}  // namespace

class Recording : public ProgramTest {
  protected:
    TickingFrontEnd ui;
    std::vector<std::string> shown;

    void SetUp() override {
        ProgramTest::SetUp();
        ui.realDelays = false;
        ui.report = [this](const std::string& line) { shown.push_back(line); };
        rt::setFrontEnd(&ui);
        start();
        app.com_open = 1;  // port 200: open as far as Run can tell
        ui.setDate("03-27-2017", "14:05:09");
    }

    void run() { ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_RUN)); }
    void stop() { ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_STOP)); }
    // Run, recording into a new file `name` with no comment; returns the file's path.
    std::string recordInto(const std::string& name) {
        const std::string file = path(name);
        ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, file});
        ui.commentAnswers.push_back("");
        run();
        return file;
    }
    void tick(int n = 1) {
        for (int k = 0; k < n; ++k) {
            ui.advanceClock(1.0);
            rt::dispatchTimerTick(app.p1, MAIN_TIMER);
        }
    }

    std::string header(const std::string& file, const std::string& comment) {
        return "File: " + file + "\r\nComment: " + comment +
               "\r\nDate: 03-27-2017\r\nTime: 14:05:09\r\nDataset\r\n"
               "time[s]\tVz[mV]\tTz[\xB0"
               "C]\tpO2[ppm]\tIe[mA]\r\n";
    }

    std::set<std::string> files() {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.insert(e.path().filename().string());
        return names;
    }

    bool shownWith(const std::string& text) {
        for (const std::string& s : shown)
            if (s.find(text) != std::string::npos) return true;
        return false;
    }
};

// Ticks during the file dialog, the overwrite question and the comment prompt poll nothing, even
// when a run was going on: the header is complete before the first line, which comes one
// interval after the prompt closed.
TEST_F(Recording, TicksDuringTheDialogsWriteNothing) {
    const std::string file = path("old.dat");
    writeBytes(file, "an older recording\r\n");
    ui.fileAnswers.push_back({VAL_NO_FILE_SELECTED, ""});
    run();
    tick(2);
    ASSERT_EQ(app.hol, 1);
    ASSERT_EQ(ctrl(app.p1, MAIN_VALUE2).stringValue, "ERROR (-3)");
    ctrl(app.p1, MAIN_VALUE2).stringValue = "";
    const std::uint64_t resets = ctrl(app.p1, MAIN_TIMER).timerResets;
    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, file});
    ui.confirmAnswers.push_back(0);  // no: the dialog again
    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, file});
    ui.confirmAnswers.push_back(1);  // yes: emptied
    ui.commentAnswers.push_back("c");
    run();
    EXPECT_EQ(ui.ticks, 6);
    EXPECT_EQ(ui.delivered, 6);
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE2).stringValue, "");
    EXPECT_EQ(readBytes(file), header(file, "c"));
    EXPECT_EQ(app.speichern, 1);
    EXPECT_EQ(app.hol, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, file);
    EXPECT_FALSE(ctrl(app.p1, MAIN_FILENAME).dimmed);
    EXPECT_EQ(ctrl(app.p1, MAIN_TIMER).timerResets, resets + 1);

    tick(2);
    EXPECT_EQ(readBytes(file), header(file, "c") + "1.0" + kZeroLine + "2.0" + kZeroLine);
    stop();
    EXPECT_EQ(app.hol, 0);
    EXPECT_EQ(app.speichern, 0);
    tick();
    EXPECT_EQ(readBytes(file), header(file, "c") + "1.0" + kZeroLine + "2.0" + kZeroLine);
}

// A cancelled dialog, or one that fails, gives a run that polls and plots with no file.
TEST_F(Recording, DialogWithoutAFileMeasuresWithoutRecording) {
    const std::set<std::string> before = files();
    for (int answer : {int{VAL_NO_FILE_SELECTED}, -1}) {
        SCOPED_TRACE(answer);
        ui.fileAnswers.push_back({answer, path("never.dat")});
        run();
        EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, "no file");
        EXPECT_EQ(app.hol, 1);
        EXPECT_EQ(app.speichern, 0);
        tick(4);
        EXPECT_EQ(app.mpoint, 4);
        EXPECT_EQ(chart().plots.size(), 2u);
        EXPECT_EQ(ctrl(app.p1, MAIN_RUN_MARK).colour, 0x800000);
    }
    EXPECT_EQ(files(), before);
}

// A file that cannot be opened: the operator learns which and why, nothing is created, the
// panels return to idle and polling stops; the chart is reset as on every Run.
TEST_F(Recording, UnopenableFileStartsNoRun) {
    std::filesystem::create_directory(path("folder.dat"));
    ui.fileAnswers.push_back({VAL_NO_FILE_SELECTED, ""});
    run();
    tick(5);
    ASSERT_EQ(chart().plots.size(), 4u);
    app.o_dat_offen = 1;
    const std::set<std::string> before = files();

    struct Case {
        std::string file;
        const char* reason;
    } cases[] = {{path("folder.dat"), "Is a directory"},
                 {path("no-dir/x.dat"), "No such file or directory"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        shown.clear();
        ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, c.file});
        ui.messageAnswers = 1;
        run();
        EXPECT_TRUE(shownWith("popup message \"\" \"The data file cannot be opened:\\n" + c.file +
                              "\\n" + c.reason + "\""))
            << (shown.empty() ? "" : shown.back());
        EXPECT_EQ(ui.messageAnswers, 0);
        EXPECT_EQ(app.hol, 0);
        EXPECT_EQ(app.speichern, 0);
        EXPECT_EQ(ctrl(app.p1, MAIN_IDLE_MARK).colour, 0x008000);
        EXPECT_EQ(ctrl(app.p1, MAIN_RUN_MARK).colour, 0xA0A0A0);
        EXPECT_TRUE(ctrl(app.p1, MAIN_VALUE1).dimmed);
        EXPECT_EQ(chart().plots.size(), 0u);
        EXPECT_EQ(chart().axis[0].min, 0.0);
        EXPECT_EQ(chart().axis[0].max, 100.0);
        EXPECT_EQ(app.mpoint, 0);
        EXPECT_EQ(app.o_dat_offen, 0);
        tick(2);
        EXPECT_EQ(app.mpoint, 0);
    }
    EXPECT_EQ(files(), before);
    // Stop after it closes nothing.
    stop();
    EXPECT_EQ(app.speichern, 0);
}

// A second Stop closes nothing, not even a file that took over the handle number meanwhile.
TEST_F(Recording, SecondStopClosesNothing) {
    recordInto("rec.dat");
    tick();
    stop();
    const int other = OpenFile(path("other.dat").c_str(), VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GT(other, 0);
    stop();
    EXPECT_GT(FmtFile(other, "%s<still open\n"), 0);
    EXPECT_EQ(CloseFile(other), 0);
    EXPECT_EQ(readBytes(path("other.dat")), "still open\r\n");
    EXPECT_EQ(readBytes(path("rec.dat")), header(path("rec.dat"), "") + "1.0" + kZeroLine);
}

// A file another process records into (as another TEVRAN would) is never emptied: chosen as an
// existing file it is refused before the overwrite question, chosen as a new name (taken since
// the dialog looked) the open refuses it; each time the operator is told which file and why and
// is back at the dialog. The viewer still reads it, and once the other recording has ended the
// file can be recorded again.
TEST_F(Recording, FileAnotherRecordingHoldsIsRefusedAndStaysWhole) {
    const std::string shared = path("shared.dat");
    const std::string theirs = "1.0\t-50.0\t700.0\t1.90e+4\t1.500e+0\r\n";
    OtherRecording other(shared);
    ASSERT_EQ(other.said(), "held\n");
    const std::string told = "This file is being recorded by another recording:\\n" + shared;

    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, shared});
    ui.fileAnswers.push_back({VAL_NO_FILE_SELECTED, ""});
    ui.messageAnswers = 1;
    run();
    EXPECT_TRUE(shownWith(told));
    EXPECT_FALSE(shownWith("popup confirm"));
    EXPECT_EQ(app.speichern, 0);
    stop();

    shown.clear();
    ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, shared});
    ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, path("mine.dat")});
    ui.commentAnswers.push_back("");
    ui.messageAnswers = 1;
    run();
    EXPECT_TRUE(shownWith(told));
    EXPECT_EQ(app.speichern, 1);
    EXPECT_STREQ(app.datei, path("mine.dat").c_str());
    stop();
    EXPECT_EQ(readBytes(shared), theirs);

    app.o_dat_offen = 0;
    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, shared});
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_OPEN));
    EXPECT_EQ(chart().plots.size(), 2u);
    EXPECT_EQ(chart().plots[0].count, 1u);

    other.finish();
    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, shared});
    ui.confirmAnswers.push_back(1);
    ui.commentAnswers.push_back("mine now");
    run();
    EXPECT_EQ(app.speichern, 1);
    stop();
    EXPECT_EQ(readBytes(shared), header(shared, "mine now"));
    EXPECT_EQ(ui.messageAnswers, 0);
}

// A program directory and a data-file path of 300 bytes: the settings are neither read nor
// written (the operator is told at the close), the data file is refused with a message naming
// it and the dialog comes again. No file of a shorter name is touched.
TEST_F(Recording, PathsTooLongForTheirBuffersAreRefusedNeverCut) {
    namespace fs = std::filesystem;
    const std::string a = dir + "/" + std::string(100, 'a') + "/" + std::string(100, 'b');
    const std::string longDir = a + "/" + std::string(300 - a.size() - 1, 'c');
    ASSERT_EQ(longDir.size(), 300u);
    fs::create_directories(longDir);
    const std::string ini = " 7 2.000000 1 0 0.000000 20.000000 0.000000 30.000000 1 0 Kv_2016\r\n";
    writeBytes(longDir + "/TEVRAN.ini", ini);
    const std::string dataFile = longDir + "/run.dat";
    // Where paths cut to 260 and 290 bytes would lead.
    const std::string cutIni = (longDir + "/TEVRAN.ini").substr(0, 259);
    const std::string cutData = dataFile.substr(0, 289);
    writeBytes(cutIni, "decoy 1");
    writeBytes(cutData, "decoy 2");

    fresh();
    rt::setProjectDir(longDir);
    rt::setFrontEnd(&ui);
    ASSERT_EQ(tevranStartup(), 0);
    EXPECT_EQ(app.abtast, 1.0);  // the defaults, not the file's 2 s
    app.com_open = 1;

    shown.clear();
    ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, dataFile});
    ui.fileAnswers.push_back({VAL_NO_FILE_SELECTED, ""});
    ui.messageAnswers = 1;
    run();
    EXPECT_TRUE(shownWith("The path is too long: 308 characters, at most 289 fit:\\n" + dataFile))
        << (shown.empty() ? "" : shown.back());
    EXPECT_EQ(app.speichern, 0);
    EXPECT_STREQ(ctrl(app.p1, MAIN_FILENAME).stringValue.c_str(), "no file");

    testing::internal::CaptureStderr();
    EXPECT_EQ(shutdown(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("The settings could not be saved.\nThe program's directory is too long: "
                       "300 characters, at most 259 fit:\n" +
                       longDir),
              std::string::npos)
        << err;
    EXPECT_EQ(readBytes(longDir + "/TEVRAN.ini"), ini);
    EXPECT_EQ(readBytes(cutIni), "decoy 1");
    EXPECT_EQ(readBytes(cutData), "decoy 2");
    EXPECT_FALSE(fs::exists(dataFile));
    std::size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 4u);  // the two settings files and the two decoys
}

// The data file's folder removed at line 3 (a file deleted from a folder still there is written
// again under its own name: e2e data_file_deleted): the next poll writes the open file, which still
// holds every line, to the home folder, numbered when the name is taken there, and says where.
// Stop at line 10 leaves lines 1 to 10 under that name, and the alarm file beside it.
TEST_F(Recording, DataFileWhoseFolderWentKeepsEveryLineUnderANameTold) {
    namespace fs = std::filesystem;
    const std::string home = path("home");
    fs::create_directory(home);
    writeBytes(home + "/rec.dat", "someone else's\r\n");
    const char* savedHome = std::getenv("HOME");
    const std::string oldHome = savedHome ? savedHome : "";
    ::setenv("HOME", home.c_str(), 1);
    fs::create_directory(path("lab"));
    const std::string file = path("lab/rec.dat");
    const std::string kept = home + "/rec (2).dat";
    ui.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, file});
    ui.commentAnswers.push_back("");
    DisplayPanel(app.pa);
    SetCtrlVal(app.pa, ALARM_SILENT_S, 2);  // the port is silent: an alarm at 2 s
    rt::dispatchCommit(app.pa, ALARM_SILENT_S);
    run();
    tick(3);
    ASSERT_TRUE(fs::exists(file + ".alarms"));
    fs::remove_all(path("lab"));
    tick(1);
    const std::string status = ctrl(app.p1, MAIN_STATUS).stringValue;
    EXPECT_NE(status.find("goes on in " + kept), std::string::npos) << status;
    EXPECT_NE(status.find(file + " was deleted or moved away"), std::string::npos) << status;
    EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, kept);
    tick(6);
    stop();
    std::string lines;
    for (int t = 1; t <= 10; ++t) lines += std::to_string(t) + ".0" + kZeroLine;
    EXPECT_EQ(readBytes(kept), header(file, "") + lines);
    EXPECT_EQ(readBytes(home + "/rec.dat"), "someone else's\r\n");
    EXPECT_NE(readBytes(kept + ".alarms").find("\traised\r\n"), std::string::npos);
    if (savedHome)
        ::setenv("HOME", oldHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

// A file another program has locked (as the flock tool does) is refused in words that say so.
TEST_F(Recording, FileAnotherProgramLockedIsSaidToBeHeldByIt) {
    const std::string file = path("locked.dat");
    writeBytes(file, "theirs\r\n");
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    ui.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, file});
    ui.fileAnswers.push_back({VAL_NO_FILE_SELECTED, ""});
    ui.messageAnswers = 1;
    run();
    ::close(fd);
    EXPECT_TRUE(shownWith("This file is held by another program:\\n" + file)) << shown.back();
    EXPECT_EQ(readBytes(file), "theirs\r\n");
}

// The system's request to end (the close question is e2e orderly_end's) closes the file and
// saves the settings; from then on nothing is polled, not behind the message that they could
// not be saved either.
TEST_F(Recording, TheEndPollsNothingBehindItsMessage) {
    const std::string file = recordInto("rec.dat");
    tick(2);
    const std::string written = readBytes(file);
    ::chmod(path("TEVRAN.ini").c_str(), 0444);
    const int delivered = ui.delivered;
    testing::internal::CaptureStderr();
    int status = -1;
    try {
        rt::dispatchEndTask();
    } catch (const rt::ProcessExit& e) {
        status = e.status;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 0);
    EXPECT_GT(ui.delivered, delivered);  // ticks came behind the message, and polled nothing
    EXPECT_EQ(readBytes(file), written);
    EXPECT_EQ(app.fileStatus, "");
}

// A port chosen during a recording that cannot be opened ends the run before its message: the
// tick the message lets through polls nothing, so the file gets no line of the closed port and
// the window shows Idle without a poll behind it.
TEST_F(Recording, PortThatCannotBeOpenedEndsTheRunBeforeItsMessage) {
    const std::string file = recordInto("rec.dat");
    tick(1);
    ctrl(app.p4, PORT_NUMBER).intValue = 201;
    ui.messageAnswers = 1;
    const int delivered = ui.delivered;
    ASSERT_TRUE(rt::dispatchCommit(app.p4, PORT_OK));
    EXPECT_EQ(ui.delivered, delivered + 1);
    EXPECT_EQ(app.hol, 0);
    EXPECT_EQ(app.speichern, 0);
    tick(2);
    EXPECT_EQ(readBytes(file), header(file, "") + "1.0" + kZeroLine);
    EXPECT_EQ(app.mpoint, 1);
}
