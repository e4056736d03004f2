// Written data reaches the disk: synced within a second of the write, at most once a second
// while lines keep coming, and at close.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "runtime/core/file_sync.h"
#include "runtime/textfiles.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Waits up to `limit` seconds for the sync count to pass `count`; returns the time it took, or
// a negative value when it did not.
double waitForSyncAfter(std::uint64_t count, double limit) {
    const auto start = Clock::now();
    while (secondsSince(start) < limit) {
        if (rt::fileSyncCount() > count) return secondsSince(start);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1.0;
}

}  // namespace

TEST(FileSync, LinesAreSyncedWithinASecondAtMostOnceASecondAndAtClose) {
    char tmpl[] = "/tmp/tevran-sync-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const std::string path = dir + "/run.dat";
    const int f = OpenFile(path.c_str(), VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GT(f, 0);

    // A first line in a quiet file is synced at once.
    std::uint64_t before = rt::fileSyncCount();
    ASSERT_GT(FmtFile(f, "%s<%f[p1]\t%f[p1]\n", 1.0, 2.0), 0);
    const double first = waitForSyncAfter(before, 3.0);
    EXPECT_GE(first, 0.0) << "the line was never synced";
    EXPECT_LT(first, 0.8);  // not held for a period of 1 s

    // Lines every 20 ms for 2.5 s: about one sync a second, never one per line.
    before = rt::fileSyncCount();
    const auto start = Clock::now();
    int lines = 1;
    while (secondsSince(start) < 2.5) {
        ASSERT_GT(FmtFile(f, "%s<%f[p1]\t%f[p1]\n", ++lines * 1.0, 2.0), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::uint64_t during = rt::fileSyncCount() - before;
    EXPECT_GE(during, 1u);
    EXPECT_LE(during, 4u);

    // The last line, written just now, is synced within a second without any further write.
    before = rt::fileSyncCount();
    ASSERT_GT(FmtFile(f, "%s<%f[p1]\t%f[p1]\n", ++lines * 1.0, 2.0), 0);
    const double last = waitForSyncAfter(before, 3.0);
    EXPECT_GE(last, 0.0) << "the last line was never synced";
    EXPECT_LE(last, 1.8);
    EXPECT_LE(rt::longestSyncWait(), 1.8);

    // Closing syncs once more; a file only read is never synced.
    before = rt::fileSyncCount();
    EXPECT_EQ(CloseFile(f), 0);
    EXPECT_EQ(rt::fileSyncCount(), before + 1);
    const int r = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GT(r, 0);
    char buf[64];
    int count = 0;
    while (ReadLine(r, buf, 63) >= 0) ++count;
    EXPECT_EQ(CloseFile(r), 0);
    EXPECT_EQ(count, lines);
    EXPECT_EQ(rt::fileSyncCount(), before + 1);

    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
