#pragma once
#include <QString>

// Paths are joined with "\" as on the host's platform; these turn such a path into
// one this platform opens, and find a file whose name differs only in case.
namespace Paths {
QString native(const QString& path);
// The existing file the path means (case-insensitive on the last component), or native(path).
QString resolve(const QString& path);
bool fileExists(const QString& path);
}  // namespace Paths
