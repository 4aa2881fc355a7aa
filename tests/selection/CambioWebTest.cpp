#include "platform/runtime/Clock.h"
#include "platform/rates/EcbRateService.h"
#include "platform/runtime/Valori.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/ScreenFixture.h"
#include <QElapsedTimer>

namespace {
const QByteArray kDaily = R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
	<gesmes:subject>Reference rates</gesmes:subject>
	<Cube><Cube time='2024-03-15'>
		<Cube currency='USD' rate='1.25'/><Cube currency='JPY' rate='161.50'/><Cube currency='CHF' rate='0.95'/>
	</Cube></Cube>
</gesmes:Envelope>
)";

// One month of the data portal's csvdata, fewer columns than it sends but in its order,
// with its CR LF and its quoted titles holding commas.
QByteArray monthlyCsv(const char* currency, const char* period, const char* value)
{
    return QByteArray("KEY,FREQ,CURRENCY,CURRENCY_DENOM,EXR_TYPE,TIME_PERIOD,OBS_VALUE,OBS_STATUS,TITLE_COMPL,UNIT\r\n"
                      "EXR.M.") +
           currency + ".EUR.SP00.A,M," + currency + ",EUR,SP00," + period + "," + value +
           ",A,\"ECB reference exchange rate, " + currency + "/Euro, 2:15 pm (C.E.T.)\"," + currency + "\r\n";
}

QString monthPath(const char* currency, const char* period)
{
    return QStringLiteral("/EXR/M.%1.EUR.SP00.A?startPeriod=%2&endPeriod=%2&format=csvdata")
        .arg(QLatin1String(currency), QLatin1String(period));
}

// Answers what the test says, whatever it is asked.
struct FakeRates : WebRateService {
    std::function<double(const QString&)> ask;
    double CambioAttuale(QString& valuta) override { return ask(QStringLiteral("attuale ") + valuta); }
    double CambioStorico(qint16& anno, qint16& mese, QString& valuta) override
    {
        return ask(QStringLiteral("storico %1 %2 %3").arg(anno).arg(mese).arg(valuta));
    }
};
}  // namespace

class EcbRates : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setToday([] { return QDate(2024, 3, 15); });
        server.answer(QStringLiteral("/daily.xml"), kDaily);
        server.answer(monthPath("USD", "2024-02"), monthlyCsv("USD", "2024-02", "1.0795"));
        server.answer(monthPath("CHF", "2024-02"), monthlyCsv("CHF", "2024-02", "0.9464"));
    }
    void TearDown() override { Clock::setToday({}); }

    std::unique_ptr<EcbRateService> service(const QString& base = QStringLiteral("EUR"), int timeoutMs = 3000)
    {
        EcbRateSettings s;
        s.dailyUrl = server.baseUrl() + QStringLiteral("/daily.xml");
        s.monthlyUrl = server.baseUrl() + QStringLiteral("/EXR/");
        s.timeoutMs = timeoutMs;
        s.cacheFile = cacheDir.filePath(QStringLiteral("rates.json"));
        return std::make_unique<EcbRateService>(base, s);
    }
    static double current(WebRateService& s, QString currency) { return s.CambioAttuale(currency); }
    static double monthly(WebRateService& s, qint16 year, qint16 month, QString currency)
    {
        return s.CambioStorico(year, month, currency);
    }

    LocalHttpServer server;
    QTemporaryDir cacheDir;
};

TEST_F(EcbRates, AnswersOneUnitOfTheCurrencyInTheBaseCurrencyCrossingThroughTheEuro)
{
    struct Caso { const char* base; const char* valuta; double oggi, febbraio; };  // 0: no rate known
    for (const Caso& c : {Caso{"CHF", "USD", 0.95 / 1.25, 0.9464 / 1.0795}, Caso{"CHF", "EUR", 0.95, 0.9464},
                          Caso{"CHF", "chf", 1, 1}, Caso{"EUR", " usd ", 0.8, 1 / 1.0795},
                          Caso{"EUR", "XYZ", 0, 0}}) {  // the portal answers 404
        auto s = service(QString::fromLatin1(c.base));
        EXPECT_DOUBLE_EQ(current(*s, QString::fromLatin1(c.valuta)), c.oggi) << c.base << c.valuta;
        EXPECT_DOUBLE_EQ(monthly(*s, 2024, 2, QString::fromLatin1(c.valuta)), c.febbraio) << c.base << c.valuta;
    }
}

TEST_F(EcbRates, KnowsWhatItWasAskedOnceWhenOffline)
{
    EXPECT_DOUBLE_EQ(current(*service(), QStringLiteral("USD")), 0.8);
    EXPECT_DOUBLE_EQ(monthly(*service(), 2024, 2, QStringLiteral("USD")), 1 / 1.0795);
    const auto asked = server.requests().size();

    // Same day, a closed month: answered without asking again.
    EXPECT_DOUBLE_EQ(current(*service(), QStringLiteral("JPY")), 1 / 161.5);
    EXPECT_DOUBLE_EQ(monthly(*service(), 2024, 2, QStringLiteral("USD")), 1 / 1.0795);
    EXPECT_EQ(server.requests().size(), asked);

    // Next day with no server: the last known current rate.
    server.stop();
    Clock::setToday([] { return QDate(2024, 3, 16); });
    EXPECT_DOUBLE_EQ(current(*service(), QStringLiteral("USD")), 0.8);
    EXPECT_DOUBLE_EQ(monthly(*service(), 2024, 2, QStringLiteral("USD")), 1 / 1.0795);
    EXPECT_EQ(monthly(*service(), 2024, 2, QStringLiteral("CHF")), 0);
}

TEST_F(EcbRates, SilentOrBrokenServerAnswersZeroInTime)
{
    server.setSilent(true);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(current(*service(QStringLiteral("CHF"), 300), QStringLiteral("USD")), 0);
    EXPECT_EQ(monthly(*service(QStringLiteral("CHF"), 300), 2024, 2, QStringLiteral("USD")), 0);
    EXPECT_LT(clock.elapsed(), 2000);

    server.setSilent(false);
    server.answer(QStringLiteral("/daily.xml"), "<html><body>Service unavailable");
    server.answer(monthPath("USD", "2024-02"), "TIME_PERIOD,OBS_VALUE\n2024-02,n/a\n");
    EXPECT_EQ(current(*service(), QStringLiteral("USD")), 0);
    EXPECT_EQ(monthly(*service(), 2024, 2, QStringLiteral("USD")), 0);
}

using CambioWeb = ScreenFixture;

// The current month asks the current rate, any other month the month's rate.
TEST_F(CambioWeb, ButtonShowsTheReciprocalRateAndAsksNothingWithoutCurrencyOrYear)
{
    Clock::setToday([] { return QDate(2024, 3, 15); });
    QStringList calls;
    double answer = 0;
    screen->setRateServiceFactory([&] {
        auto fake = std::make_unique<FakeRates>();
        fake->ask = [&](const QString& call) {
            calls << call;
            return answer;
        };
        return fake;
    });
    screen->cmbAnni->setFreeTyping(true);
    for (int m = 1; m <= 12; ++m) screen->cmbMesi->AddItem(vb::NomeMese(m));
    screen->cmbValuta->AddItem(QStringLiteral("USD"));

    // Year, month, currency, the service's answer, then the rate box and what was asked.
    struct Caso { const char* anno; int mese; const char* valuta; double rss; const char* cambio; const char* chiesto; };
    for (const Caso& c : {Caso{"2024", 3, "USD", 0.8, "1,25", "attuale USD"},
                          Caso{"2024", 2, "USD", 0.8, "1,25", "storico 2024 2 USD"},
                          Caso{"2023", 3, "USD", 0, "7", "storico 2023 3 USD"}, Caso{"duemila", 3, "USD", 0.8, "7", nullptr},
                          Caso{"2024", 3, "", 0.8, "7", nullptr}}) {
        calls.clear();
        answer = c.rss;
        screen->txtCambio->setText(QStringLiteral("7"));
        screen->cmbAnni->setText(QString::fromLatin1(c.anno));
        screen->cmbMesi->setListIndex(c.mese - 1);
        screen->cmbValuta->setListIndex(screen->cmbValuta->findText(QString::fromLatin1(c.valuta)));
        screen->cmdGetRate_Click();
        EXPECT_EQ(screen->txtCambio->text(), QString::fromLatin1(c.cambio)) << c.anno << c.mese << c.valuta;
        EXPECT_EQ(calls, c.chiesto ? QStringList{QString::fromLatin1(c.chiesto)} : QStringList()) << c.anno << c.mese;
        EXPECT_EQ(screen->MousePointer(), 0);
    }
    // No rate from the service (no connection): the box keeps its text and the user is told.
    EXPECT_EQ(box(), QStringList{screen->captionTitle() + ": Impossibile ottenere il cambio dal Web: verificare la connessione a "
                                                          "Internet, oppure digitare il cambio."});
    Clock::setToday({});
}
