#include "cell_model.h"

#include <cmath>
#include <cstdio>

namespace tevran::sim {

namespace {

constexpr double air_ppm = 206400.0;
constexpr double kelvin_offset = 273.1;
constexpr double nernst_divisor = 46.42;

constexpr double log_ppm_step = 0.04; // max change of ln(pO2) per request
constexpr double ie_step_ma = 0.02;   // max change of Ie per request
constexpr double tz_jitter_c = 0.5;

// Keeps a random-walk value inside [lo, hi] by mirroring at the bounds.
double reflect(double v, double lo, double hi)
{
    if (v < lo) return lo + (lo - v);
    if (v > hi) return hi - (v - hi);
    return v;
}

} // namespace

CellModel::CellModel(std::uint64_t seed)
    : state_(seed)
{
    log_ppm_ = uniform(std::log(min_ppm), std::log(max_ppm));
    ie_ma_ = uniform(min_ie_ma, max_ie_ma);
}

double CellModel::uniform(double lo, double hi)
{
    // splitmix64: a small, well-mixed generator with a fixed definition.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    const double unit = static_cast<double>(z >> 11) * 0x1.0p-53;
    return lo + (hi - lo) * unit;
}

Measurement CellModel::next()
{
    log_ppm_ = reflect(log_ppm_ + uniform(-log_ppm_step, log_ppm_step),
                       std::log(min_ppm), std::log(max_ppm));
    ie_ma_ = reflect(ie_ma_ + uniform(-ie_step_ma, ie_step_ma), min_ie_ma, max_ie_ma);
    const double tz = nominal_tz_c + uniform(-tz_jitter_c, tz_jitter_c);
    return {cell_voltage_mv(std::exp(log_ppm_), tz), tz, ie_ma_};
}

double cell_voltage_mv(double ppm, double tz_c)
{
    return std::log(ppm / air_ppm) * (tz_c + kelvin_offset) / nernst_divisor;
}

double oxygen_ppm(double vz_mv, double tz_c)
{
    return air_ppm * std::exp(vz_mv * nernst_divisor / (tz_c + kelvin_offset));
}

std::string format_measurement(const Measurement& m)
{
    // snprintf in the default "C" locale: '.' is the decimal point.
    char text[96];
    const int n = std::snprintf(text, sizeof text, "u6 %.2f %.1f %.3f", m.vz_mv, m.tz_c, m.ie_ma);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

} // namespace tevran::sim
