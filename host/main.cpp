#include "host/HostSetup.h"
#include "host/MainWindow.h"
#include "platform/AppError.h"
#include "platform/CGlobal.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <cstdio>

namespace {
const QString ProductName = QStringLiteral("KTR");
}

int main(int argc, char* argv[])
{
    // Runs that open no window need no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if ((a == "--help" || a == "-h" || a == "--create-db" || a == "--save") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ktr"));
    QApplication::setOrganizationName(QStringLiteral("KTR"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Importazione valori PDC"));
    parser.addHelpOption();
    QCommandLineOption db(QStringLiteral("db"),
                          QStringLiteral("Database di analisi: file SQLite, oppure postgresql:host=... dbname=... user=..."),
                          QStringLiteral("FILE"));
    QCommandLineOption createDb(QStringLiteral("create-db"),
                                QStringLiteral("Crea un nuovo database SQLite con schema e dati dimostrativi, poi esce."),
                                QStringLiteral("FILE"));
    QCommandLineOption appPath(QStringLiteral("app-path"),
                               QStringLiteral("Cartella dell'applicazione che contiene Def."), QStringLiteral("DIR"));
    QCommandLineOption baseCurrency(QStringLiteral("base-currency"),
                                    QStringLiteral("Valuta di base (predefinita EUR)."), QStringLiteral("CODE"), QStringLiteral("EUR"));
    parser.addOptions({db, createDb, appPath, baseCurrency});
    parser.process(app);

    try {
        if (parser.isSet(createDb)) {
            HostSetup::createDatabase(parser.value(createDb));
            std::printf("%s\n", qPrintable(QStringLiteral("Database creato: %1").arg(parser.value(createDb))));
            return 0;
        }
        QString database = parser.value(db);
        QString path = parser.value(appPath);
        if (database.isEmpty()) {
            HostSetup::prepareDefault(ProductName);
            database = HostSetup::defaultDatabase();
            if (path.isEmpty()) path = HostSetup::dataFolder();
        }
        if (path.isEmpty()) path = QDir::currentPath();
        CGlobal global(std::make_unique<Connection>(database), parser.value(baseCurrency), ProductName, path);
        MainWindow w(global);
        w.show();
        return app.exec();
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 2;
    }
}
