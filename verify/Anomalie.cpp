#include "control/ctlVevAre.h"

void ctlVevAre::StampaAnomalie()
{
    // A fresh print object each time, handed the print context of the host.
    m_Stampa.reset();
    m_Stampa = std::make_unique<AnomalyReport>();
    m_Stampa->setContesto(m_ContestoStampa.get());
    bool conAnteprima = true;
    m_Stampa->Stampa(m_Anomalie, m_NumAnomalie, conAnteprima);
}
