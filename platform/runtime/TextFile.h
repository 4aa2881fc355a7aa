#pragma once
#include <QFile>
#include <QString>

// Sequential reading of a text file by lines. A file that is valid UTF-8 (with or without
// its byte-order mark) is read as UTF-8, any other as single-byte Windows text
// (Windows-1252); the byte-order mark is never part of the first line. CR LF, LF and a
// bare CR each end a line; a last line without a line end still counts. Files that are no text
// are refused before anything is read from them: a folder, a device or a named pipe
// (which would block), a file holding NUL bytes (binary, or UTF-16 text) and one of which
// more than one byte in twenty is a control character (binary without NUL bytes).
class TextFile {
public:
    enum class Esito { Aperto, NonApribile, NonRegolare, Binario };

    Esito apri(const QString& path);
    // The same for a file whose encoding an earlier opening found (utf8()): the one pass
    // over its bytes is not made again.
    Esito apri(const QString& path, bool utf8Noto);
    // False when the file cannot be opened or is no text.
    bool open(const QString& path) { return apri(path) == Esito::Aperto; }
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    bool utf8() const { return m_utf8; }
    bool atEnd();
    // Byte position of the next line, and a return to a position given by it.
    qint64 pos() const { return m_base + m_letto; }
    bool seek(qint64 posizione);
    // The next line without its line end; past the end it is an error.
    QString readLine();

    // Why a file was refused, naming it, for the user.
    static QString motivo(Esito esito, const QString& path);
    static QString decode(QByteArrayView bytes);

private:
    bool riempi();

    QFile m_file;
    bool m_utf8 = false;
    // Lines are cut from large blocks of the file: a read of the device per line costs
    // more than the line's own work.
    QByteArray m_blocco;
    qsizetype m_letto = 0;  // bytes of the block already returned as lines
    qint64 m_base = 0;      // file position of the block's first byte
};
