// A seeded model of the measuring cell: the values a measurement request reports.
#pragma once

#include <cstdint>
#include <string>

namespace tevran::sim {

struct Measurement {
    double vz_mv; // cell voltage [mV]
    double tz_c;  // cell temperature [°C]
    double ie_ma; // heater/pump current [mA]
};

// A cell held near 700 °C whose oxygen level drifts slowly: log pO2 and the
// current each follow a bounded random walk, the temperature jitters by up
// to ±0.5 °C. The sequence depends only on the seed, so the n-th call of
// next() gives the same values for the same seed on every platform (the
// generator is our own, not a std:: distribution).
class CellModel {
public:
    static constexpr double min_ppm = 1.1e3;
    static constexpr double max_ppm = 1.9e5;
    static constexpr double min_ie_ma = 0.05;
    static constexpr double max_ie_ma = 2.0;
    static constexpr double nominal_tz_c = 700.0;

    explicit CellModel(std::uint64_t seed);

    Measurement next();

private:
    double uniform(double lo, double hi); // [lo, hi)

    std::uint64_t state_;
    double log_ppm_;
    double ie_ma_;
};

// Cell voltage [mV] for an oxygen level [ppm] at a temperature [°C]
// (Nernst relation against air, 206400 ppm).
double cell_voltage_mv(double ppm, double tz_c);

// The inverse: oxygen level [ppm] from cell voltage [mV] and temperature [°C].
double oxygen_ppm(double vz_mv, double tz_c);

// The instrument's measurement answer without the closing CR:
// "u6 <Vz %.2f> <Tz %.1f> <Ie %.3f>", always with '.' as decimal point.
std::string format_measurement(const Measurement& m);

} // namespace tevran::sim
