#include "platform/runtime/Paths.h"
#include "platform/runtime/TextFile.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Files, BackslashJoinedPathsReachTheFileWhateverItsCase)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("Def")));
    QFile f(dir.filePath(QStringLiteral("Def/ROSSI")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString joined = dir.path() + QStringLiteral("\\Def\\") + QStringLiteral("rossi");
    EXPECT_TRUE(Paths::fileExists(joined));
    EXPECT_EQ(Paths::resolve(joined), dir.filePath(QStringLiteral("Def/ROSSI")));
    EXPECT_FALSE(Paths::fileExists(dir.path() + QStringLiteral("\\Def\\")));
    EXPECT_FALSE(Paths::fileExists(dir.path() + QStringLiteral("\\Def\\ALTRO")));
}

TEST(Files, ReadsWindowsTextLinesWithEitherLineEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dati.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Societ\xe0\r\n\x80 10\nultima");
    f.close();
    TextFile t;
    ASSERT_TRUE(t.open(path));
    QStringList lines;
    while (!t.atEnd()) lines << t.readLine();
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Società"), QStringLiteral("€ 10"), QStringLiteral("ultima")}));
    EXPECT_FALSE(t.open(dir.filePath(QStringLiteral("manca.txt"))));
}
