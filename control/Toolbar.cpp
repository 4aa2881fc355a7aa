#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/host/Hotkey.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>

namespace {

// Set while a hotkey acts as a click: its errors belong to the hotkey's own report.
int g_daHotkey = 0;
struct DaHotkey {
    DaHotkey() { ++g_daHotkey; }
    ~DaHotkey() { --g_daHotkey; }
    DaHotkey(const DaHotkey&) = delete;
    DaHotkey& operator=(const DaHotkey&) = delete;
};

const QString kImport = QStringLiteral("tbImport");
const QString kImportCEE = QStringLiteral("tbImportCEE");
const QString kImportXBRL = QStringLiteral("tbImportXBRL");
const QString kImportTools[] = {kImport, kImportCEE, kImportXBRL};

// Theme icon when the desktop has one, the style's own otherwise.
QIcon icona(const QWidget* w, const char* theme, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(theme), w->style()->standardIcon(fallback));
}

}  // namespace

void ctlVevAre::CreaBarraStrumenti()
{
    // The bar is one text line high: captions beside small icons, no separators, so
    // that every tool fits the host's usual window width.
    DS1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    DS1->setIconSize(QSize(16, 16));

    DS1->addTool(QStringLiteral("tbNew"), QStringLiteral("Nuovo"), icona(this, "document-new", QStyle::SP_FileIcon));
    DS1->addTool(QStringLiteral("tbOpen"), QStringLiteral("Apri"),
                 icona(this, "document-open", QStyle::SP_DialogOpenButton));
    DS1->addTool(QStringLiteral("tbClose"), QStringLiteral("Chiudi"),
                 icona(this, "document-close", QStyle::SP_DialogCloseButton));
    DS1->addTool(QStringLiteral("tbOK"), QStringLiteral("Salva"),
                 icona(this, "document-save", QStyle::SP_DialogSaveButton));
    DS1->addTool(QStringLiteral("tbCancel"), QStringLiteral("Annulla Modifiche"),
                 icona(this, "edit-undo", QStyle::SP_DialogCancelButton));
    DS1->addTool(QStringLiteral("tbPrint"), QStringLiteral("Stampa Anomalie"),
                 icona(this, "document-print", QStyle::SP_FileDialogDetailedView));
    DS1->addTool(QStringLiteral("tbExit"), QStringLiteral("Chiudi Maschera"),
                 icona(this, "application-exit", QStyle::SP_TitleBarCloseButton));
    DS1->addLabel(QStringLiteral("lblImport"), QStringLiteral("Importazioni automatiche"));
    DS1->addTool(QStringLiteral("tbImport"), QStringLiteral("Importazione automatica"),
                 icona(this, "go-down", QStyle::SP_ArrowDown));
    DS1->addTool(QStringLiteral("tbImportCEE"), QStringLiteral("Importazione automatica da Bilancio CEE"),
                 icona(this, "x-office-spreadsheet", QStyle::SP_FileDialogContentsView));
    DS1->addTool(QStringLiteral("tbImportXBRL"), QStringLiteral("Importazione bilancio da file XBRL"),
                 icona(this, "text-xml", QStyle::SP_FileLinkIcon));
    // The three import tools show only their icons; their captions are the tips.
    for (const QString& key : kImportTools) {
        if (auto* button = qobject_cast<QToolButton*>(DS1->widgetForAction(DS1->action(key))))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        DS1->setToolVisible(key, false);
    }
    // A command that does not trap its errors must still not throw into the event loop.
    connect(DS1, &DockToolbar::toolClick, this, [this](const QString& key) {
        try {
            DS1_ToolClick(key);
        } catch (...) {
            if (g_daHotkey > 0) throw;
            MostraErrore(AppError::fromCurrent());
        }
        RiprendiTastiera();
    });
}

// The host's names of the keys that start each tool.
static const std::pair<const char*, const char*> kTastiStrumenti[] = {
    {"tbNew", "HKSTDNEW"},          {"tbOpen", "HKSTDOPEN"},   {"tbClose", "HKSTDCLOSE"},
    {"tbOK", "HKSTDSAVE"},          {"tbCancel", "HKSTDUNDO"}, {"tbPrint", "HKSTDPRINT"},
    {"tbExit", "HKSTDEXIT"},        {"tbImport", "HKKTRIMPORT"}, {"tbImportCEE", "HKKTRIMPORTCEE"},
    {"tbImportXBRL", "HKKTRIMPORTXBRL"},
};

void ctlVevAre::SuggerimentiTasti()
{
    for (const auto& [tool, nome] : kTastiStrumenti) {
        QAction* a = DS1->action(QLatin1String(tool));
        if (!a) continue;
        const QKeySequence tasti = m_CGlobal->Hotkey().tasti(QLatin1String(nome));
        a->setToolTip(tasti.isEmpty() ? a->text()
                                      : a->text() + QStringLiteral(" (") + tasti.toString(QKeySequence::NativeText) +
                                            QLatin1Char(')'));
    }
}

void ctlVevAre::MostraSuggerimento(bool visibile) { lblSuggerimento->setVisible(visibile); }

bool ctlVevAre::ChiediInterruzione()
{
    if (!ImportazioneInCorso()) return false;
    if (!m_Interrompi &&
        dialogs().MsgBox(QStringLiteral("Interrompere l'importazione al termine del gruppo in corso?"),
                         vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, captionTitle()) == vb::vbYes)
        m_Interrompi = true;
    return m_Interrompi;
}

ctlVevAre::InCorso::InCorso(ctlVevAre& screen) : m_screen(screen)
{
    if (m_screen.m_InCorso++ == 0) m_screen.m_Interrompi = false;
}

ctlVevAre::InCorso::~InCorso()
{
    if (--m_screen.m_InCorso > 0) return;
    m_screen.m_Interrompi = false;
    if (m_screen.m_Avviata) {
        m_screen.m_Avviata = false;
        m_screen.TornaInAttesa();
    }
    emit m_screen.ImportazioneConclusa();
}

void ctlVevAre::DS1_ToolClick(const QString& key)
{
    // The user interface runs during an import: nothing may start inside it, and tbClose
    // asks whether to stop it.
    if (ImportazioneInCorso()) {
        if (key == QLatin1String("tbClose")) ChiediInterruzione();
        return;
    }
    if (key == QLatin1String("tbNew")) ClickNew();
    else if (key == QLatin1String("tbOpen")) ClickOpen();
    else if (key == QLatin1String("tbClose")) ClickClose();
    else if (key == QLatin1String("tbOK")) ClickOk();
    else if (key == QLatin1String("tbCancel")) ClickCancel();
    else if (key == QLatin1String("tbExit")) CloseWindow();
    else if (key == QLatin1String("tbPrint")) StampaAnomalie();
    else if (key == QLatin1String("tbImport")) ClickImport();
    else if (key == QLatin1String("tbImportCEE")) ClickImportCEE();
    else if (key == kImportXBRL) ClickImportXBRL();
}

void ctlVevAre::ClickNew()
{
    if (ImportazioneInCorso()) return;
    MostraSuggerimento(false);
    TogliRisultati();
    try {
        setHourglass(true);
        DS1->setToolsEnabled({kImport, kImportCEE, kImportXBRL}, false);
        CaricaDitte();
        setHourglass(false);

        cmbAnni->Clear();
        cmbAnni->setFreeTyping(true);
        // Enter and Escape in the typed year go to the screen, not to the list.
        if (QLineEdit* edit = cmbAnni->lineEdit()) {
            edit->installEventFilter(this);
            // A year is four digits: nothing else can be typed.
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), edit));
            edit->setMaxLength(4);
        }
        cmbMesi->Clear();
        cmbPeriodo->Clear();
        for (const QString& mese : m_Mesi) cmbMesi->AddItem(mese);
        cmbMesi->setListIndex(-1);

        m_ModalitaApri = false;
        MostraSelezione();
    } catch (...) {
        MostraErrore(AppError::fromCurrent());
    }
}

void ctlVevAre::ClickOpen()
{
    if (ImportazioneInCorso()) return;
    MostraSuggerimento(false);
    TogliRisultati();
    setHourglass(true);
    CaricaDitte();
    setHourglass(false);

    cmbAnni->Clear();
    cmbAnni->setFreeTyping(false);
    cmbMesi->Clear();

    m_ModalitaApri = true;
    DS1->setToolsEnabled({kImport, kImportCEE, kImportXBRL}, false);
    MostraSelezione();
}

// What new and open share once the lists are ready: their row of tool states, the
// base currency chosen, the selection frame shown.
void ctlVevAre::MostraSelezione()
{
    DS1->setToolsEnabled({QStringLiteral("tbNew"), QStringLiteral("tbOpen"), QStringLiteral("tbPrint"), QStringLiteral("tbOK"),
                          QStringLiteral("tbClose")},
                         false);
    DS1->setToolEnabled(QStringLiteral("tbCancel"), true);
    lblDescRif->clear();  // a fresh form describes no period yet
    m_CGlobal->Utility().SelezionaVoce(*cmbValuta, m_CGlobal->ValutaBase());
    fraSelectPeriodo->setVisible(true);
    cmbDitte->setFocus();
}

// An import starts: the selection hides and tbClose is the one way back; tbPrint stays
// as it was for the save command and is disabled for the imports of exports and files.
void ctlVevAre::AvviaImportazione(bool disabilitaStampa)
{
    m_Avviata = true;
    MostraSuggerimento(false);
    fraSelectPeriodo->setVisible(false);
    // The import tools too: no second import may start inside this one.
    DS1->setToolsEnabled({QStringLiteral("tbOK"), QStringLiteral("tbCancel"), QStringLiteral("tbNew"), QStringLiteral("tbOpen"),
                          QStringLiteral("tbExit"), kImport, kImportCEE, kImportXBRL},
                         false);
    if (disabilitaStampa) DS1->setToolEnabled(QStringLiteral("tbPrint"), false);
    DS1->setToolEnabled(QStringLiteral("tbClose"), true);
}

// A command has ended, whichever way: every tool a new command may use is enabled, as
// after tbClose, and the hint says what to do. The run's caption and log stay until the
// next command, or tbClose, takes them away.
void ctlVevAre::TornaInAttesa()
{
    DS1->setToolsEnabled({QStringLiteral("tbNew"), QStringLiteral("tbOpen"), QStringLiteral("tbExit"), kImport, kImportCEE,
                          kImportXBRL},
                         true);
    DS1->setToolsEnabled({QStringLiteral("tbOK"), QStringLiteral("tbCancel")}, false);
    DS1->setToolEnabled(QStringLiteral("tbClose"), !fraLog->isHidden());
    fraSelectPeriodo->setVisible(false);
    setHourglass(false);
    MostraSuggerimento(true);
    Ridisponi();
    // The hint's line takes room from the log: its last row, the run's end, stays in sight.
    if (!fraLog->isHidden() && lwLog->rowCount() > 0) lwLog->ensureRowVisible(lwLog->rowCount() - 1);
    RiprendiTastiera();
}

void ctlVevAre::TogliRisultati()
{
    picCaption->setVisible(false);
    fraLog->setVisible(false);
    lwLog->clearRows();
}

void ctlVevAre::ClickClose()
{
    DS1->setToolsEnabled({QStringLiteral("tbNew"), QStringLiteral("tbOpen"), QStringLiteral("tbExit"), kImport, kImportCEE,
                          kImportXBRL},
                         true);
    DS1->setToolsEnabled({QStringLiteral("tbClose"), QStringLiteral("tbPrint")}, false);

    TogliRisultati();
    MostraSuggerimento(true);
    Ridisponi();
}

void ctlVevAre::ClickCancel()
{
    DS1->setToolsEnabled({QStringLiteral("tbNew"), QStringLiteral("tbOpen"), kImport, kImportCEE, kImportXBRL}, true);
    DS1->setToolsEnabled({QStringLiteral("tbOK"), QStringLiteral("tbCancel"), QStringLiteral("tbPrint")}, false);
    fraSelectPeriodo->setVisible(false);
    MostraSuggerimento(true);
    Ridisponi();
}

bool ctlVevAre::HandleHotkey(int keyCode, int shift)
{
    // Names are compared whole: "HKKTRIMPORT" is not a prefix of the other two.
    static const QHash<QString, QString> tools = {
        {QStringLiteral("HKSTDNEW"), QStringLiteral("tbNew")},
        {QStringLiteral("HKSTDOPEN"), QStringLiteral("tbOpen")},
        {QStringLiteral("HKSTDCLOSE"), QStringLiteral("tbClose")},
        {QStringLiteral("HKSTDSAVE"), QStringLiteral("tbOK")},
        {QStringLiteral("HKSTDUNDO"), QStringLiteral("tbCancel")},
        {QStringLiteral("HKSTDPRINT"), QStringLiteral("tbPrint")},
        {QStringLiteral("HKSTDEXIT"), QStringLiteral("tbExit")},
        {QStringLiteral("HKKTRIMPORTCEE"), QStringLiteral("tbImportCEE")},
        {QStringLiteral("HKKTRIMPORTXBRL"), QStringLiteral("tbImportXBRL")},
        {QStringLiteral("HKKTRIMPORT"), QStringLiteral("tbImport")},
    };
    if (!m_CGlobal) return false;

    // An error is reported and the handling goes on with the next step.
    auto segnala = [this] {
        dialogs().MsgBox(AppError::fromCurrent().description(), vb::vbCritical | vb::vbOKOnly,
                         QStringLiteral("Rilevazione Hotkey"));
    };
    QString nome;
    try {
        nome = m_CGlobal->Hotkey().NomeHotkey(keyCode, shift);
    } catch (...) {
        segnala();
    }
    const QString tool = tools.value(nome);
    bool usato = false;
    try {
        if (!tool.isEmpty() && DS1->isToolEnabled(tool) && DS1->isToolVisible(tool)) {
            usato = true;
            const DaHotkey daHotkey;
            DS1->click(tool);
        } else if (tool == QLatin1String("tbOK") && !fraSelectPeriodo->isHidden() && !ImportazioneInCorso()) {
            // Save asked for too early: the key says what is still missing.
            usato = SegnalaSelezioneMancante();
        }
    } catch (...) {
        segnala();
    }
    // A key that started no command goes on to the control (Ctrl+Z stays undo there).
    return usato;
}

bool ctlVevAre::SegnalaSelezioneMancante()
{
    // In the order the form is filled; a new import takes the period its month gives.
    const struct {
        ListControl* vuota;
        ListControl* fuoco;
        QString testo;
    } passi[] = {
        {cmbDitte, cmbDitte, QStringLiteral("Scegliere la ditta")},
        {cmbAnni, cmbAnni, m_ModalitaApri ? QStringLiteral("Scegliere l'anno") : QStringLiteral("Indicare l'anno")},
        {cmbMesi, cmbMesi, QStringLiteral("Scegliere il mese")},
        {cmbPeriodo, m_ModalitaApri ? cmbPeriodo : cmbMesi,
         m_ModalitaApri ? QStringLiteral("Scegliere il periodo") : QStringLiteral("Scegliere il mese")},
    };
    for (const auto& passo : passi) {
        if (!passo.vuota->text().isEmpty()) continue;
        dialogs().MsgBox(passo.testo, vb::vbExclamation, captionTitle());
        passo.fuoco->setFocus();
        return true;
    }
    return false;
}
