#pragma once
// Pure parts of the instrument exchanges: the requests built, the replies parsed, and the oxygen
// relation.
#include <cstddef>

// Reference oxygen partial pressure of the Nernst relation [ppm] (20.64 % by volume).
constexpr double kO2Reference = 206400.0;

// Oxygen partial pressure [ppm] from cell voltage vz [mV] and cell temperature tz [°C]:
// reference · exp(vz · 46.42 / (tz + 273.1)) above 500 °C, else 0.
double nernst(double o2soll, double vz, double tz);

// Parses the numbers of a measurement reply, from its third byte on: Vz [mV], Tz [°C], Ie [mA].
// A number that is missing leaves its target unchanged. Returns how many were found.
int parseMeasurementReply(const char* reply, double& vz, double& tz, double& ie);

// Largest magnitude of a controller parameter: what the parameter fields hold, and what a write
// message ("R2 -1000000000.000000" CR) carries whole.
constexpr double kMaxParameter = 1e9;

// Parses the value of a controller-parameter reply: one number after its first three bytes
// ("rN " or "RN "), which are not examined. A reply without a number, or with one beyond
// ±kMaxParameter, leaves `value` unchanged. Returns 1 when a value was taken, else 0.
int parseParameterReply(const char* reply, double& value);

// Whether a controller-parameter reply answers the message for parameter n (5: the closing
// command). A reply that echoes a message ("rN " or "RN ") answers only the one with its number;
// a reply without such an echo is taken as an answer.
bool parameterReplyAnswers(const char* reply, int n);

// The requests, each ending in a carriage return, into the transmit buffer.
constexpr std::size_t kRequestSize = 260;
void measurementRequest(char (&out)[kRequestSize]);                          // "u6" CR
void parameterReadRequest(char (&out)[kRequestSize], int n);                 // "r2 " CR
void parameterWriteRequest(char (&out)[kRequestSize], int n, double value);  // "R2 12.500000" CR
void closingRequest(char (&out)[kRequestSize]);                              // "R!R!" CR
