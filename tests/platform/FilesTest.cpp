#include "TestDb.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/TextFile.h"
#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(Files, BackslashJoinedPathsReachTheFileWhateverItsCase)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("Def")));
    scriviFile(dir.filePath(QStringLiteral("Def/ROSSI")), {});
    const QString joined = dir.path() + QStringLiteral("\\Def\\") + QStringLiteral("rossi");
    EXPECT_TRUE(Paths::fileExists(joined));
    EXPECT_EQ(Paths::resolve(joined), dir.filePath(QStringLiteral("Def/ROSSI")));
    EXPECT_FALSE(Paths::fileExists(dir.path() + QStringLiteral("\\Def\\")));
    EXPECT_FALSE(Paths::fileExists(dir.path() + QStringLiteral("\\Def\\ALTRO")));
}

TEST(Files, EncodingIsUtf8WhenValidElseWindows1252EveryLineEndCountsAndNoTextIsRefused)
{
    QTemporaryDir dir;
    struct Caso {
        const char* nome;
        QByteArray contenuto;
        TextFile::Esito esito;
        QStringList righe;
    };
    const Caso casi[] = {
        {"utf-8", "Societ\xc3\xa0;\xe2\x82\xac 10\r\nfine", TextFile::Esito::Aperto, {"Società;€ 10", "fine"}},
        {"utf-8 with its mark", "\xef\xbb\xbf" "1010;Cassa\n", TextFile::Esito::Aperto, {"1010;Cassa"}},
        {"windows-1252, either line end", "Societ\xe0\r\n\x80 10\nultima", TextFile::Esito::Aperto, {"Società", "€ 10", "ultima"}},
        {"a mark before windows-1252", "\xef\xbb\xbf" "Societ\xe0\n", TextFile::Esito::Aperto, {"Società"}},
        {"overlong utf-8 is no utf-8", "\xc0\xaf\n", TextFile::Esito::Aperto, {"À¯"}},
        {"utf-16 with its mark", QByteArray("\xff\xfe" "1\0" "0\0", 6), TextFile::Esito::Binario, {}},
        {"utf-16 without mark", QByteArray("1\0" "0\0", 4), TextFile::Esito::Binario, {}},
        {"binary", QByteArray("\x7f" "ELF\x02\x01\x01\0\0", 9), TextFile::Esito::Binario, {}},
        {"empty", "", TextFile::Esito::Aperto, {}},
        {"a bare CR among CR LF", "a\r\nb\rc\r\nd", TextFile::Esito::Aperto, {"a", "b", "c", "d"}},
        {"CR line ends only", "a\rb\r\rc\r", TextFile::Esito::Aperto, {"a", "b", "", "c"}},
        {"CR LF across two blocks", QByteArray(262143, 'x') + "\r\nz", TextFile::Esito::Aperto, {QString(262143, 'x'), "z"}},
        {"a bare CR ending a block", QByteArray(262143, 'x') + "\ry\r", TextFile::Esito::Aperto, {QString(262143, 'x'), "y"}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        TextFile t;
        ASSERT_EQ(t.apri(scriviFile(dir.filePath(QString::fromLatin1(c.nome)), c.contenuto)), c.esito);
        QStringList righe;
        while (t.atEnd() == false) righe << t.readLine();
        EXPECT_EQ(righe, c.righe);
    }

    // A folder and a named pipe are refused at once, without blocking on the pipe.
    TextFile t;
    EXPECT_EQ(t.apri(dir.path()), TextFile::Esito::NonRegolare);
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(t.apri(pipe), TextFile::Esito::NonRegolare);
    EXPECT_EQ(t.apri(dir.filePath(QStringLiteral("manca"))), TextFile::Esito::NonApribile);
    EXPECT_FALSE(t.open(dir.filePath(QStringLiteral("manca.txt"))));
}
