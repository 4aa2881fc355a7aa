#pragma once
#include <QDate>
#include <QHash>
#include <QJsonObject>
#include <QString>

// Exchange rates already fetched, kept in one small JSON file so that a month asked
// once is known offline. Rates are kept as the source quotes them: units per euro.
class RateCache {
public:
    explicit RateCache(QString filePath);

    // The daily reference rates last fetched, and the day they were fetched on.
    QDate dailyFetchedOn() const;
    QHash<QString, double> dailyRates() const;
    void setDaily(const QDate& fetchedOn, const QHash<QString, double>& rates);

    // The monthly average of a currency; 0 when not known.
    double monthly(int year, int month, const QString& currency) const;
    void setMonthly(int year, int month, const QString& currency, double rate);

    // The user's cache file for rates.
    static QString defaultFile();

private:
    void save() const;

    QString m_path;
    QJsonObject m_root;
};
