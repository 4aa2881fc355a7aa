#include "platform/ui/Traduzioni.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installaTraduzioniQt()
{
    static QTranslator* caricata = nullptr;
    if (caricata) return true;
    auto* traduzione = new QTranslator(QCoreApplication::instance());
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    if (!traduzione->load(italiano, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduzione;
        return false;
    }
    QCoreApplication::installTranslator(traduzione);
    // Dates and names in Qt's dialogs follow the Italian conventions too.
    QLocale::setDefault(italiano);
    caricata = traduzione;
    return true;
}
