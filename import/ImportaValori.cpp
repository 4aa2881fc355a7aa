#include "control/ctlVevAre.h"
#include "import/MotoreValori.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/ListControl.h"
#include <algorithm>

QString ctlVevAre::PulisciRiga(const QString& riga)
{
    // One pass to find out whether there is anything to remove: usually there is not.
    if (std::none_of(riga.cbegin(), riga.cend(), [](QChar c) { return c == QChar(10) || c == QChar(12); })) return riga;
    QString pulita = riga;
    pulita.remove(QChar(10));
    pulita.remove(QChar(12));
    return pulita;
}

void ctlVevAre::ImportaValori()
{
    ParametriMotore p;
    p.ditta = m_CodiceDitta;
    p.anno = m_Anno;
    p.mese = m_Mese;
    p.valuta = m_Valuta;
    p.ragioneSociale = cmbDitte->text();
    MotoreValori(*this, VarianteMotore::Base(), p).Esegui();
}

namespace {
ParametriMotore perDitta(qint16 numero, const QString& ditta, qint16 anno, qint16 mese, const QString& valuta,
                         const QString& ragioneSociale)
{
    ParametriMotore p;
    p.ditta = ditta;
    p.anno = QString::number(anno);
    p.annoNumero = anno;
    p.mese = mese;
    p.valuta = valuta;
    p.ragioneSociale = ragioneSociale;
    p.numeroDitta = numero;
    return p;
}
}  // namespace

void ctlVevAre::ImportaValoriKadro(qint16& CodiceKadro, QString& Ditta, qint16& Anno, qint16& Mese, QString& Valuta,
                                   QString& RagioneSociale)
{
    MotoreValori(*this, VarianteMotore::Kadro(), perDitta(CodiceKadro, Ditta, Anno, Mese, Valuta, RagioneSociale)).Esegui();
}

void ctlVevAre::ImportaValoriCEE(qint16& CodiceKadro, QString& Ditta, qint16& Anno, qint16& Mese, QString& Valuta,
                                 QString& RagioneSociale)
{
    MotoreValori(*this, VarianteMotore::CEE(), perDitta(CodiceKadro, Ditta, Anno, Mese, Valuta, RagioneSociale)).Esegui();
}
