#include "platform/rates/EcbRateService.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/Clock.h"
#include "platform/rates/RateCache.h"
#include "platform/host/Settings.h"
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <pugixml.hpp>

const QString EcbRateSettings::defaultDailyUrl =
    QStringLiteral("https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml");
const QString EcbRateSettings::defaultMonthlyUrl = QStringLiteral("https://data-api.ecb.europa.eu/service/data/EXR");

namespace {
const QString kEuro = QStringLiteral("EUR");
constexpr int kDefaultTimeoutMs = 4000;
constexpr int kLongestTimeoutMs = 15000;

// A currency code as the ECB writes it, or empty when the text is not one: the code
// goes into an address.
QString codeOf(const QString& text)
{
    const QString code = text.trimmed().toUpper();
    if (code.size() != 3) return {};
    for (const QChar c : code)
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return {};
    return code;
}

double rateOf(const QString& text)
{
    bool ok = false;
    const double rate = text.trimmed().toDouble(&ok);  // the ECB writes a decimal point
    return ok && std::isfinite(rate) && rate > 0 ? rate : 0;
}

double perEuro(const QHash<QString, double>& rates, const QString& code)
{
    return code == kEuro ? 1.0 : rates.value(code);
}

// One unit of a currency in the base currency, from both quoted per euro.
double cross(double basePerEuro, double currencyPerEuro)
{
    return basePerEuro > 0 && currencyPerEuro > 0 ? basePerEuro / currencyPerEuro : 0;
}

bool monthClosed(int year, int month)
{
    const QDate today = Clock::today();
    return year < today.year() || (year == today.year() && month < today.month());
}

// The daily document: Cube elements with a time, holding Cube elements with currency
// and rate. A history document holds several days; the latest one is taken.
QHash<QString, double> parseDailyXml(const QByteArray& xml)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size()))) return {};
    std::map<QString, QHash<QString, double>> byDay;
    std::function<void(const pugi::xml_node&, const QString&)> walk = [&](const pugi::xml_node& node,
                                                                          const QString& day) {
        for (const pugi::xml_node& child : node.children()) {
            if (child.type() != pugi::node_element) continue;
            QString childDay = day;
            if (const auto time = child.attribute("time")) childDay = QString::fromUtf8(time.value()).trimmed();
            const QString code = codeOf(QString::fromUtf8(child.attribute("currency").value()));
            const double rate = rateOf(QString::fromUtf8(child.attribute("rate").value()));
            if (!code.isEmpty() && rate > 0) byDay[childDay].insert(code, rate);
            walk(child, childDay);
        }
    };
    walk(doc, QString());
    return byDay.empty() ? QHash<QString, double>() : byDay.rbegin()->second;
}

// Comma-separated text with fields optionally in double quotes ("" inside for a quote).
QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    auto endRow = [&] {
        row << field;
        field.clear();
        if (row.size() > 1 || !row.first().isEmpty()) rows << row;
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) field += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) field += text.at(++i);
            else quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            endRow();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    endRow();
    return rows;
}

// The data portal's "csvdata": a header row naming the columns (KEY, FREQ, CURRENCY, ...,
// TIME_PERIOD, OBS_VALUE, ...) and one row per observation.
double parseMonthlyCsv(const QByteArray& csv, int year, int month, const QString& currency)
{
    QString text = QString::fromUtf8(csv);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    const QList<QStringList> rows = readCsv(text);
    if (rows.isEmpty()) return 0;
    QStringList header;
    for (const QString& name : rows.first()) header << name.trimmed().toUpper();
    const qsizetype periodAt = header.indexOf(QStringLiteral("TIME_PERIOD"));
    const qsizetype valueAt = header.indexOf(QStringLiteral("OBS_VALUE"));
    const qsizetype currencyAt = header.indexOf(QStringLiteral("CURRENCY"));
    if (periodAt < 0 || valueAt < 0) return 0;
    const QString period =
        QStringLiteral("%1-%2").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        if (row.size() <= std::max({periodAt, valueAt, currencyAt})) continue;
        if (row.at(periodAt).trimmed() != period) continue;
        if (currencyAt >= 0 && codeOf(row.at(currencyAt)) != currency) continue;
        if (const double rate = rateOf(row.at(valueAt)); rate > 0) return rate;
    }
    return 0;
}
}  // namespace

EcbRateSettings EcbRateSettings::fromSettings(const QString& product)
{
    const QString section = QStringLiteral("WebRates");
    EcbRateSettings s;
    s.dailyUrl = Settings::GetSetting(product, section, QStringLiteral("DailyUrl"), defaultDailyUrl);
    s.monthlyUrl = Settings::GetSetting(product, section, QStringLiteral("MonthlyUrl"), defaultMonthlyUrl);
    bool ok = false;
    const int timeout =
        Settings::GetSetting(product, section, QStringLiteral("TimeoutMs"), QString::number(kDefaultTimeoutMs))
            .toInt(&ok);
    s.timeoutMs = ok && timeout > 0 ? std::min(timeout, kLongestTimeoutMs) : kDefaultTimeoutMs;
    return s;
}

EcbRateService::EcbRateService(QString baseCurrency, EcbRateSettings settings)
    : m_base(codeOf(baseCurrency)),
      m_settings(std::move(settings)),
      m_network(std::make_unique<QNetworkAccessManager>()),
      m_cache(std::make_unique<RateCache>(m_settings.cacheFile.isEmpty() ? RateCache::defaultFile()
                                                                         : m_settings.cacheFile))
{
    while (m_settings.monthlyUrl.endsWith(QLatin1Char('/'))) m_settings.monthlyUrl.chop(1);
}

EcbRateService::~EcbRateService() = default;

double EcbRateService::CambioAttuale(QString& valuta)
{
    try {
        const QString currency = codeOf(valuta);
        if (currency.isEmpty() || m_base.isEmpty()) return 0;
        if (currency == m_base) return 1;
        const QHash<QString, double> rates = currentRates(QDeadlineTimer(m_settings.timeoutMs));
        return cross(perEuro(rates, m_base), perEuro(rates, currency));
    } catch (...) {
        return 0;  // a look-up that fails knows no rate
    }
}

double EcbRateService::CambioStorico(qint16& anno, qint16& mese, QString& valuta)
{
    try {
        const QString currency = codeOf(valuta);
        if (currency.isEmpty() || m_base.isEmpty() || anno < 1 || mese < 1 || mese > 12) return 0;
        if (currency == m_base) return 1;
        const QDeadlineTimer deadline(m_settings.timeoutMs);
        const double currencyPerEuro = monthlyRate(anno, mese, currency, deadline);
        if (currencyPerEuro <= 0) return 0;
        return cross(monthlyRate(anno, mese, m_base, deadline), currencyPerEuro);
    } catch (...) {
        return 0;
    }
}

QHash<QString, double> EcbRateService::currentRates(const QDeadlineTimer& deadline)
{
    const QDate today = Clock::today();
    if (m_cache->dailyFetchedOn() == today) return m_cache->dailyRates();
    QByteArray body;
    if (fetch(m_settings.dailyUrl, body, deadline)) {
        const QHash<QString, double> rates = parseDailyXml(body);
        if (!rates.isEmpty()) {
            m_cache->setDaily(today, rates);
            return rates;
        }
    }
    return m_cache->dailyRates();  // offline: the last rates known
}

double EcbRateService::monthlyRate(int year, int month, const QString& currency, const QDeadlineTimer& deadline)
{
    if (currency == kEuro) return 1;
    if (const double known = m_cache->monthly(year, month, currency); known > 0) return known;
    const QString period =
        QStringLiteral("%1-%2").arg(year, 4, 10, QLatin1Char('0')).arg(month, 2, 10, QLatin1Char('0'));
    QUrl address(m_settings.monthlyUrl + QStringLiteral("/M.") + currency + QStringLiteral(".EUR.SP00.A"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("startPeriod"), period);
    query.addQueryItem(QStringLiteral("endPeriod"), period);
    query.addQueryItem(QStringLiteral("format"), QStringLiteral("csvdata"));
    address.setQuery(query);
    QByteArray body;
    if (!fetch(address.toString(), body, deadline)) return 0;
    const double rate = parseMonthlyCsv(body, year, month, currency);
    // The average of a month still running changes until the month ends.
    if (rate > 0 && monthClosed(year, month)) m_cache->setMonthly(year, month, currency, rate);
    return rate;
}

bool EcbRateService::fetch(const QString& url, QByteArray& body, const QDeadlineTimer& deadline)
{
    const QUrl address(url);
    if (!address.isValid() || address.scheme().isEmpty() || deadline.hasExpired()) return false;
    std::unique_ptr<QNetworkReply> reply(m_network->get(QNetworkRequest(address)));
    if (!reply->isFinished()) {
        // Waits here, as the caller expects an answer, but lets no user input through.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!reply->isFinished()) {
        reply->abort();
        return false;
    }
    if (reply->error() != QNetworkReply::NoError) return false;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) return false;
    body = reply->readAll();
    return true;
}

WebRateServiceFactory defaultWebRateServiceFactory(CGlobal* global)
{
    return [global]() -> std::unique_ptr<WebRateService> {
        const QString product = global ? global->App().property(QStringLiteral("ProductName")).toString() : QString();
        const QString base = global ? global->ValutaBase() : kEuro;
        return std::make_unique<EcbRateService>(
            base, product.isEmpty() ? EcbRateSettings() : EcbRateSettings::fromSettings(product));
    };
}
