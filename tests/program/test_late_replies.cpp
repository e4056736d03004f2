// Replies that come after their time-out, against tevran-sim on a real pseudo-terminal: no reply
// is ever taken for the answer to another request. Runs alone (it measures nothing, but its
// replies are timed against the exchanges' time-outs).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <chrono>
#include <clocale>
#include <fstream>
#include <thread>

#include "instrument/measurement.h"
#include "program_fixture.h"
#include "runtime/rs232.h"

namespace tevran_test {
namespace {

class LateReplies : public ProgramTest {
  protected:
    QProcess sim;

    void SetUp() override {
        // QProcess watches the simulator's output through the event dispatcher of an application.
        static int argc = 1;
        static char name[] = "test_late_replies";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) {
            new QCoreApplication(argc, argv);
            std::setlocale(LC_NUMERIC, "C");  // the application took the environment's
        }
        ProgramTest::SetUp();
    }

    // The simulator on port 7, each answer `delayMs` after its request; measurement request k
    // (from 1) is answered "u6 -k 700.0 1.5".
    void startSim(int delayMs, const QStringList& more = {}) {
        std::ofstream replies(path("replies.txt"));
        for (int k = 1; k <= 40; ++k) replies << "u6 -" << k << ".0 700.0 1.5\n";
        replies.close();
        sim.start(QString(TEVRAN_BIN_DIR) + "/tevran-sim",
                  QStringList{"--link", QString::fromStdString(path("COM7")), "--replies",
                              QString::fromStdString(path("replies.txt")), "--delay",
                              QString::number(delayMs), "--params", "11,12,13,14,15"} +
                      more);
        ASSERT_TRUE(sim.waitForStarted(5000));
        QElapsedTimer t;
        t.start();
        while (!sim.canReadLine() && t.elapsed() < 5000) sim.waitForReadyRead(100);
        ASSERT_TRUE(sim.readLine().startsWith("ready"));
        app.com_nummer = 7;
        ASSERT_EQ(OpenComConfig(7, "", 9600, 0, 8, 1, 128, 24), 0);
        app.com_open = 1;
    }

    void TearDown() override {
        CloseCom(7);
        sim.terminate();
        sim.waitForFinished(5000);
        ProgramTest::TearDown();
    }
};

TEST_F(LateReplies, EveryPollIsItsOwnRequestsValuesOrFailed_EveryParameterItsOwnOrUnread) {
    // Poll time-out 0.5 s, parameter messages 0.6 s.
    struct Case {
        int delayMs;
        double interval;  // [s] between the starts of polls; 0 for a parameter read
        bool allGood;     // replies within the time-out
    };
    const Case cases[] = {
        {300, 0.1, true},  {525, 0.1, false},  {600, 0.5, false},
        {750, 1.0, false}, {1000, 0.1, false}, {1000, 1.0, false},
        {300, 0, true},    {700, 0, false},    {1200, 0, false},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE("delay " + std::to_string(c.delayMs) + " ms, interval " +
                     std::to_string(c.interval));
        sim.terminate();
        sim.waitForFinished(5000);
        CloseCom(7);
        startSim(c.delayMs);
        if (c.interval > 0) {
            using Clock = std::chrono::steady_clock;
            const auto first = Clock::now();
            for (int k = 1; k <= 3; ++k) {
                std::this_thread::sleep_until(
                    first + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>((k - 1) * c.interval)));
                wert();
                const bool failed = app.mw[1] == 0.0;
                EXPECT_TRUE(failed ? !c.allGood : app.mw[0] == -k)
                    << "poll " << k << " shows Vz " << app.mw[0];
            }
        } else {
            stellregelparameter(0);
            for (int n = 0; n <= 4; ++n) {
                const bool unread = (app.regUnread >> n) & 1;
                EXPECT_TRUE(unread ? !c.allGood : app.rpara[n] == 11 + n)
                    << "parameter " << n << " = " << app.rpara[n];
            }
        }
    }
}

}  // namespace
}  // namespace tevran_test
