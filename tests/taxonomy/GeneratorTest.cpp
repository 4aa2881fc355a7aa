#include "TaxonomySupport.h"
#include "xbrl/taxonomy/ItemCodes.h"
#include "xbrl/taxonomy/LabelModel.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QSet>
#include <gtest/gtest.h>

using namespace taxonomy;

// Codes checked by hand against art. 2424 and 2425 of the civil code; sections and row types
// as the import must find them.
TEST(Generator, WellKnownItemsTakeTheirCivilCodePosition)
{
    struct Case {
        const char *chart, *element, *code;
        char section, rowType;
    };
    const Case cases[] = {
        {"97", "ImmobilizzazioniImmaterialiCostiImpiantoAmpliamento", "A-B-01-010-", '1', 'V'},        // B I 1
        {"97", "ImmobilizzazioniFinanziariePartecipazioniAltreImprese", "A-B-03-010-dbis", '1', 'V'},  // B III 1 d-bis
        {"97", "ImmobilizzazioniFinanziarieCreditiVersoAltriEsigibiliOltreEsercizioSuccessivo", "A-B-03-020-dbis2", '1', 'V'},
        {"97", "TotaleImmobilizzazioniImmateriali", "A-B-01-000-", '1', 'A'},
        {"97", "CreditiVersoClientiEsigibiliEntroEsercizioSuccessivo", "A-C-02-010-a", '1', 'V'},  // C II 1
        {"97", "CreditiCreditiTributariTotaleCreditiTributari", "A-C-02-052-", '1', 'A'},          // C II 5-bis
        {"97", "TotaleAttivo", "A--00-000-", '1', 'A'},
        {"97", "PatrimonioNettoPerditaRipianataEsercizio", "P-A-00-000-a", '2', 'V'},
        // Income statement: revenues "5", costs "4", the result the closing entry "4"
        {"97", "ValoreProduzioneRicaviVenditePrestazioni", "E-A-00-010-", '5', 'V'},
        {"97", "CostiProduzionePersonaleTrattamentoFineRapporto", "E-B-00-090-c", '4', 'V'},
        {"97", "DifferenzaValoreCostiProduzione", "E--00-000-a", '5', 'A'},
        {"97", "UtilePerditaEsercizio", "E-D-00-210-", '4', 'A'},
        // The short forms: their items are the ordinary form's groups.
        {"98", "CostiProduzionePersonaleTrattamentoFineRapportoTrattamentoQuiescenzaAltriCostiPersonale", "E-B-00-090-cde", '4',
         'A'},
        {"98", "ValoreProduzioneVariazioniRimanenzeProdottiCorsoLavorazioneSemilavoratiFinitiLavoriCorsoOrdinazione",
         "E-A-00-020-030", '5', 'A'},
        // Consolidated: the import negates 16 d) "altri", so its section turns.
        {"97CO", "ProventiOneriFinanziariAltriProventiFinanziariProventiDiversiPrecedentiAltri", "E-C-00-160-d5", '4', 'V'},
        {"97CO", "ProventiOneriFinanziariAltriProventiFinanziariProventiDiversiPrecedentiImpreseCollegate", "E-C-00-160-d2", '5',
         'V'},
        {"97CO", "TotalePatrimonioNettoConsolidato", "P-A-00-000-", '2', 'A'},
        {"97CO", "TotalePatrimonioNetto", "P-A-00-000-c", '2', 'A'},
        // The result's split between group and minorities: a breakdown, never posted.
        {"97CO", "RisultatoPertinenzaGruppo", "E-D-00-210-a", '5', 'D'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.chart) + " " + c.element);
        const Account* a = chartOf(QLatin1String(c.chart)).accountOf(QLatin1String(c.element));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->code, QLatin1String(c.code));
        EXPECT_EQ(a->section, c.section);
        EXPECT_EQ(a->rowType, c.rowType);
    }
}

// Every element of the concept schema is listed; tuples map to no account, and every account
// has its schema row, headings being the only rows without one.
TEST(Generator, ElementsAccountsAndSchemaRowsMatch)
{
    const ReferenceData& data = reference2018();
    ASSERT_EQ(data.elements.size(), 2319u);
    const ElementRow* attivo = data.element("itcc-ci_TotaleAttivo");
    ASSERT_NE(attivo, nullptr);
    EXPECT_EQ(attivo->label, "Totale attivo");
    EXPECT_EQ(attivo->balance, "debit");
    ASSERT_NE(data.element("itcc-ci_VarieAltreRiserve"), nullptr);
    for (const Chart& c : data.charts) {
        SCOPED_TRACE(c.form.chart.toStdString());
        EXPECT_EQ(c.accountOf("VarieAltreRiserve"), nullptr);
        QSet<QString> codes;
        for (const Account& a : c.accounts) codes.insert(a.code);
        for (const SchemaRow& r : c.schemaRows) EXPECT_EQ(r.rowType == 'B', !codes.contains(r.code)) << r.code.toStdString();
        EXPECT_EQ(qsizetype(c.schemaRows.size()) - codes.size(),
                  std::count_if(c.schemaRows.begin(), c.schemaRows.end(), [](const SchemaRow& r) { return r.rowType == 'B'; }));
    }
    EXPECT_EQ(chartOf("97").schemaRows.front().code, "A--00-000-H");  // "Attivo"
}

TEST(Generator, RefusesChartsTheImportWouldPostWrongly)
{
    // The ordinary form's B I 2) is "A-B-01-020-", which the import negates for the short
    // forms' base model, where that code stood for accumulated amortisation.
    GeneratorOptions o = options2018();
    o.forms = {{"ese", "97", "KXCE97", "KXCE86"}};
    EXPECT_THROW(generate(o), GeneratorError);

    o = options2018();
    o.taxonomyFolder = xbrlData("taxonomy/missing");
    EXPECT_THROW(generate(o), GeneratorError);
    o = options2018();
    o.forms = {{"abbsemp", "87", "KXCE87", "KXCE86"}};
    EXPECT_THROW(generate(o), GeneratorError);
}

TEST(Generator, SplitsLabelPathsAtDotsOutsideQuotes)
{
    const struct {
        const char* fullname;
        QStringList segments;
    } cases[] = {
        {"Voci.Conto economico.'21) Utile (perdita) dell''esercizio'",
         {"Voci", "Conto economico", "21) Utile (perdita) dell'esercizio"}},
        {"'b), c) da titoli. Altri'.x", {"b), c) da titoli. Altri", "x"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitLabelPath(QString::fromUtf8(c.fullname)), c.segments) << c.fullname;
    EXPECT_EQ(shortLabel(splitLabelPath(QStringLiteral(
                  "Stato patrimoniale.Passivo.'D) Debiti'.'4) debiti verso banche'.esigibili entro l''esercizio successivo"))),
              "4) debiti verso banche: esigibili entro l'esercizio successivo");
}
