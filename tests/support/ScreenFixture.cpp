#include "ScreenFixture.h"
#include "platform/host/Settings.h"
#include <QDir>

namespace {
// A rate service that answers one rate, whatever it is asked.
struct CambioFisso : WebRateService {
    explicit CambioFisso(double c) : cambio(c) {}
    double CambioAttuale(QString&) override { return cambio; }
    double CambioStorico(qint16&, qint16&, QString&) override { return cambio; }
    double cambio;
};
}  // namespace

void ScreenFixture::SetUp()
{
    QDir().mkpath(appPath() + QStringLiteral("/Def"));
    QDir().mkpath(workingFolder());
    SALTA_SENZA(backend());  // the folders are there all the same, for what a derived set-up writes
    db = std::make_unique<TestDb>(backend());
    const QString product = QStringLiteral("KTRTest");
    Settings::SaveSetting(product, QStringLiteral("General"), QStringLiteral("WorkingFolder"), workingFolder());
    global = std::make_unique<CGlobal>(db->open(lockTimeoutMs()), QStringLiteral("EUR"), product, appPath());
    screen = std::make_unique<ctlVevAre>(dialogs);
    cambioWeb(0);
    screen->resize(900, 600);
    screen->setCGlobal(global.get());
}

void ScreenFixture::TearDown()
{
    EXPECT_TRUE(dialogs.unexpected().isEmpty()) << "unexpected boxes: " << dialogs.unexpected().join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(!global || !conn().inTransaction());  // whatever happened, no transaction stays open
    screen.reset();
    global.reset();
}

QStringList ScreenFixture::log() const
{
    QStringList out;
    for (int r = 0; r < screen->lwLog->rowCount(); ++r)
        out << QStringList{screen->lwLog->text(r, 0), screen->lwLog->text(r, 1), screen->lwLog->text(r, 2)}.join('|');
    return out;
}

void ScreenFixture::cambioWeb(double cambio)
{
    screen->setRateServiceFactory([cambio] { return std::make_unique<CambioFisso>(cambio); });
}

QStringList ScreenFixture::box() const
{
    QStringList out;
    for (const auto& b : dialogs.shown()) out << b.title + ": " + b.text;
    return out;
}
