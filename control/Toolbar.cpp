#include "control/ctlVevAre.h"
#include "platform/DockToolbar.h"

// Placeholder until the toolbar commands land.
void ctlVevAre::CreaBarraStrumenti()
{
    DS1->addTool(QStringLiteral("tbNew"), QStringLiteral("Nuovo"));
    DS1->addTool(QStringLiteral("tbOpen"), QStringLiteral("Apri"));
    DS1->addTool(QStringLiteral("tbClose"), QStringLiteral("Chiudi"));
    DS1->addTool(QStringLiteral("tbOK"), QStringLiteral("Salva"));
    DS1->addTool(QStringLiteral("tbCancel"), QStringLiteral("Annulla Modifiche"));
    DS1->addTool(QStringLiteral("tbPrint"), QStringLiteral("Stampa Anomalie"));
    DS1->addTool(QStringLiteral("tbExit"), QStringLiteral("Chiudi Maschera"));
    DS1->addLabel(QStringLiteral("lblImport"), QStringLiteral("Importazioni automatiche"));
    DS1->addTool(QStringLiteral("tbImport"), QStringLiteral("Importazione automatica"));
    DS1->addTool(QStringLiteral("tbImportCEE"), QStringLiteral("Importazione automatica da Bilancio CEE"));
    DS1->addTool(QStringLiteral("tbImportXBRL"), QStringLiteral("Importazione bilancio da file XBRL"));
    DS1->setToolVisible(QStringLiteral("tbImport"), false);
    DS1->setToolVisible(QStringLiteral("tbImportCEE"), false);
    DS1->setToolVisible(QStringLiteral("tbImportXBRL"), false);
    connect(DS1, &DockToolbar::toolClick, this, &ctlVevAre::DS1_ToolClick);
}

void ctlVevAre::ClickNew() {}
void ctlVevAre::ClickOpen() {}
void ctlVevAre::ClickClose() {}
void ctlVevAre::ClickCancel() {}
void ctlVevAre::DS1_ToolClick(const QString& key)
{
    if (key == QLatin1String("tbExit")) CloseWindow();
}
bool ctlVevAre::HandleHotkey(int, int) { return false; }
