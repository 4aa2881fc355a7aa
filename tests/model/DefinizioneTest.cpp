#include "ScreenFixture.h"
#include "import/Ingressi.h"
#include <QDir>

namespace {

class Definizione : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        screen->setWindowTitle(QStringLiteral("Analisi"));
        writeData(QStringLiteral("saldi.txt"), "1010;Cassa;1500,00;A\r\n");
    }
    bool carica(const QByteArray& def, const QString& code = QStringLiteral("PROVA"))
    {
        writeDef(code, def);
        screen->m_CodImportazione = code;
        return screen->CaricaConf();
    }
    void expectBox(const QString& text, int count)
    {
        ASSERT_EQ(dialogs.shown().size(), count);
        EXPECT_EQ(dialogs.shown().last().text, text);
        EXPECT_EQ(dialogs.shown().last().title, QStringLiteral("Analisi"));
        EXPECT_EQ(dialogs.shown().last().flags, vb::vbCritical | vb::vbOKOnly);
    }
    Colonna& slot(int n) { return screen->m_Colonne->Item(n); }
};

TEST_F(Definizione, SlotsFollowFlagsAndBadColumnLinesAreIgnored)
{
    struct Caso { const char* due; const char* descr; int quanti; };
    for (const Caso& c : {Caso{"1", "1", 10}, Caso{"0", "0", 8}, Caso{"1", "0", 9}, Caso{"0", "1", 9}}) {
        ASSERT_TRUE(carica(QByteArray("saldi.txt\n0\n") + c.due + "\n0\n" + c.descr +
                           "\nabc\nC10\t1\t2\t3\nC9\t4\t5\t6\nC2\t 3x\t2.6\t\nC3\t7\nC0\t1\t1\t1\n"));
        ASSERT_EQ(screen->m_Colonne->Count(), c.quanti) << c.due << c.descr;
        EXPECT_EQ(c.quanti >= 9 ? slot(9).FromCol : 5, 5);  // a line for a missing slot changes nothing
        EXPECT_EQ(c.quanti == 10 ? slot(10).ToCol : 3, 3);
        EXPECT_EQ(slot(8).FromCol, 0);
    }
    EXPECT_EQ(screen->m_PrimaRiga, 0);
    EXPECT_EQ(std::make_tuple(slot(2).Position, slot(2).FromCol, slot(2).ToCol, slot(3).Position),
              std::make_tuple(qint16(3), qint16(3), qint16(0), qint16(0)));
}

TEST_F(Definizione, Line2ResetsTheLayout)
{
    struct Caso { const char* riga; bool delimitato; const char* sep; };
    for (const Caso& c : {Caso{"1;", true, ";"}, Caso{"1", true, ""}, Caso{"2", false, ""}, Caso{"", false, ""}, Caso{nullptr, false, ""}}) {
        ASSERT_TRUE(carica("saldi.txt\n1;\n"));  // a delimited definition first
        ASSERT_TRUE(carica(c.riga ? QByteArray("saldi.txt\n") + c.riga + "\n0\n0\n0\n3\n" : QByteArray("saldi.txt")));
        EXPECT_EQ(screen->m_Delimitato, c.delimitato) << c.riga;
        EXPECT_EQ(screen->m_Separatore, QString::fromLatin1(c.sep)) << c.riga;
        EXPECT_EQ(screen->m_PrimaRiga, c.riga ? 3 : 0);
    }
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(Definizione, FailedChecksAreReported)
{
    const QString folder = workingFolder();
    screen->m_CodImportazione.clear();  // the empty Def folder itself
    EXPECT_FALSE(screen->CaricaConf());
    expectBox(QStringLiteral("File di definizione  errato o mancante !!\r\n") + appPath() + QStringLiteral("/Def/"), 1);  // where it looked
    screen->m_WorkingFolder.clear();
    EXPECT_FALSE(carica("saldi.txt\n"));
    expectBox(QStringLiteral("Directory di lavoro non impostata !!"), 2);
    screen->m_WorkingFolder = folder;
    EXPECT_FALSE(carica("\r\n1;\r\n"));
    expectBox(QStringLiteral("Nessun file da importare!!!"), 3);
    EXPECT_FALSE(carica("manca.txt\n"));
    expectBox(QStringLiteral("Impossibile Aprire \r\n") + folder + QStringLiteral("/manca.txt"), 4);
    EXPECT_FALSE(carica("", QStringLiteral("VUOTO")));  // no line at all
    expectBox(QStringLiteral("Input oltre la fine del file"), 5);

    // A data file or a definition that is no text is named with the reason.
    const auto binario = [](const QString& file) {
        return "Il file " + file + " non è un file di testo: contiene caratteri nulli o di controllo (file binario o testo UTF-16).\r\n"
                                   "Salvarlo come testo (UTF-8 o ANSI) e ripetere l'importazione.";
    };
    writeData(QStringLiteral("utf16.txt"), QByteArray("\xFF\xFE" "1\0" "0\0", 6));
    EXPECT_FALSE(carica("utf16.txt\r\n1;\r\n"));
    expectBox(binario(folder + "/utf16.txt"), 6);
    QDir().mkpath(folder + QStringLiteral("/cartella"));
    EXPECT_FALSE(carica("cartella\r\n1;\r\n"));
    expectBox("Il percorso " + folder + "/cartella non è un file di testo: è una cartella o un file speciale.", 7);
    EXPECT_FALSE(carica(QByteArray("saldi.txt\r\n\0\r\n", 14)));
    expectBox(binario(appPath() + "/Def/PROVA"), 8);

    screen->m_CodImportazione.clear();  // the Def folder now holds files: opening it fails
    EXPECT_FALSE(screen->CaricaConf());
    EXPECT_EQ(dialogs.shown().size(), 9);
    EXPECT_EQ(dialogs.shown().last().flags, vb::vbCritical | vb::vbOKOnly);
}

// A definition that cannot cut an amount, or that leads out of the working folder, is
// refused before anything is read or written, naming the definition and the column.
TEST_F(Definizione, ColumnsThatCannotCutAndFilesOutsideTheFolderAreRefused)
{
    const QByteArray fisso = "saldi.txt\n0\n0\n0\n0\n0\nC1\t0\t1\t4\n";
    const std::pair<QByteArray, const char*> casi[] = {
        {fisso + "C2\t0\t0\t12\n", "fa iniziare la colonna C2 alla posizione 0 (la prima è 1)"},
        {fisso + "C2\t0\t5\t4\n", "dà alla colonna C2 lunghezza 0 (dalla posizione 5 alla 4)"},
        {fisso + "C2\t0\t5\t2\nC8\t0\t9\t9\n", "dà alla colonna C2 lunghezza -2 (dalla posizione 5 alla 2)"},
        {fisso + "C2\t0\t5\t99999\n", "ha una riga di colonna con numeri non leggibili ('C2\t0\t5\t99999')"},
        {fisso, "non indica la colonna dell'importo"},
        {"saldi.txt\n1;\n0\n0\n0\n0\nC1\t1\t0\t0\nC2\t0\t0\t0\n", "indica per la colonna C2 il campo 0 (il primo è 1)"},
        {"saldi.txt\n1;\n0\n0\n0\n0\nC2\t3\t0\t0\n", "non indica la colonna del conto (C1)"},
    };
    for (const auto& [definizione, motivo] : casi) {
        dialogs.clear();
        ASSERT_TRUE(carica(definizione));
        EXPECT_FALSE(IngressiImportabili(*screen)) << motivo;
        expectBox(QStringLiteral("Il file di definizione PROVA %1: impossibile importare.").arg(QString::fromUtf8(motivo)), 1);
    }
    ASSERT_TRUE(carica(fisso + "C2\t0\t5\t12\n"));
    EXPECT_TRUE(IngressiImportabili(*screen));

    for (const char* nome : {"../../../../etc/passwd", "/etc/passwd", "sotto\\saldi.txt", ".."}) {
        dialogs.clear();
        EXPECT_FALSE(carica(QByteArray(nome) + "\n1;\n")) << nome;
        ASSERT_EQ(dialogs.shown().size(), 1);
        EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("Il file di definizione %1/Def/PROVA indica un file di dati fuori dalla "
                                                              "cartella di lavoro (%2): indicare solo il nome di un file della "
                                                              "cartella %3.")
                                                   .arg(appPath(), QString::fromUtf8(nome), workingFolder()));
    }
}

TEST_F(Definizione, Cuts)
{
    struct Fisso { qint16 primo, ultimo; const char* atteso; qint16 primoDopo, ultimoDopo; };
    for (const Fisso& c : {Fisso{3, 5, "345", 3, 5}, Fisso{5, 20, "567", 5, 7}, Fisso{0, 2, "12", 1, 2},
                           Fisso{5, 4, "", 5, 4}}) {
        qint16 primo = c.primo, ultimo = c.ultimo;
        EXPECT_EQ(screen->EstraiCampo(QStringLiteral("1234567"), primo, ultimo), QString::fromLatin1(c.atteso));
        EXPECT_EQ(std::make_pair(primo, ultimo), std::make_pair(c.primoDopo, c.ultimoDopo));
    }
    screen->m_Separatore = QStringLiteral(";");
    struct Campo { const char* riga; qint16 n; const char* atteso; };
    for (const Campo& c : {Campo{"x;y", 3, ""}, Campo{"x; y ;z", 2, "y"}, Campo{"x;y", 0, ""}, Campo{"a;;b", 2, ""},
                           Campo{"a;;b", 3, "b"}, Campo{" a\t;b", 1, "a\t"}}) {
        qint16 n = c.n;
        EXPECT_EQ(screen->EstraiCampo(QString::fromLatin1(c.riga), n), QString::fromLatin1(c.atteso)) << c.riga;
    }
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(Definizione, RulesCompareExactly)
{
    ASSERT_TRUE(carica("saldi.txt\n0\n0\n0\n0\n0\nR1\t1\t3\tTOT\nX1\t1\t3\tTOT\nR2\t5\t8\tAB  \nR9\t1\n"));
    ASSERT_EQ(screen->m_Regole->Count(), 2);
    struct Caso { const char* riga; bool importa; };
    for (const Caso& c : {Caso{"TOTALE", false}, Caso{"Tot", true}, Caso{"1234AB  x", false}, Caso{"1234AB", true},
                          Caso{"1234ab  x", true}, Caso{"1234AB x", true}}) {
        EXPECT_EQ(screen->VerificaRegole(QString::fromLatin1(c.riga)), c.importa) << c.riga;
    }
    EXPECT_EQ(screen->m_Regole->Item(2).ToCol, 8);  // clamping while cutting leaves the rule as read
}

}  // namespace
