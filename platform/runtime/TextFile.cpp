#include "platform/runtime/TextFile.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Paths.h"

namespace {
// 0x80..0x9F of Windows-1252; the rest of the code page matches Latin-1.
const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

QString TextFile::decode(const QByteArray& bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

bool TextFile::open(const QString& path)
{
    m_file.close();
    m_file.setFileName(Paths::resolve(path));
    return m_file.open(QIODevice::ReadOnly);
}

bool TextFile::atEnd() { return !m_file.isOpen() || m_file.atEnd(); }

QString TextFile::readLine()
{
    if (atEnd()) throw AppError(62, QStringLiteral("Input oltre la fine del file"));
    QByteArray line = m_file.readLine();
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return decode(line);
}
