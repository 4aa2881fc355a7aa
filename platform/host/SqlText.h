#pragma once
#include <QString>

// A text whose apostrophes ApiciSQL has already doubled. StringaSQL encloses it as it is;
// any other text StringaSQL doubles itself, so that no value can end a literal, whichever
// of the two functions a statement remembers to call.
class TestoApici {
public:
    explicit TestoApici(QString doubled) : m_text(std::move(doubled)) {}
    const QString& text() const { return m_text; }
    operator QString() const { return m_text; }  // for a literal written between its own apostrophes

private:
    QString m_text;
};

// The host's SQL literal functions, applied in this order to a value after "=".
TestoApici ApiciSQL(const QString& text);     // doubles every apostrophe
TestoApici ApiciSQL(const TestoApici& text);  // already doubled: unchanged
QString StringaSQL(const QString& text);      // doubles every apostrophe and encloses the text
QString StringaSQL(const TestoApici& text);   // encloses the text
