#include "platform/runtime/Paths.h"
#include <QDir>
#include <QFileInfo>

QString Paths::native(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "a\\b" and "a\" + "\b" both mean a/b
    while (p.contains(QLatin1String("//"))) p.replace(QLatin1String("//"), QLatin1String("/"));
    return p;
}

QString Paths::resolve(const QString& path)
{
    const QString p = native(path);
    const QFileInfo fi(p);
    if (fi.exists() || p.endsWith(QLatin1Char('/'))) return p;
    const QDir dir = fi.absoluteDir();
    if (!dir.exists()) return p;
    const auto entries = dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(fi.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(e);
    return p;
}

bool Paths::fileExists(const QString& path)
{
    const QFileInfo fi(resolve(path));
    return fi.exists() && fi.isFile();
}
