#include "runtime/qt/chosen_path.h"

#include <QDir>

#include "runtime/core/system_paths.h"
#include "runtime/qt/text_encoding.h"

namespace rt::qt {

QString chosenPathRefusal(const QString& file, std::size_t capacity, std::string& path) {
    const QString native = QDir::toNativeSeparators(file);
    path = toCp1252(native);
    // Each character that came back as '?' without being one has no Windows-1252 byte.
    QString missing;
    int at = 0;
    for (qsizetype i = 0; i < native.size(); ++i, ++at) {
        const QChar c = native.at(i);
        const bool pair =
            c.isHighSurrogate() && i + 1 < native.size() && native.at(i + 1).isLowSurrogate();
        if (path[std::size_t(at)] == '?' && c != QLatin1Char('?'))
            missing += pair ? native.mid(i, 2) : QString(c);
        if (pair) ++i;
    }
    if (!missing.isEmpty())
        return QStringLiteral(
                   "The name cannot be used: the files of this program are named in "
                   "the Windows-1252 character set, which has no %1.\n%2\n"
                   "Please choose a name with other characters.")
            .arg(missing.size() == 1 ? QStringLiteral("character \"%1\"").arg(missing)
                                     : QStringLiteral("characters \"%1\"").arg(missing),
                 native);
    return fromCp1252(pathRefusal(path, capacity));
}

}  // namespace rt::qt
