#include "platform/runtime/AppError.h"

AppError::AppError(long number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(m_description.toUtf8()) {}

AppError AppError::fromCurrent()
{
    try {
        throw;
    } catch (const AppError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return AppError(7, QStringLiteral("Memoria esaurita"));
    } catch (const std::exception& e) {
        return AppError(5, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return AppError(5, QStringLiteral("Errore sconosciuto"));
    }
}

AppError AppError::typeMismatch() { return AppError(13, QStringLiteral("Tipo non corrispondente")); }
AppError AppError::overflow() { return AppError(6, QStringLiteral("Overflow")); }
AppError AppError::divisionByZero() { return AppError(11, QStringLiteral("Divisione per zero")); }
AppError AppError::invalidNull() { return AppError(94, QStringLiteral("Utilizzo non valido di Null")); }
AppError AppError::fileNotFound(const QString& path)
{
    return AppError(53, QStringLiteral("Impossibile trovare il file: %1").arg(path));
}
AppError AppError::invalidCall()
{
    return AppError(5, QStringLiteral("Chiamata di routine o argomento non validi"));
}
