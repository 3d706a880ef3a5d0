// A file's bytes for comparisons; "<missing>" when it cannot be read, so a
// missing file fails an equality with a readable message.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace pasdraw {

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

}  // namespace pasdraw
