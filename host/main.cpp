#include "control/ctlVevAre.h"
#include "host/Batch.h"
#include "host/HostSetup.h"
#include "host/MainWindow.h"
#include "model/Schema.h"
#include "platform/runtime/AppError.h"
#include "platform/host/CGlobal.h"
#include "platform/host/Settings.h"
#include "platform/ui/Traduzioni.h"
#include "xbrl/LottoXbrl.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

namespace {
const QString ProductName = QStringLiteral("KTR");
}

int main(int argc, char* argv[])
{
    // Runs that open no window need no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if ((a == "--help" || a == "-h" || a == "--version" || a == "-v" || a == "--create-db" || a == "--save" ||
             a == "--load-taxonomy" || a == "--import-xbrl" || a == "--import-kadro" || a == "--import-cee" || a == "--dry-run" ||
             a == "--list-periods" || a == "--delete-period" || a == "--export-period") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ktr"));
    QApplication::setOrganizationName(QStringLiteral("KTR"));
    QApplication::setApplicationVersion(QStringLiteral(KTR_VERSION));
    // The desktop entry and the icon installed with the program; the icon is built in too.
    QGuiApplication::setDesktopFileName(QStringLiteral("ktr"));
    QIcon icona;
    for (const char* dimensione : {"48", "256"}) icona.addFile(QStringLiteral(":/icone/%1/ktr.png").arg(QLatin1String(dimensione)));
    QApplication::setWindowIcon(icona);
    installaTraduzioniQt();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Importazione valori PDC"));
    // Help and version with texts of our own: Qt's translations leave them in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra questo aiuto ed esce."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Mostra la versione del programma ed esce."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Bilanci XBRL: senza opzioni la finestra si apre e li importa; "
                                                "con --import-xbrl, altri file o cartelle da importare."),
                                 QStringLiteral("[file...]"));
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
    QCommandLineOption workingFolder(QStringLiteral("working-folder"),
                                     QStringLiteral("Cartella di lavoro con i file da importare."), QStringLiteral("DIR"));
    QCommandLineOption company(QStringLiteral("company"), QStringLiteral("Ditta, per ragione sociale."), QStringLiteral("NAME"));
    QCommandLineOption year(QStringLiteral("year"), QStringLiteral("Anno."), QStringLiteral("YYYY"));
    QCommandLineOption month(QStringLiteral("month"), QStringLiteral("Mese, per nome italiano (Gennaio ... Dicembre)."),
                             QStringLiteral("NAME"));
    QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Cambio da digitare prima del salvataggio."), QStringLiteral("R"));
    QCommandLineOption save(QStringLiteral("save"),
                            QStringLiteral("Importa senza finestra: ditta, anno e mese scelti, poi Salva."));
    QCommandLineOption answer(QStringLiteral("answer"),
                              QStringLiteral("Risposta a ogni domanda Si/No: yes oppure no (predefinita no)."),
                              QStringLiteral("yes|no"), QStringLiteral("no"));
    QCommandLineOption input(QStringLiteral("input"),
                             QStringLiteral("Risposta alla prossima richiesta di testo (ripetibile, in ordine)."),
                             QStringLiteral("TEXT"));
    QCommandLineOption loadTaxonomy(QStringLiteral("load-taxonomy"),
                                    QStringLiteral("Carica nel database i dati di riferimento delle tassonomie XBRL, poi esce."));
    QCommandLineOption importXbrl(QStringLiteral("import-xbrl"),
                                  QStringLiteral("Importa senza finestra i bilanci XBRL dei file e delle cartelle indicati "
                                                 "(altri file o cartelle dopo l'opzione)."),
                                  QStringLiteral("FILE"));
    QCommandLineOption importKadro(QStringLiteral("import-kadro"),
                                   QStringLiteral("Importazione automatica dell'esportazione Kadro, senza finestra."));
    QCommandLineOption importCee(QStringLiteral("import-cee"),
                                 QStringLiteral("Importazione automatica da bilancio CEE, senza finestra."));
    QCommandLineOption dryRun(QStringLiteral("dry-run"),
                              QStringLiteral("Prova: con --save, --import-kadro, --import-cee o --import-xbrl esegue "
                                             "tutta l'importazione e poi la annulla, senza scrivere nulla; con "
                                             "--delete-period dice che cosa eliminerebbe, senza eliminare nulla."));
    QCommandLineOption period(QStringLiteral("period"), QStringLiteral("Numero del periodo."), QStringLiteral("N"));
    QCommandLineOption listPeriods(QStringLiteral("list-periods"),
                                   QStringLiteral("Elenca i periodi importati (della ditta e dell'anno indicati, se indicati), "
                                                  "una riga separata da tabulazioni per periodo, con la provenienza."));
    QCommandLineOption deletePeriod(QStringLiteral("delete-period"),
                                    QStringLiteral("Elimina il periodo indicato da --company, --year, --month e --period: "
                                                   "valori e record del periodo; conti e piano dei conti restano."));
    QCommandLineOption exportPeriod(QStringLiteral("export-period"),
                                    QStringLiteral("Esporta in un file CSV (separatore ;, virgola decimale, UTF-8) i valori "
                                                   "del periodo indicato da --company, --year, --month e --period."),
                                    QStringLiteral("FILE"));
    parser.addOptions({db, createDb, appPath, baseCurrency, workingFolder, company, year, month, rate, save, answer, input,
                       loadTaxonomy, importXbrl, importKadro, importCee, dryRun, period, listPeriods, deletePeriod, exportPeriod});
    parser.process(app);
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("ktr %s\n", qPrintable(QApplication::applicationVersion()));
        return 0;
    }

    // Values that reach the database are checked before anything is opened.
    const auto rifiuta = [](const QString& messaggio) {
        std::fprintf(stderr, "%s\n", qPrintable(messaggio));
        return 2;
    };
    if (parser.isSet(db) && parser.value(db).trimmed().isEmpty())
        return rifiuta(QStringLiteral("Il database indicato con --db è vuoto: indicare un file SQLite o una connessione postgresql:."));
    if (parser.isSet(year) && !QRegularExpression(QStringLiteral("^[0-9]{4}$")).match(parser.value(year)).hasMatch())
        return rifiuta(QStringLiteral("Anno non valido: \"%1\" (indicare quattro cifre, per esempio 2024).").arg(parser.value(year)));
    const QString valutaBase = parser.value(baseCurrency).toUpper();
    if (!QRegularExpression(QStringLiteral("^[A-Z]{3}$")).match(valutaBase).hasMatch())
        return rifiuta(QStringLiteral("Valuta di base non valida: \"%1\" (indicare tre lettere, per esempio EUR).")
                           .arg(parser.value(baseCurrency)));

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
        // Only first start and --create-db make databases: a mistyped name must not leave an empty one.
        if (!database.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) &&
            !QFileInfo::exists(database.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive) ? database.mid(7) : database)) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QStringLiteral("Il database %1 non esiste (per crearne uno: --create-db FILE).").arg(database)));
            return 2;
        }
        if (parser.isSet(loadTaxonomy)) {
            Connection c(database);
            Schema::completa(c);
            Schema::loadTaxonomy(c);
            std::printf("%s\n",
                        qPrintable(QStringLiteral("Dati di riferimento XBRL caricati: %1").arg(Connection::senzaSegreti(database))));
            return 0;
        }
        // How long an import waits for another one on the same database, in seconds.
        bool letta = false;
        int attesa = Settings::GetSetting(ProductName, QStringLiteral("Database"), QStringLiteral("AttesaBlocco")).toInt(&letta);
        if (!letta || attesa < 0) attesa = Connection::DefaultLockTimeoutMs / 1000;
        CGlobal global(std::make_unique<Connection>(database, attesa * 1000), valutaBase, ProductName, path);
        // The window too works in the folder named on the command line, not the stored one.
        if (parser.isSet(workingFolder)) global.App().setProperty(QStringLiteral("WorkingFolder"), parser.value(workingFolder));
        Schema::completa(global.Database().Connection());
        BatchOptions b;
        b.workingFolder = parser.value(workingFolder);
        b.company = parser.value(company);
        b.year = parser.value(year);
        b.month = parser.value(month);
        b.rate = parser.value(rate);
        b.rateSet = parser.isSet(rate);
        b.answerYes = parser.value(answer).compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
        b.inputs = parser.values(input);
        b.file = parser.value(importXbrl);
        if (parser.isSet(importXbrl)) b.files = parser.values(importXbrl) + parser.positionalArguments();
        b.prova = parser.isSet(dryRun);
        b.period = parser.value(period);
        if (b.prova && !parser.isSet(save) && !parser.isSet(importXbrl) && !parser.isSet(importKadro) && !parser.isSet(importCee) &&
            !parser.isSet(deletePeriod)) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(QStringLiteral("--dry-run vale solo con --save, --import-kadro, --import-cee, --import-xbrl "
                                                   "o --delete-period.")));
            return 2;
        }
        if (parser.isSet(listPeriods)) return Batch::elencaPeriodi(global, b);
        if (parser.isSet(deletePeriod)) return Batch::eliminaPeriodo(global, b);
        if (parser.isSet(exportPeriod)) return Batch::esportaPeriodo(global, b, parser.value(exportPeriod));
        if (parser.isSet(save)) return Batch::save(global, b);
        if (parser.isSet(importXbrl)) return Batch::importaXbrl(global, b);
        if (parser.isSet(importKadro)) return Batch::importaEsportazione(global, b, false);
        if (parser.isSet(importCee)) return Batch::importaEsportazione(global, b, true);
        MainWindow w(global);
        w.setWindowTitle(QStringLiteral("%1 — KTR %2").arg(w.windowTitle(), QApplication::applicationVersion()));
        w.show();
        // Filings opened with the program (from the file manager, say) go to the XBRL tool as if chosen in its dialog.
        const QStringList daAprire = fileXbrl(parser.positionalArguments());
        if (!daAprire.isEmpty()) QTimer::singleShot(0, &w, [&w, daAprire] { w.screen()->ImportaXBRL(daAprire); });
        return app.exec();
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 2;
    }
}
