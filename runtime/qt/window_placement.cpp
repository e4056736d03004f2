#include "runtime/qt/window_placement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>

#ifndef Q_OS_WIN
#include <signal.h>

#include <cerrno>
#endif

namespace rt::qt {

namespace {

constexpr int kGap = 8;       // between two windows' frames [px]
constexpr int kCascade = 32;  // step of the last resort, down and right [px]

QRect withFrame(const QRect& r) { return r.marginsAdded(kFrameAllowance); }

bool freeOf(const QRect& r, const std::vector<QRect>& others) {
    return std::none_of(others.begin(), others.end(),
                        [&](const QRect& o) { return withFrame(r).intersects(withFrame(o)); });
}

QRect centred(QSize size, const QRect& area) {
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    return r;
}

// One small file per running instance, named by its process id, holding "x y width height".
QString registryDir() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) base = QDir::tempPath();
    return base + QStringLiteral("/tevran-windows");
}

QString ownEntry() {
    return registryDir() + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid());
}

bool processAlive(qint64 pid) {
#ifdef Q_OS_WIN
    Q_UNUSED(pid);
    return true;
#else
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#endif
}

}  // namespace

WindowPlace chooseWindowPlace(const QRect& remembered, QSize smallest, QSize preferred,
                              const QRect& available, const std::vector<QRect>& others) {
    const QRect area = available.marginsRemoved(kFrameAllowance);
    WindowPlace place;
    if (remembered.isValid() && area.contains(remembered)) {
        place.rect = remembered;
        place.remembered = true;
    } else if (remembered.isValid()) {
        place.rect = centred(smallest, area);
    } else {
        place.rect = centred(preferred.boundedTo(area.size()).expandedTo(smallest), area);
    }
    if (freeOf(place.rect, others)) return place;

    const QSize size = place.rect.size();
    const QMargins f = kFrameAllowance;
    std::vector<QPoint> candidates;
    for (const QRect& o : others) {
        candidates.push_back({o.right() + 1 + f.right() + kGap + f.left(), o.top()});
        candidates.push_back({o.left() - f.left() - kGap - f.right() - size.width(), o.top()});
        candidates.push_back({o.left(), o.bottom() + 1 + f.bottom() + kGap + f.top()});
    }
    for (int step = 1; step < 40; ++step)
        candidates.push_back(place.rect.topLeft() + QPoint(step * kCascade, step * kCascade));
    for (const QPoint& at : candidates) {
        const QRect r(at, size);
        if (area.contains(r) && freeOf(r, others)) {
            place.rect = r;
            return place;
        }
    }
    // The screen is full: at least not exactly on top of another window.
    const QRect step = place.rect.translated(kCascade, kCascade);
    if (area.contains(step)) place.rect = step;
    return place;
}

std::vector<QRect> otherInstanceWindows() {
    std::vector<QRect> out;
    QDir dir(registryDir());
    const QString own = QString::number(QCoreApplication::applicationPid());
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name == own) continue;
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (!number) continue;
        if (!processAlive(pid)) {
            dir.remove(name);
            continue;
        }
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        QTextStream in(&file);
        int x = 0, y = 0, w = 0, h = 0;
        in >> x >> y >> w >> h;
        if (in.status() == QTextStream::Ok && w > 0 && h > 0) out.emplace_back(x, y, w, h);
    }
    return out;
}

void noteInstanceWindow(const QRect& rect) {
    if (!QDir().mkpath(registryDir())) return;
    QFile file(ownEntry());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(QStringLiteral("%1 %2 %3 %4\n")
                   .arg(rect.x())
                   .arg(rect.y())
                   .arg(rect.width())
                   .arg(rect.height())
                   .toLatin1());
}

void forgetInstanceWindow() { QFile::remove(ownEntry()); }

}  // namespace rt::qt
