// The pure parsers of the instrument's replies, on the cases that matter at their edges.
#include <gtest/gtest.h>

#include <cmath>

#include "instrument/measurement.h"

TEST(MeasurementReply, NumbersFromTheThirdByteOnMissingOnesKeepTheirValues) {
    double vz = 1, tz = 2, ie = 3;
    EXPECT_EQ(parseMeasurementReply("u6 -100.0 750.0 12.5", vz, tz, ie), 3);
    EXPECT_EQ(vz, -100.0);
    EXPECT_EQ(tz, 750.0);
    EXPECT_EQ(ie, 12.5);
    // The second byte is never part of a number, even when it is a digit.
    EXPECT_EQ(parseMeasurementReply("u71 2", vz, tz, ie), 2);
    EXPECT_EQ(vz, 1.0);
    EXPECT_EQ(tz, 2.0);
    EXPECT_EQ(ie, 12.5);
    EXPECT_EQ(parseMeasurementReply("u", vz, tz, ie), 0);
    EXPECT_EQ(parseMeasurementReply("", vz, tz, ie), 0);
    EXPECT_EQ(vz, 1.0);
}

TEST(ParameterReply, OnlyANumberTheParameterFieldsCanHoldIsTaken) {
    double v = 7.0;
    EXPECT_EQ(parseParameterReply("r2 12.500000", v), 1);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(parseParameterReply("R0 -1e9", v), 1);
    EXPECT_EQ(v, -1e9);
    // No number after the three bytes, or none at all: the value stays.
    EXPECT_EQ(parseParameterReply("r4 ", v), 0);
    EXPECT_EQ(parseParameterReply("r4 x1", v), 0);
    EXPECT_EQ(parseParameterReply("r41", v), 0);
    EXPECT_EQ(v, -1e9);
    // A garbled reply with a huge number: written back, its 290 digits would have pushed the
    // carriage return of the write message out of the transmit buffer.
    EXPECT_EQ(parseParameterReply(",40.6E284", v), 0);
    EXPECT_EQ(parseParameterReply("r1 1000000000.5", v), 0);
    EXPECT_EQ(v, -1e9);
}
