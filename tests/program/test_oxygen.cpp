// The oxygen partial pressure of the measuring cell and the parsing of a measurement reply.
#include <cmath>
#include <string>

#include "instrument/measurement.h"
#include "program_fixture.h"
#include "runtime/rs232.h"

using namespace tevran_test;

TEST(Oxygen, NernstRelationAtWorkedPoints) {
    EXPECT_DOUBLE_EQ(nernst(kO2Reference, 0.0, 600.0), 206400.0);
    EXPECT_NEAR(nernst(kO2Reference, -100.0, 750.0), 2209.19, 0.01);
    EXPECT_NEAR(nernst(kO2Reference, -50.0, 700.0), 19004.1, 0.1);
    // Positive sign inside the exponential, offset 273.1.
    EXPECT_GT(nernst(kO2Reference, 10.0, 700.0), 206400.0);
    EXPECT_NEAR(nernst(kO2Reference, 20.0, 726.9), 522286.37, 0.01);
}

TEST(Oxygen, CellAtOrBelow500DegreesGivesZero) {
    EXPECT_EQ(nernst(kO2Reference, 0.0, 500.0), 0.0);
    EXPECT_EQ(nernst(kO2Reference, -80.0, 500.0), 0.0);
    EXPECT_EQ(nernst(kO2Reference, 0.0, 20.0), 0.0);
    EXPECT_EQ(nernst(kO2Reference, 0.0, -273.1), 0.0);  // no division by zero
    EXPECT_DOUBLE_EQ(nernst(kO2Reference, 0.0, 500.1), 206400.0);
}

TEST(Oxygen, ReplyNumbersGoToVzTzIeInOrder) {
    double vz = -1, tz = -1, ie = -1;
    EXPECT_EQ(parseMeasurementReply("u6 1 2 3", vz, tz, ie), 3);
    EXPECT_EQ(vz, 1.0);
    EXPECT_EQ(tz, 2.0);
    EXPECT_EQ(ie, 3.0);

    // The second byte is not examined; numbers start at the third.
    EXPECT_EQ(parseMeasurementReply("uX-850.25\t701.5 0.125", vz, tz, ie), 3);
    EXPECT_EQ(vz, -850.25);
    EXPECT_EQ(tz, 701.5);
    EXPECT_EQ(ie, 0.125);
}

TEST(Oxygen, MissingReplyNumbersKeepEarlierValues) {
    double vz = 1, tz = 2, ie = 3;
    EXPECT_EQ(parseMeasurementReply("u6 4 5", vz, tz, ie), 2);
    EXPECT_EQ(vz, 4.0);
    EXPECT_EQ(tz, 5.0);
    EXPECT_EQ(ie, 3.0);
    EXPECT_EQ(parseMeasurementReply("u6 7", vz, tz, ie), 1);
    EXPECT_EQ(vz, 7.0);
    EXPECT_EQ(tz, 5.0);
    for (const char* reply : {"", "u", "u6", "u6 ", "u6 abc"}) {
        EXPECT_EQ(parseMeasurementReply(reply, vz, tz, ie), 0) << reply;
        EXPECT_EQ(vz, 7.0) << reply;
        EXPECT_EQ(tz, 5.0) << reply;
        EXPECT_EQ(ie, 3.0) << reply;
    }
}

class PollCycle : public ProgramTest {};

// Port 200 is not open: the read fails, the cycle still completes with zeros and shows the
// library's error code in the second value field.
TEST_F(PollCycle, FailedReadZeroesValuesAndShowsErrorCode) {
    start();
    ASSERT_EQ(app.com_open, 0);
    app.was[0] = 0;
    app.was[1] = 1;
    app.mw[0] = -850.0;
    app.mw[1] = 700.0;
    app.mw[2] = 123.0;
    app.mw[3] = 5.0;
    app.xmax = 100;
    fe.setClock(7.5);
    wert();
    EXPECT_EQ(app.mzeit, 7.5);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(app.mw[k], 0.0) << k;
    EXPECT_EQ(app.o2soll, 206400.0);
    int err = ReturnRS232Err();
    EXPECT_LT(err, 0);
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE2).stringValue, "ERROR (" + std::to_string(err) + ")");
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE1).stringValue, " " + std::string("       0.0") + " mV  ");
    EXPECT_EQ(ctrl(app.av, ALLVAL_PO2).stringValue, "  0.000e+00 ppm ");
    EXPECT_EQ(ctrl(app.av, ALLVAL_IE).stringValue, "     0.0000 mA  ");
    EXPECT_EQ(ctrl(app.p1, MAIN_COM_LED).intValue, 0);
    EXPECT_EQ(app.mpoint, 1);  // the chart got its sample too
    EXPECT_EQ(popups, 0);
}
