#pragma once
#include "platform/rates/WebRateService.h"
#include <QDeadlineTimer>
#include <QHash>
#include <QString>
#include <memory>

class CGlobal;
class QNetworkAccessManager;
class RateCache;

// Where the service fetches its rates, how long it waits, where it keeps them.
struct EcbRateSettings {
    static const QString defaultDailyUrl;    // the ECB daily reference rates (XML)
    static const QString defaultMonthlyUrl;  // the ECB data portal, dataflow EXR (CSV)

    QString dailyUrl = defaultDailyUrl;
    QString monthlyUrl = defaultMonthlyUrl;
    int timeoutMs = 4000;  // for a whole look-up, not per request
    QString cacheFile;     // empty: the user's cache folder

    // Section "WebRates" of the product's per-user settings: "DailyUrl", "MonthlyUrl",
    // "TimeoutMs"; the public addresses when not set.
    static EcbRateSettings fromSettings(const QString& product);
};

// Rates of the European Central Bank: the current rate is the latest daily reference
// rate, the rate of a month is the ECB monthly average. The ECB quotes units per euro;
// the answers are the value of one unit of the currency in the base currency, crossed
// through the euro. Any failure answers 0.
class EcbRateService final : public WebRateService {
public:
    EcbRateService(QString baseCurrency, EcbRateSettings settings = {});
    ~EcbRateService() override;

    double CambioAttuale(QString& valuta) override;
    double CambioStorico(qint16& anno, qint16& mese, QString& valuta) override;

private:
    QHash<QString, double> currentRates(const QDeadlineTimer& deadline);
    double monthlyRate(int year, int month, const QString& currency, const QDeadlineTimer& deadline);
    bool fetch(const QString& url, QByteArray& body, const QDeadlineTimer& deadline);

    QString m_base;
    EcbRateSettings m_settings;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<RateCache> m_cache;
};

// The factory the screen uses when the host gives none: ECB rates in the host's base
// currency, with the addresses of the host's settings.
WebRateServiceFactory defaultWebRateServiceFactory(CGlobal* global);
