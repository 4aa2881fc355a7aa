#pragma once
#include <QString>
#include <exception>

// A trappable run-time error: number, description and the component that raised it.
// Commands catch it (or any exception, through fromCurrent) and hand it to MostraErrore.
class AppError : public std::exception {
public:
    AppError(long number, QString description, QString source = QString());

    long number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

    // The error behind the exception being handled (call inside a catch block).
    static AppError fromCurrent();

    // Common run-time errors, with the platform's Italian texts.
    static AppError typeMismatch();    // 13
    static AppError overflow();        // 6
    static AppError divisionByZero();  // 11
    static AppError invalidNull();     // 94
    static AppError fileNotFound(const QString& path);  // 53
    static AppError invalidCall();     // 5

private:
    long m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
