// ktr-taxonomy: writes the reference rows of one itcc-ci taxonomy version as SQL.
//
//   ktr-taxonomy --taxonomy data/xbrl/taxonomy/2018-11-04
//                --labels data/xbrl/reference/oresteafrica-bilancio_xbrl/mapping.xml
//                --code 8 --form ese:97:KXCE97:KXCE85 --form abb:98:KXCE98:KXCE86
//                --form micr:99:KXCE99:KXCE86 --form cons:97CO:KXCO97:KXCE85
//                --output itcc-ci-2018-11-04.sql
//
// The code and the forms are those of the import's taxonomy table for the version.
#include "xbrl/taxonomy/ReferenceData.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ktr-taxonomy"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Dati di riferimento di una versione della tassonomia itcc-ci"));
    parser.addHelpOption();
    const QCommandLineOption taxonomy(QStringLiteral("taxonomy"), QStringLiteral("Cartella dei file della versione."),
                                      QStringLiteral("DIR"));
    const QCommandLineOption labels(QStringLiteral("labels"), QStringLiteral("Modello delle etichette (mapping.xml)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption code(QStringLiteral("code"), QStringLiteral("Codice della tassonomia (QD50_CODICE)."),
                                  QStringLiteral("N"));
    const QCommandLineOption form(QStringLiteral("form"),
                                  QStringLiteral("Forma: prefisso:piano dei conti:schema:modello base (ripetibile)."),
                                  QStringLiteral("FORMA"));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("File SQL da scrivere."), QStringLiteral("FILE"));
    parser.addOptions({taxonomy, labels, code, form, output});
    parser.process(app);

    taxonomy::GeneratorOptions options;
    options.taxonomyFolder = parser.value(taxonomy);
    options.labelModel = parser.value(labels);
    options.taxonomyCode = parser.value(code);
    for (const QString& value : parser.values(form)) {
        const QStringList p = value.split(QLatin1Char(':'));
        if (p.size() != 4) {
            std::fprintf(stderr, "Forma non valida: %s\n", qPrintable(value));
            return 1;
        }
        options.forms.push_back({p[0], p[1], p[2], p[3]});
    }
    if (options.taxonomyFolder.isEmpty() || options.labelModel.isEmpty() || !parser.isSet(output)) parser.showHelp(1);

    try {
        const QString sql = taxonomy::referenceSql(taxonomy::generate(options));
        QSaveFile f(parser.value(output));
        if (!f.open(QIODevice::WriteOnly) || f.write(sql.toUtf8()) < 0 || !f.commit()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(parser.value(output)), qPrintable(f.errorString()));
            return 1;
        }
    } catch (const taxonomy::GeneratorError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
