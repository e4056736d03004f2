#pragma once
// The lowest and highest value of each of the four quantities per time column: over a fixed
// time range, or over the times seen so far, the columns widening as later (or earlier) times
// arrive.
#include <vector>

class TimeColumns {
  public:
    static constexpr int kColumns = 1024;
    void fixed(double lo, double hi);
    void growing();
    // One line's time and its four quantities.
    void add(double t, const double* q);
    // Values somewhere between tLo and tHi: every column that span touches takes them.
    void addSpan(double tLo, double tHi, const double* qLo, const double* qHi);
    double x0() const { return x0_; }
    double dx() const { return dx_; }
    // Quantity `q` (0..3) of column `c`; false when the column holds nothing.
    bool column(int c, int q, double& lo, double& hi) const;
    // Quantity `no`'s columns from the first to the last that hold anything, NaN where one holds
    // nothing, and where they begin; 0 for an index the file has no column for.
    void quantity(int no, double& x0, std::vector<double>& lo, std::vector<double>& hi) const;

  private:
    void merge(bool towardLow);
    std::vector<double> lo_, hi_;  // [column * 4 + quantity]
    double x0_ = 0.0, dx_ = 1.0;
    double xEnd_ = 0.0;   // the fixed range's end
    double perDx_ = 1.0;  // 1 / dx_ while the columns grow
    bool grows_ = false, started_ = false;
};
