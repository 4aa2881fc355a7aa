#include "platform/rates/RateCache.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString kDaily = QStringLiteral("daily");
const QString kFetchedOn = QStringLiteral("fetchedOn");
const QString kRates = QStringLiteral("rates");
const QString kMonthly = QStringLiteral("monthly");

QString monthKey(int year, int month)
{
    return QStringLiteral("%1-%2").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
}
}  // namespace

RateCache::RateCache(QString filePath) : m_path(std::move(filePath))
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) return;
    // A damaged file is as good as none: it is rewritten on the next answer.
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (doc.isObject()) m_root = doc.object();
}

QString RateCache::defaultFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder + QStringLiteral("/ecb-rates.json");
}

QDate RateCache::dailyFetchedOn() const
{
    return QDate::fromString(m_root.value(kDaily).toObject().value(kFetchedOn).toString(), Qt::ISODate);
}

QHash<QString, double> RateCache::dailyRates() const
{
    QHash<QString, double> rates;
    const QJsonObject stored = m_root.value(kDaily).toObject().value(kRates).toObject();
    for (auto it = stored.begin(); it != stored.end(); ++it) rates.insert(it.key(), it.value().toDouble());
    return rates;
}

void RateCache::setDaily(const QDate& fetchedOn, const QHash<QString, double>& rates)
{
    QJsonObject stored;
    for (auto it = rates.begin(); it != rates.end(); ++it) stored.insert(it.key(), it.value());
    QJsonObject daily;
    daily.insert(kFetchedOn, fetchedOn.toString(Qt::ISODate));
    daily.insert(kRates, stored);
    m_root.insert(kDaily, daily);
    save();
}

double RateCache::monthly(int year, int month, const QString& currency) const
{
    return m_root.value(kMonthly).toObject().value(monthKey(year, month)).toObject().value(currency).toDouble();
}

void RateCache::setMonthly(int year, int month, const QString& currency, double rate)
{
    QJsonObject months = m_root.value(kMonthly).toObject();
    QJsonObject ofMonth = months.value(monthKey(year, month)).toObject();
    ofMonth.insert(currency, rate);
    months.insert(monthKey(year, month), ofMonth);
    m_root.insert(kMonthly, months);
    save();
}

void RateCache::save() const
{
    // The cache is a convenience: a file that cannot be written only costs a new fetch.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(QJsonDocument(m_root).toJson(QJsonDocument::Compact));
    f.commit();
}
