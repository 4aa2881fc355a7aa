#pragma once
#include <QFile>
#include <QString>

// Sequential reading of a single-byte Windows text file (Windows-1252) by lines.
// Both CR LF and LF end a line; a last line without a line end still counts.
class TextFile {
public:
    // False when the file cannot be opened.
    bool open(const QString& path);
    void close() { m_file.close(); }
    bool isOpen() const { return m_file.isOpen(); }
    bool atEnd();
    // The next line without its line end; past the end it is an error.
    QString readLine();

    static QString decode(const QByteArray& bytes);

private:
    QFile m_file;
};
