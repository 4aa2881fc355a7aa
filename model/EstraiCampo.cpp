#include "control/ctlVevAre.h"
#include "model/Campi.h"

QString ctlVevAre::EstraiCampo(const QString& riga, qint16& primo) { return Campi::delimitato(riga, m_Separatore, primo); }

QString ctlVevAre::EstraiCampo(const QString& riga, qint16& primo, qint16& ultimo)
{
    QStringView parte;
    if (!Campi::fisso(riga, primo, ultimo, parte)) {
        MostraErrore(AppError::invalidCall());
        return {};
    }
    return parte.toString();
}

bool ctlVevAre::VerificaRegole(const QString& riga)
{
    if (!m_Regole) return true;
    int impossibili = 0;
    const bool accettata = Campi::accettata(*m_Regole, riga, impossibili);
    for (int i = 0; i < impossibili; ++i) MostraErrore(AppError::invalidCall());
    return accettata;
}
