#include "platform/Clock.h"
#include "platform/EcbRateService.h"
#include "platform/ListControl.h"
#include "platform/Valori.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/ScreenFixture.h"
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QByteArray kDaily = R"(<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
	<gesmes:subject>Reference rates</gesmes:subject>
	<gesmes:Sender><gesmes:name>European Central Bank</gesmes:name></gesmes:Sender>
	<Cube>
		<Cube time='2024-03-15'>
			<Cube currency='USD' rate='1.25'/>
			<Cube currency='JPY' rate='161.50'/>
			<Cube currency='CHF' rate='0.95'/>
		</Cube>
	</Cube>
</gesmes:Envelope>
)";

// One month of the data portal's csvdata, as it comes (quoted titles with commas).
QByteArray monthlyCsv(const char* currency, const char* period, const char* value)
{
    return QByteArray("KEY,FREQ,CURRENCY,CURRENCY_DENOM,EXR_TYPE,EXR_SUFFIX,TIME_PERIOD,OBS_VALUE,OBS_STATUS,OBS_CONF,"
                      "OBS_PRE_BREAK,OBS_COM,TIME_FORMAT,BREAKS,COLLECTION,COMPILING_ORG,DISS_ORG,DOM_SER_IDS,PUBL_ECB,"
                      "PUBL_MU,PUBL_PUBLIC,UNIT_INDEX_BASE,COMPILATION,COVERAGE,DECIMALS,NAT_TITLE,SOURCE_AGENCY,"
                      "SOURCE_PUB,TITLE,TITLE_COMPL,UNIT,UNIT_MULT\r\n") +
           "EXR.M." + currency + ".EUR.SP00.A,M," + currency + ",EUR,SP00,A," + period + "," + value +
           ",A,F,,,P1M,,A,,,,,,,,,,4,,4F0,,Currency/Euro,\"ECB reference exchange rate, " + currency +
           "/Euro, 2:15 pm (C.E.T.)\"," + currency + ",0\r\n";
}

QString monthPath(const char* currency, const char* period)
{
    return QStringLiteral("/EXR/M.%1.EUR.SP00.A?startPeriod=%2&endPeriod=%2&format=csvdata")
        .arg(QLatin1String(currency), QLatin1String(period));
}
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

TEST_F(EcbRates, AnswersOneUnitOfTheCurrencyInTheBaseCurrency)
{
    auto s = service();
    EXPECT_DOUBLE_EQ(current(*s, QStringLiteral(" usd ")), 0.8);
    EXPECT_DOUBLE_EQ(current(*s, QStringLiteral("EUR")), 1.0);
    EXPECT_EQ(current(*s, QStringLiteral("XYZ")), 0);
    EXPECT_DOUBLE_EQ(monthly(*s, 2024, 2, QStringLiteral("USD")), 1 / 1.0795);
    EXPECT_TRUE(server.requests().contains(monthPath("USD", "2024-02")));
    EXPECT_EQ(monthly(*s, 2024, 2, QStringLiteral("XYZ")), 0);  // the portal answers 404
    EXPECT_EQ(monthly(*s, 2024, 1, QStringLiteral("USD")), 0);
    EXPECT_EQ(monthly(*s, 2024, 13, QStringLiteral("USD")), 0);
}

TEST_F(EcbRates, CrossesThroughTheEuroForAnotherBase)
{
    auto s = service(QStringLiteral("CHF"));
    EXPECT_DOUBLE_EQ(current(*s, QStringLiteral("USD")), 0.95 / 1.25);
    EXPECT_DOUBLE_EQ(current(*s, QStringLiteral("EUR")), 0.95);
    EXPECT_DOUBLE_EQ(current(*s, QStringLiteral("CHF")), 1.0);
    EXPECT_DOUBLE_EQ(monthly(*s, 2024, 2, QStringLiteral("USD")), 0.9464 / 1.0795);
    EXPECT_DOUBLE_EQ(monthly(*s, 2024, 2, QStringLiteral("EUR")), 0.9464);
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

namespace {
class FakeRates : public WebRateService {
public:
    FakeRates(QStringList& calls, double answer) : m_calls(calls), m_answer(answer) {}
    double CambioAttuale(QString& valuta) override
    {
        m_calls << QStringLiteral("attuale ") + valuta;
        return m_answer;
    }
    double CambioStorico(qint16& anno, qint16& mese, QString& valuta) override
    {
        m_calls << QStringLiteral("storico %1 %2 %3").arg(anno).arg(mese).arg(valuta);
        return m_answer;
    }

private:
    QStringList& m_calls;
    double m_answer;
};
}  // namespace

class CambioWeb : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Clock::setToday([] { return QDate(2024, 3, 15); });
        screen->setRateServiceFactory([this] { return std::make_unique<FakeRates>(calls, answer); });
        screen->cmbAnni->setFreeTyping(true);
        screen->cmbMesi->Clear();
        for (int m = 1; m <= 12; ++m) screen->cmbMesi->AddItem(vb::NomeMese(m));
        screen->cmbValuta->Clear();
        screen->cmbValuta->AddItem(QStringLiteral("USD"));
    }
    void TearDown() override
    {
        Clock::setToday({});
        ScreenFixture::TearDown();
    }
    void pick(const QString& year, int month, const QString& currency)
    {
        screen->cmbAnni->setText(year);
        screen->cmbMesi->setListIndex(month - 1);
        screen->cmbValuta->setListIndex(screen->cmbValuta->findText(currency));
    }

    QStringList calls;
    double answer = 0.8;
};

TEST_F(CambioWeb, CurrentMonthAsksTheCurrentRateAnyOtherTheMonthsRate)
{
    QString usd = QStringLiteral("USD");
    for (auto [year, month] : {std::pair<qint16, qint16>{2024, 3}, {2024, 2}, {2023, 3}})
        EXPECT_DOUBLE_EQ(screen->GetCambioRSS(year, month, usd), 0.8);
    EXPECT_EQ(calls, QStringList({QStringLiteral("attuale USD"), QStringLiteral("storico 2024 2 USD"),
                                  QStringLiteral("storico 2023 3 USD")}));
}

TEST_F(CambioWeb, ButtonShowsTheReciprocalRate)
{
    pick(QStringLiteral("2024"), 3, QStringLiteral("USD"));
    screen->cmdGetRate_Click();
    EXPECT_EQ(screen->txtCambio->text(), QStringLiteral("1,25"));
    EXPECT_EQ(screen->MousePointer(), 0);

    answer = 0;
    pick(QStringLiteral("2023"), 3, QStringLiteral("USD"));
    screen->cmdGetRate_Click();
    EXPECT_EQ(screen->txtCambio->text(), QStringLiteral("0"));
    EXPECT_EQ(calls, QStringList({QStringLiteral("attuale USD"), QStringLiteral("storico 2023 3 USD")}));
}

TEST_F(CambioWeb, ButtonAsksNothingWithoutCurrencyOrYear)
{
    screen->txtCambio->setText(QStringLiteral("7"));
    pick(QStringLiteral("duemila"), 3, QStringLiteral("USD"));
    screen->cmdGetRate_Click();
    screen->cmbValuta->Clear();
    pick(QStringLiteral("2024"), 3, QString());
    screen->cmdGetRate_Click();
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(screen->txtCambio->text(), QStringLiteral("7"));
    EXPECT_EQ(screen->MousePointer(), 0);
}
