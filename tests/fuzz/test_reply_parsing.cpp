// The controller-parameter reply parser, on the cases that matter at its edges (the measurement
// reply's are in tests/program/test_oxygen.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "instrument/measurement.h"

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
