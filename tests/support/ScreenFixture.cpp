#include "ScreenFixture.h"
#include "platform/host/Settings.h"
#include "platform/ui/LogList.h"
#include <QDir>
#include <QFile>

namespace {
class NoRates : public WebRateService {
public:
    double CambioAttuale(QString&) override { return 0; }
    double CambioStorico(qint16&, qint16&, QString&) override { return 0; }
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
    // No test reaches the real rate service: unless a test says otherwise, no rate is known.
    screen->setRateServiceFactory([] { return std::make_unique<NoRates>(); });
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

namespace {
void write(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}
}  // namespace

void ScreenFixture::writeDef(const QString& name, const QByteArray& content)
{
    write(appPath() + QStringLiteral("/Def/") + name, content);
}

void ScreenFixture::writeData(const QString& name, const QByteArray& content)
{
    write(workingFolder() + QLatin1Char('/') + name, content);
}
