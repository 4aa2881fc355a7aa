#include "platform/runtime/TextFile.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Paths.h"
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {
// 0x80..0x9F of Windows-1252; the rest of the code page matches Latin-1.
const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char Bom[] = "\xEF\xBB\xBF";

// UTF-8 checked a block at a time: a sequence may run across two blocks.
class Utf8Check {
public:
    void feed(const unsigned char* p, qint64 n)
    {
        for (qint64 i = 0; i < n && m_ok; ++i) {
            if (m_pending == 0) {
                // Plain ASCII, the usual case, eight bytes at a time.
                while (i + 8 <= n) {
                    quint64 w;
                    std::memcpy(&w, p + i, 8);
                    if (w & 0x8080808080808080ULL) break;
                    i += 8;
                }
                if (i >= n) break;
            }
            const unsigned b = p[i];
            if (m_pending == 0) {
                if (b < 0x80) continue;
                if (b >= 0xC2 && b <= 0xDF) start(1, 0x80, 0xBF);
                else if (b == 0xE0) start(2, 0xA0, 0xBF);       // no overlong forms
                else if (b == 0xED) start(2, 0x80, 0x9F);       // no surrogates
                else if (b >= 0xE1 && b <= 0xEF) start(2, 0x80, 0xBF);
                else if (b == 0xF0) start(3, 0x90, 0xBF);
                else if (b >= 0xF1 && b <= 0xF3) start(3, 0x80, 0xBF);
                else if (b == 0xF4) start(3, 0x80, 0x8F);       // nothing above U+10FFFF
                else m_ok = false;
            } else {
                if (b < m_low || b > m_high) m_ok = false;
                m_low = 0x80;
                m_high = 0xBF;
                --m_pending;
            }
        }
    }
    bool ok() const { return m_ok && m_pending == 0; }

private:
    void start(int continuations, unsigned low, unsigned high)
    {
        m_pending = continuations;
        m_low = low;
        m_high = high;
    }
    bool m_ok = true;
    int m_pending = 0;
    unsigned m_low = 0x80, m_high = 0xBF;
};

bool controllo(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f'; }

// Control characters of a block. Words of eight bytes none of which is below 0x20 (most
// of a text) are passed over at once.
qint64 controlli(const unsigned char* p, qint64 n)
{
    qint64 conta = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        if (((w - 0x2020202020202020ULL) & ~w & 0x8080808080808080ULL) == 0) continue;
        for (int k = 0; k < 8; ++k) conta += controllo(p[i + k]);
    }
    for (; i < n; ++i) conta += controllo(p[i]);
    return conta;
}

}  // namespace

QString TextFile::decode(QByteArrayView bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

TextFile::Esito TextFile::apri(const QString& path)
{
    close();
    m_utf8 = false;
    const QString resolved = Paths::resolve(path);
    const QFileInfo info(resolved);
    if (info.exists() && !info.isFile()) return Esito::NonRegolare;
    m_file.setFileName(resolved);
    if (!m_file.open(QIODevice::ReadOnly)) return Esito::NonApribile;

    // One pass over the bytes decides how the lines are read.
    Utf8Check utf8;
    QByteArray block(qsizetype(std::clamp<qint64>(info.size() + 1, 4096, 1 << 20)), Qt::Uninitialized);
    qint64 bom = 0, byte = 0, controllo = 0;
    for (bool primo = true;; primo = false) {
        const qint64 n = m_file.read(block.data(), block.size());
        if (n < 0) {
            m_file.close();
            return Esito::NonApribile;
        }
        if (n == 0) break;
        const auto* p = reinterpret_cast<const unsigned char*>(block.constData());
        if (std::memchr(p, 0, size_t(n))) {
            m_file.close();
            return Esito::Binario;
        }
        if (primo && n >= 3 && std::memcmp(p, Bom, 3) == 0) bom = 3;
        utf8.feed(p + (primo ? bom : 0), n - (primo ? bom : 0));
        byte += n;
        controllo += controlli(p, n);
    }
    // Text holds almost no control characters; a binary file without NUL bytes holds
    // about one byte in ten of them.
    if (controllo * 20 > byte) {
        m_file.close();
        return Esito::Binario;
    }
    m_utf8 = utf8.ok();
    if (!seek(bom)) {
        m_file.close();
        return Esito::NonApribile;
    }
    return Esito::Aperto;
}

TextFile::Esito TextFile::apri(const QString& path, bool utf8Noto)
{
    close();
    const QString resolved = Paths::resolve(path);
    const QFileInfo info(resolved);
    if (info.exists() && !info.isFile()) return Esito::NonRegolare;
    m_file.setFileName(resolved);
    if (!m_file.open(QIODevice::ReadOnly)) return Esito::NonApribile;
    m_utf8 = utf8Noto;
    char bom[3];
    if (m_file.peek(bom, 3) == 3 && std::memcmp(bom, Bom, 3) == 0) seek(3);
    return Esito::Aperto;
}

QString TextFile::motivo(Esito esito, const QString& path)
{
    switch (esito) {
    case Esito::NonRegolare:
        return QStringLiteral("Il percorso ") + path +
               QStringLiteral(" non è un file di testo: è una cartella o un file speciale.");
    case Esito::Binario:
        return QStringLiteral("Il file ") + path +
               QStringLiteral(" non è un file di testo: contiene caratteri nulli o di controllo (file binario o testo UTF-16).\r\n"
                              "Salvarlo come testo (UTF-8 o ANSI) e ripetere l'importazione.");
    case Esito::NonApribile: return QStringLiteral("Impossibile aprire il file ") + path;
    case Esito::Aperto: break;
    }
    return {};
}

namespace {
constexpr qint64 Blocco = 1 << 18;
}

void TextFile::close()
{
    m_file.close();
    m_blocco.clear();
    m_letto = 0;
    m_base = 0;
}

bool TextFile::seek(qint64 posizione)
{
    m_blocco.clear();
    m_letto = 0;
    m_base = posizione;
    return m_file.seek(posizione);
}

// Keeps what is left of the block and adds the next part of the file; false at its end.
bool TextFile::riempi()
{
    m_blocco.remove(0, m_letto);
    m_base += m_letto;
    m_letto = 0;
    const qsizetype resto = m_blocco.size();
    m_blocco.resize(resto + Blocco);
    const qint64 n = m_file.read(m_blocco.data() + resto, Blocco);
    m_blocco.resize(resto + std::max<qint64>(n, 0));
    return n > 0;
}

bool TextFile::atEnd() { return !m_file.isOpen() || (m_letto >= m_blocco.size() && (m_file.atEnd() || !riempi())); }

// CR LF, LF and a bare CR each end a line, mixed in one file too: old Mac and some
// mainframe exports end lines with CR alone.
QString TextFile::readLine()
{
    if (atEnd()) throw AppError(62, QStringLiteral("Input oltre la fine del file"));
    qsizetype cercato = 0;  // bytes after m_letto already searched
    qsizetype fine = -1, dopo = -1;
    for (;;) {
        const char* const inizio = m_blocco.constData() + m_letto;
        const qsizetype n = m_blocco.size() - m_letto;
        const auto* lf = static_cast<const char*>(std::memchr(inizio + cercato, '\n', size_t(n - cercato)));
        const qsizetype limite = lf ? lf - inizio : n;
        const auto* cr = static_cast<const char*>(std::memchr(inizio + cercato, '\r', size_t(limite - cercato)));
        if (cr && cr - inizio + 1 < limite) {  // a CR with more of the line after it: a line end of its own
            fine = cr - inizio;
            dopo = fine + 1;
            break;
        }
        if (lf) {
            fine = cr ? cr - inizio : limite;  // CR LF, or LF
            dopo = limite + 1;
            break;
        }
        if (cr && m_file.atEnd()) {  // a CR that ends the file
            fine = cr - inizio;
            dopo = n;
            break;
        }
        // A CR last in the block may be followed by the LF of the next one.
        cercato = cr ? cr - inizio : n;
        if (!riempi()) {
            fine = dopo = m_blocco.size() - m_letto;
            if (cr) --fine;
            break;
        }
    }
    const QByteArrayView riga(m_blocco.constData() + m_letto, fine);
    m_letto += dopo;
    return m_utf8 ? QString::fromUtf8(riga) : decode(riga);
}
