// The background sync of written files: a thread that fdatasyncs each file written to at most
// one second after the write and at most once a second per file, so that a crash of the system
// or a power cut loses at most the last second of a recording while the writer never waits for
// the disk; and the sync at close.
#include "runtime/core/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "runtime/core/file_table.h"

namespace rt::files {

namespace {

constexpr std::int64_t kSyncPeriod = 1'000'000'000;  // [ns]

std::atomic<std::uint64_t> g_syncCount{0};
std::atomic<std::int64_t> g_longestSyncWait{0};  // [ns]

// Syncs one file's data; `since` is when its oldest unsynced write happened, if any is waiting.
void syncData(int fd, std::optional<std::int64_t> since, std::int64_t now) {
    ::fdatasync(fd);
    g_syncCount.fetch_add(1);
    if (!since) return;
    const std::int64_t waited = now - *since;
    std::int64_t longest = g_longestSyncWait.load();
    while (waited > longest && !g_longestSyncWait.compare_exchange_weak(longest, waited)) {
    }
}

// The background thread that syncs written files when due: a file written at time t is synced
// at max(t, its last sync + 1 s). It sleeps while nothing is waiting.
class Syncer {
  public:
    static Syncer& instance() {
        static Syncer syncer;
        return syncer;
    }

    // A file went from clean to written.
    void wake() {
        {
            std::lock_guard lock(mutex_);
            pending_ = true;
        }
        cv_.notify_one();
    }

    ~Syncer() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        cv_.notify_one();
        if (thread_.joinable()) thread_.join();
    }

  private:
    Syncer() : thread_([this] { run(); }) {}

    void run() {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            pending_ = false;
            lock.unlock();
            const std::optional<std::int64_t> next = syncDue();
            lock.lock();
            if (stop_ || pending_) continue;
            if (next) {
                const auto at =
                    std::chrono::steady_clock::time_point(std::chrono::nanoseconds(*next));
                cv_.wait_until(lock, at, [this] { return stop_ || pending_; });
            } else {
                cv_.wait(lock, [this] { return stop_ || pending_; });
            }
        }
    }

    // Syncs every file that is due; returns when the next one falls due, if any is waiting.
    static std::optional<std::int64_t> syncDue();

    std::mutex mutex_;
    std::condition_variable cv_;
    bool pending_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: started once the members above exist
};

std::optional<std::int64_t> Syncer::syncDue() {
    std::optional<std::int64_t> next;
    for (int i = 0; i < kMaxHandles; ++i) {
        int fd = -1;
        std::int64_t since = 0;
        const std::int64_t now = steadyNow();
        {
            std::lock_guard lock(g_table.mutex);
            FileSlot& s = g_table.slots[i];
            if (!s.open.load() || !s.dirty.load()) continue;
            since = s.dirtySince.load();
            const std::int64_t due = std::max(since, s.lastSync + kSyncPeriod);
            if (due > now) {
                next = next ? std::min(*next, due) : due;
                continue;
            }
            // Cleared before the sync: a write that comes meanwhile marks the file again.
            s.dirty.store(false);
            s.lastSync = now;
            // A duplicate, so that the sync runs without the table lock and CloseFile may
            // close the handle meanwhile.
            fd = ::fcntl(s.fd, F_DUPFD_CLOEXEC, 0);
        }
        if (fd >= 0) {
            syncData(fd, since, now);
            ::close(fd);
        }
    }
    return next;
}

}  // namespace

std::int64_t steadyNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void noteWritten(FileSlot& s) {
    s.written = true;
    if (s.replace || s.dirty.load()) return;
    s.dirtySince.store(steadyNow());
    s.dirty.store(true);
    Syncer::instance().wake();
}

void syncOnClose(FileSlot& s) {
    if (s.replace || !s.written) return;
    std::optional<std::int64_t> since;
    if (s.dirty.exchange(false)) since = s.dirtySince.load();
    syncData(s.fd, since, steadyNow());
}

}  // namespace rt::files

namespace rt {

std::uint64_t fileSyncCount() { return files::g_syncCount.load(); }

double longestSyncWait() { return static_cast<double>(files::g_longestSyncWait.load()) * 1e-9; }

}  // namespace rt
