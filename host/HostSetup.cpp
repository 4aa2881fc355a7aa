#include "host/HostSetup.h"
#include "model/Schema.h"
#include "platform/runtime/AppError.h"
#include "platform/db/Connection.h"
#include "platform/host/Settings.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString HostSetup::dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

// The demo files live in the core library's resources.
static void initDemo() { Q_INIT_RESOURCE(data); }

namespace {
// Copies the demo files of a resource folder into a folder, leaving files already there alone.
void copiaDemo(const QString& risorsa, const QString& cartella)
{
    QDirIterator it(risorsa, QDir::Files);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        const QString dest = QDir(cartella).filePath(fi.fileName());
        if (QFileInfo::exists(dest) || !QFile::copy(fi.filePath(), dest)) continue;
        QFile::setPermissions(dest, QFile::permissions(dest) | QFileDevice::WriteOwner);
    }
}
}  // namespace

QString HostSetup::defaultDatabase() { return QDir(dataFolder()).filePath(QStringLiteral("analisi.sqlite")); }

void HostSetup::createDatabase(const QString& file)
{
    if (QFileInfo::exists(file)) throw AppError(58, QStringLiteral("Il file esiste già: %1").arg(file));
    const QFileInfo fi(file);
    QDir().mkpath(fi.absolutePath());
    Connection c(file);
    Schema::create(c);
    Schema::loadDemo(c);
    Schema::loadTaxonomy(c);
}

void HostSetup::prepareDefault(const QString& productName)
{
    const QDir data(dataFolder());
    QDir().mkpath(data.path());
    QDir().mkpath(data.filePath(QStringLiteral("Def")));
    QDir().mkpath(data.filePath(QStringLiteral("Lavoro")));
    initDemo();
    copiaDemo(QStringLiteral(":/data/Def"), data.filePath(QStringLiteral("Def")));
    copiaDemo(QStringLiteral(":/data/Lavoro"), data.filePath(QStringLiteral("Lavoro")));
    if (!QFileInfo::exists(defaultDatabase())) createDatabase(defaultDatabase());
    const QString general = QStringLiteral("General"), key = QStringLiteral("WorkingFolder");
    if (Settings::GetSetting(productName, general, key).isEmpty())
        Settings::SaveSetting(productName, general, key, data.filePath(QStringLiteral("Lavoro")));
}
