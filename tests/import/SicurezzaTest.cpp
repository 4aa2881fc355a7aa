#include "ImportFixture.h"

namespace {

// Texts that end or comment out a literal when pasted into SQL.
const QString Attacco = QStringLiteral("' OR 1=1--");

class Sicurezza : public ImportFixture {
protected:
    void ditta(const QString& codice, const QString& nome, const QString& pdc, int kadro, const QString& importazione)
    {
        rowsOf(conn(), "INSERT INTO QD05_DITTA (QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04, QD05_CODICEVALUTA_QD40, "
                       "QD05_CODICEKADRO, QD05_CODIMPORTAZIONE) VALUES (?, ?, ?, 'EUR', ?, ?)",
               {codice, nome, pdc, kadro, importazione});
    }
    // What the database holds for every company but the hostile ones.
    QStringList altri()
    {
        const QString fuori = " NOT IN ('R001', 'A002', 'C003', 'M004', 'B005', 'V006')";
        return righeDb("SELECT * FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 IN ('R001', 'A002', 'B005', 'V006') ORDER BY 1, 2, 3, 4, 5") +
               righeDb("SELECT * FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 IN ('R001', 'A002', 'B005', 'V006') ORDER BY 1, 2, 3, 4") +
               righeDb("SELECT * FROM QD41_CAMBI ORDER BY 1, 2, 3, 4") +
               righeDb("SELECT * FROM QD03_CORRELAZIONE WHERE QD03_CODICECONTO" + fuori + " ORDER BY 1, 2, 3, 4, 5") +
               righeDb("SELECT COUNT(*) FROM QD05_DITTA");
    }
    QStringList valori(const QString& ditta)
    {
        return ImportFixture::valori(ditta, "QD07_CODICECONTO, QD07_ANNO, QD07_VALOREORIGINALE, QD07_NPERIODO", "QD07_CODICECONTO");
    }
};

}  // namespace

// Each import writes exactly its own rows, twice over, and an ordinary D'AMICO imports.
TEST_P(Sicurezza, HostileTextsAreDataInEveryStatement)
{
    // Values of other companies that a broken condition would delete.
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;12;31032024;1", "2010;Debiti;-100;P;;12;31032024;1",
                                  "1010;Cassa;7;A;;15;31032024;1", "2010;Debiti;-7;P;;15;31032024;1"}));
    screen->ClickImport();
    ditta("'OR 1=1--", Attacco + " \"Ωμέγα\"; \\", "STD", 51, "TESTO");
    ditta("D'AMICO", "D'Amico & C.", "STD", 52, "QDMSIT");
    ditta("\\'';\"--Я", "Società ''Я''", "CEE", 53, "QDCEE");
    const QStringList prima = altri();

    // Kadro, twice: the second run takes new periods (the default answer) and deletes nothing.
    writeData("kadro.txt", righe({"h", "A'B;" + Attacco + ";10;A;;51;31032024;1", "C\\D;x\\y;-10;P;;51;31032024;1",
                                  "E\"F;Ωλ \"q\";5;A;;52;31032024;1", "G--H;'';-5;P;;52;31032024;1"}));
    daCapo();
    screen->ClickImport();
    daCapo().answerMessage(vb::vbNo).answerMessage(vb::vbNo);
    screen->ClickImport();
    EXPECT_EQ(valori("'OR 1=1--").filter("|2024|"), (QStringList{"A'B|2024|10|1", "C\\D|2024|-10|1", "A'B|2024|10|2", "C\\D|2024|-10|2"}));
    EXPECT_EQ(valori("D'AMICO"), (QStringList{"E\"F|2024|5|1", "G--H|2024|-5|1", "E\"F|2024|5|2", "G--H|2024|-5|2"}));
    EXPECT_EQ(righeDb("SELECT QD15_CODICECONTO, QD15_DESCRIZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO IN ('A''B', 'C\\D', 'G--H') "
                      "ORDER BY 1"),
              (QStringList{"A'B|" + Attacco, "C\\D|x\\y", "G--H|''"}));
    EXPECT_FALSE(log().join('\n').contains("syntax", Qt::CaseInsensitive));

    // CEE, on a code of backslash, doubled apostrophe, quote, semicolon and comment.
    writeData("cee.txt", righe({"h", "AC04010;Depositi;1000;A;53;31122025;3", "EA00010;Ricavi;-1000;E;53;31122025;3"}));
    daCapo();
    screen->ClickImportCEE();
    daCapo().answerMessage(vb::vbNo);
    screen->ClickImportCEE();
    EXPECT_EQ(valori("\\'';\"--Я"), (QStringList{"A-C-04-010-|2025|1000|1", "E-A-00-010-|2025|-1000|1", "A-C-04-010-|2025|1000|2",
                                               "E-A-00-010-|2025|-1000|2"}));

    // The text engine through the selection lists, on a company named like an attack.
    writeDef("TESTO", "testo.txt" + LayoutSaldi);
    writeData("testo.txt", righe({"h", "1010;Cassa;3;A", "'--;" + Attacco + ";-3;P"}));
    daCapo();
    importa(Attacco + " \"Ωμέγα\"; \\", "2023", "Giugno");
    daCapo().answerMessage(vb::vbNo);
    importa(Attacco + " \"Ωμέγα\"; \\", "2023", "Giugno");
    EXPECT_EQ(valori("'OR 1=1--").filter("|2023|"), (QStringList{"'--|2023|-3|1", "1010|2023|3|1", "'--|2023|-3|2", "1010|2023|3|2"}));

    // Rates: a currency code of an apostrophe, read and stored.
    screen->m_Anno = "2024";
    screen->m_Mese = 3;
    screen->m_Valuta = "U'S";
    screen->m_Cambio = 1.25;
    EXPECT_EQ(screen->CambioMese("2024", 3, "U'S", "EUR"), 0);
    screen->SalvaCambio();
    EXPECT_EQ(screen->CambioMese("2024", 3, "U'S", "EUR"), 1.25);
    // The correlation copy, onto an account code made of the attack.
    conn().BeginTrans();
    EXPECT_TRUE(screen->CopiaCorrelazioni("STD", "1'; --", "1010", "E"));
    conn().CommitTrans();
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD03_CORRELAZIONE WHERE QD03_CODICECONTO = '1''; --'"), 1);

    QStringList dopo = altri();
    dopo.removeOne("2024|3|U'S|EUR|1.25");
    dopo.removeOne("STD|1'; --|D|CEE|10|100|1|0");
    EXPECT_EQ(dopo, prima);

    // A year typed on the screen is four digits or nothing is imported.
    const QStringList fermo = istantanea();
    screen->m_Valuta = "EUR";
    daCapo();
    importa(Rossi, "2'--", "Marzo");
    EXPECT_EQ(box(), QStringList{screen->captionTitle() + ": Anno non valido: indicare quattro cifre tra 1900 e 2100."});
    EXPECT_EQ(istantanea(), fermo);
}

TEST_P(Sicurezza, LinesThatCannotBePlacedArePostedNowhere)
{
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;12;31122024;1", "2010;Debiti;-100;P;;12;31122024;1",
                                  "1010;Cassa;9;A;;Àncora;30112024;1",  // company no number
                                  "1020;Banca;9;A;;15;30x12024;1",      // garbled date
                                  "1020;Banca;9;A;;15",                 // missing fields
                                  "1030;Altro;1;A;;12;31129999;1",      // year out of range
                                  "1030;Altro;1;A;;12;31-12024;1",      // negative-looking year
                                  "1030;Altro;1;A;;12;31132024;1",      // month 13
                                  "1030;Altro;1;A;;12;31002024;1",      // month 0
                                  "1010;Cassa;5;A;;15;30112024;1", "2010;Debiti;-5;P;;15;30112024;1",
                                  "1020;Banca;20;A;;12;31122024;1", "2020;Erario;-20;P;;12;31122024;1"}));
    screen->ClickImport();
    EXPECT_EQ(valori("R001"), (QStringList{"1010|2024|100|1", "1020|2024|20|1", "2010|2024|-100|1", "2020|2024|-20|1"}));
    EXPECT_EQ(valori("A002"), (QStringList{"1010|2024|5|1", "2010|2024|-5|1"}));
    EXPECT_EQ(righeDb("SELECT QD21_CODICEDITTA_QD05, QD21_ANNO, QD21_MESE FROM QD21_PERVALUTA ORDER BY 1"),
              (QStringList{"A002|2024|11", "R001|2024|12"}));
    EXPECT_EQ(screen->m_EsitoAutomatica.gruppi, 2);
    EXPECT_EQ(anomalie(8, 8), (QStringList{"Riga 4 non importata: codice ditta non leggibile (\"Àncora\")",
                                           "Riga 5 non importata: data non leggibile (\"30x12024\")",
                                           "Riga 6 non importata: data non leggibile (\"\")",
                                           "Riga 7 non importata: anno 9999 fuori dall'intervallo 1900-2100",
                                           "Riga 8 non importata: data non leggibile (\"31-12024\")",
                                           "Riga 9 non importata: mese 13 fuori dall'intervallo 1-12",
                                           "Riga 10 non importata: mese 0 fuori dall'intervallo 1-12"}));

    // The Kadro engine run on its own reads the whole export the same way.
    daCapo().answerMessage(vb::vbYes);
    motore(false, 12, "R001", "STD", 2024, 12);
    EXPECT_EQ(screen->m_NumAnomalie, 7);
    EXPECT_TRUE(log().contains("|** Riga 4 non importata: codice ditta non leggibile (\"Àncora\")|"));
}

TEST_P(Sicurezza, EmptyOrUnreadableInputsAreRefusedBeforeWriting)
{
    const QStringList prima = istantanea();
    const auto prova = [&](const QByteArray& dati, const QByteArray& layout, const QString& attesa) {
        writeDef("QDMSIT", "kadro.txt" + layout);
        writeData("kadro.txt", dati);
        daCapo();
        screen->ClickImport();
        ASSERT_FALSE(box().isEmpty());
        EXPECT_TRUE(box().first().contains(attesa)) << box().first().toStdString();
        EXPECT_EQ(istantanea(), prima);
    };
    prova("", LayoutKadro, "non contiene righe da importare");
    prova("Conto;Descrizione;Saldo\r\n\r\n  \r\n", LayoutKadro, "non contiene righe da importare");
    QByteArray senzaImporto = LayoutKadro;
    senzaImporto.replace("C2\t3\t0\t0\r\n", "");
    prova(righe({"h", "1010;Cassa;100;A;;12;31122024;1"}), senzaImporto, "non indica la colonna dell'importo");
    QByteArray binario;
    for (int i = 0; i < 4000; ++i) binario += char(1 + (i * 7) % 250);
    prova(binario, LayoutKadro, "caratteri nulli o di controllo");
}

SU_OGNI_BACKEND(Db, Sicurezza);
