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

// Numbers from the third byte on go to Vz, Tz and Ie in order; a missing one keeps its value.
TEST(MeasurementReply, NumbersFromTheThirdByteOnMissingOnesKeepTheirValues) {
    const struct {
        const char* reply;
        int found;
        double vz, tz, ie;
    } cases[] = {
        {"u6 -100.0 750.0 12.5", 3, -100.0, 750.0, 12.5},
        {"uX-850.25\t701.5 0.125", 3, -850.25, 701.5, 0.125},
        {"u71 2", 2, 1.0, 2.0, 3.0},  // the second byte is never part of a number, even a digit
        {"u6 4 5", 2, 4.0, 5.0, 3.0},
        {"u6 7", 1, 7.0, 2.0, 3.0},
        {"", 0, 1.0, 2.0, 3.0},
        {"u", 0, 1.0, 2.0, 3.0},
        {"u6", 0, 1.0, 2.0, 3.0},
        {"u6 ", 0, 1.0, 2.0, 3.0},
        {"u6 abc", 0, 1.0, 2.0, 3.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        double vz = 1.0, tz = 2.0, ie = 3.0;
        EXPECT_EQ(parseMeasurementReply(c.reply, vz, tz, ie), c.found);
        EXPECT_EQ(vz, c.vz);
        EXPECT_EQ(tz, c.tz);
        EXPECT_EQ(ie, c.ie);
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
