// The band: the lowest and highest values per time column.
#include "datafiles/time_columns.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void widen(double& lo, double& hi, double v) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
}
}  // namespace

void TimeColumns::fixed(double lo, double hi) {
    lo_.assign(kColumns * 4, kInf);
    hi_.assign(kColumns * 4, -kInf);
    x0_ = lo;
    xEnd_ = hi;
    dx_ = hi > lo ? (hi - lo) / kColumns : 1.0;
    grows_ = false;
    started_ = true;
}

void TimeColumns::growing() {
    lo_.assign(kColumns * 4, kInf);
    hi_.assign(kColumns * 4, -kInf);
    grows_ = true;
    started_ = false;
}

void TimeColumns::merge(bool towardLow) {
    // Pairs of columns become one; the other half of the columns is then empty.
    const int half = kColumns / 2;
    for (int k = 0; k < half; ++k) {
        const int to = towardLow ? k : half + k;
        for (int q = 0; q < 4; ++q) {
            const double lo = std::min(lo_[(2 * k) * 4 + q], lo_[(2 * k + 1) * 4 + q]);
            const double hi = std::max(hi_[(2 * k) * 4 + q], hi_[(2 * k + 1) * 4 + q]);
            lo_[to * 4 + q] = lo;
            hi_[to * 4 + q] = hi;
        }
    }
    const int from = towardLow ? half : 0;
    std::fill(lo_.begin() + from * 4, lo_.begin() + (from + half) * 4, kInf);
    std::fill(hi_.begin() + from * 4, hi_.begin() + (from + half) * 4, -kInf);
    if (!towardLow) x0_ -= kColumns * dx_;
    dx_ *= 2;
    perDx_ = 1.0 / dx_;
}

void TimeColumns::add(double t, const double* q) {
    if (!std::isfinite(t) || lo_.empty()) return;
    if (grows_) {
        if (!started_) {
            x0_ = t;
            dx_ = 1.0 / kColumns;  // one second to begin with
            perDx_ = kColumns;
            started_ = true;
        }
        while (t >= x0_ + kColumns * dx_ && std::isfinite(dx_)) merge(true);
        while (t < x0_ && std::isfinite(dx_)) merge(false);
    }
    // A growing band's width is a power of two seconds: multiplying by its inverse is exactly
    // the division, and quicker.
    double c = grows_ ? (t - x0_) * perDx_ : (t - x0_) / dx_;
    // A time inside the columns, its last instant too, whose column comes out one too far only
    // by the rounding of the division, is in the last column.
    if (grows_ || (t >= x0_ && t <= xEnd_)) c = std::min(c, kColumns - 1.0);
    if (!(c >= 0 && c < kColumns)) return;
    const int column = static_cast<int>(c);  // rounded down, as c >= 0
    double* lo = &lo_[column * 4];
    double* hi = &hi_[column * 4];
    for (int k = 0; k < 4; ++k) widen(lo[k], hi[k], q[k]);
}

void TimeColumns::addSpan(double tLo, double tHi, const double* qLo, const double* qHi) {
    if (!(tLo <= tHi) || lo_.empty()) return;
    if (grows_) {
        add(tLo, qLo);
        add(tHi, qHi);
    }
    const int first =
        static_cast<int>(std::clamp(std::floor((tLo - x0_) / dx_), 0.0, kColumns - 1.0));
    const int last =
        static_cast<int>(std::clamp(std::floor((tHi - x0_) / dx_), 0.0, kColumns - 1.0));
    for (int c = first; c <= last; ++c)
        for (int q = 0; q < 4; ++q) {
            widen(lo_[c * 4 + q], hi_[c * 4 + q], qLo[q]);
            widen(lo_[c * 4 + q], hi_[c * 4 + q], qHi[q]);
        }
}

bool TimeColumns::column(int c, int q, double& lo, double& hi) const {
    if (c < 0 || c >= kColumns || q < 0 || q > 3 || lo_.empty()) return false;
    lo = lo_[c * 4 + q];
    hi = hi_[c * 4 + q];
    return lo <= hi;
}

void TimeColumns::quantity(int no, double& x0, std::vector<double>& lo,
                           std::vector<double>& hi) const {
    lo.clear();
    hi.clear();
    int first = kColumns, last = -1;
    double a, b;
    for (int c = 0; c < kColumns; ++c)
        if (column(c, 0, a, b)) {
            first = std::min(first, c);
            last = c;
        }
    x0 = x0_ + first * dx_;
    for (int c = first; c <= last; ++c) {
        if (!column(c, 0, a, b)) {
            lo.push_back(kNaN);
            hi.push_back(kNaN);
        } else if (no < 0 || no > 3) {
            lo.push_back(0.0);
            hi.push_back(0.0);
        } else {
            column(c, no, a, b);
            lo.push_back(a);
            hi.push_back(b);
        }
    }
}
