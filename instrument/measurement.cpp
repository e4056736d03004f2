// The instrument's requests and replies, and the oxygen relation: no I/O here.
#include "instrument/measurement.h"

#include <cmath>
#include <cstring>

#include "runtime/textfiles.h"

double nernst(double o2soll, double vz, double tz) {
    if (tz > 500.0) return o2soll * std::exp((vz * 46.42) / (tz + 273.1));
    return 0.0;
}

int parseMeasurementReply(const char* reply, double& vz, double& tz, double& ie) {
    // reply: 'u', one byte not examined, then Vz [mV] Tz [°C] Ie [mA]
    std::size_t n = std::strlen(reply);
    if (n < 2) return 0;
    return Scan(reply + 2, "%s>%f%f%f", &vz, &tz, &ie);
}

int parseParameterReply(const char* reply, double& value) {
    if (std::strlen(reply) <= 3) return 0;
    double v = 0.0;
    if (Scan(reply + 3, "%s>%f", &v) != 1) return 0;
    // A garbled reply can carry a number of 300 digits: shown in a field and written back, it
    // would push the carriage return out of the transmit buffer.
    if (!(std::abs(v) <= kMaxParameter)) return 0;
    value = v;
    return 1;
}

bool parameterReplyAnswers(const char* reply, int n) {
    // echo: 'r' (read) or 'R' (write), the parameter's digit, a blank
    const bool echoed = (reply[0] == 'r' || reply[0] == 'R') && reply[1] >= '0' &&
                        reply[1] <= '9' && reply[2] == ' ';
    return !echoed || reply[1] - '0' == n;
}

void measurementRequest(char (&out)[kRequestSize]) { Fmt(out, "u6%c", 13); }

void parameterReadRequest(char (&out)[kRequestSize], int n) { Fmt(out, "r%i %c", n, 13); }

void parameterWriteRequest(char (&out)[kRequestSize], int n, double value) {
    Fmt(out, "R%i %f%c", n, value, 13);
}

void closingRequest(char (&out)[kRequestSize]) { Fmt(out, "R!R!%c", 13); }
