#include "control/ctlVevAre.h"
#include "platform/balance/BalanceCheck.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/host/Hotkey.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include "platform/ui/Traduzioni.h"
#include "platform/db/Recordset.h"
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>

ctlVevAre::ctlVevAre(Dialogs& dialogs, QWidget* parent) : QWidget(parent), m_dialogs(dialogs)
{
    // The screen's standard dialogs speak Italian whatever the host loaded.
    installaTraduzioniQt();
    setWindowTitle(QStringLiteral("Importazione valori PDC"));
    CreaControlli();
    CreaBarraStrumenti();

    m_Mesi = {QStringLiteral("Gennaio"), QStringLiteral("Febbraio"), QStringLiteral("Marzo"),
              QStringLiteral("Aprile"),  QStringLiteral("Maggio"),   QStringLiteral("Giugno"),
              QStringLiteral("Luglio"),  QStringLiteral("Agosto"),   QStringLiteral("Settembre"),
              QStringLiteral("Ottobre"), QStringLiteral("Novembre"), QStringLiteral("Dicembre")};

    fraSelectPeriodo->setVisible(false);
    fraLog->setVisible(false);
    picCaption->setVisible(false);

    DS1->setToolsEnabled({QStringLiteral("tbNew"), QStringLiteral("tbOpen")}, true);
    DS1->setToolsEnabled({QStringLiteral("tbClose"), QStringLiteral("tbOK"), QStringLiteral("tbCancel"), QStringLiteral("tbPrint")},
                         false);

    m_Rs = std::make_unique<Recordset>();
    m_Quadratura = std::make_unique<BalanceCheck>();
    m_Colonne = std::make_unique<Colonne>();
    m_Regole = std::make_unique<Regole>();
    ResetAnomalie();

    lwLog->setDefaultColor(QColor(0x00, 0x00, 0xC0));  // &H00C00000: blue 192

    CollegaEventi();
}

ctlVevAre::~ctlVevAre()
{
    if (m_Rs && m_Rs->isOpen()) m_Rs->Close();
    m_Quadratura.reset();
    m_Rs.reset();
    m_Colonne.reset();
    m_Regole.reset();
    m_CGlobal = nullptr;
}

// --- IControl

void ctlVevAre::setCaption(QString&) {}

void ctlVevAre::setCGlobal(CGlobal* global)
{
    // A host that hands over nothing gets an error it can trap; the screen stays as it was.
    if (!global) throw AppError(91, QStringLiteral("Variabile oggetto o variabile del blocco With non impostata"));
    m_CGlobal = global;
    m_ContestoStampa = std::make_unique<ContestoStampa>();
    m_ContestoStampa->setCGlobal(m_CGlobal);
    m_ContestoStampa->setDialogs(&m_dialogs);
    m_WorkingFolder = m_CGlobal->CartellaLavoro();
    CaricaValute();
    DS1->setToolVisible(QStringLiteral("tbImport"), true);
    DS1->setToolVisible(QStringLiteral("tbImportCEE"), true);
    DS1->setToolVisible(QStringLiteral("tbImportXBRL"), true);
    SuggerimentiTasti();
    updateGeometry();
}

// The least a host should give the screen: every tool in the bar, the selection uncut.
QSize ctlVevAre::minimumSizeHint() const
{
    return QSize(DS1->sizeHint().width() + 2, DS1->sizeHint().height() + picCaption->height() + fraSelectPeriodo->sizeHint().height());
}

qint32 ctlVevAre::MinHeight() const { return 2000; }
qint32 ctlVevAre::MinWidth() const { return 2000; }
bool ctlVevAre::Resizable() const { return true; }
bool ctlVevAre::Standard() const { return false; }
void ctlVevAre::setStandard(bool value) { m_Standard = value; }
void ctlVevAre::SendControl() {}
QObject* ctlVevAre::ObjXP() const { return m_ObjXP; }
void ctlVevAre::setObjXP(QObject* obj) { m_ObjXP = obj; }
QWidget* ctlVevAre::EmptyForm() const { return m_EmptyForm; }
void ctlVevAre::setEmptyForm(QWidget* form) { m_EmptyForm = form; }
bool ctlVevAre::Validate() { return true; }

void ctlVevAre::CloseWindow()
{
    // Whatever goes wrong while the host handles the event stays there.
    try {
        emit ExitControl();
    } catch (...) {
    }
}

void ctlVevAre::setParametro(QString) {}

// --- shared services

QString ctlVevAre::captionTitle() const { return window()->windowTitle(); }

void ctlVevAre::setHourglass(bool on)
{
    m_MousePointer = on ? 11 : 0;
    if (on) setCursor(Qt::WaitCursor);
    else unsetCursor();
}

// A box never stands empty: an error without words is named as such.
void ctlVevAre::MostraErrore(const AppError& error)
{
    if (error.number() > 0)
        m_dialogs.MsgBox(!error.description().trimmed().isEmpty() ? error.description()
                                                                   : QStringLiteral("Errore %1 senza descrizione.").arg(error.number()),
                         vb::vbCritical | vb::vbOKOnly, captionTitle());
    MostraErrore();
}

void ctlVevAre::MostraErrore()
{
    if (!m_CGlobal) return;
    const auto& errors = m_CGlobal->Database().Connection().Errors();
    if (!errors.isEmpty() && !errors.first().description.trimmed().isEmpty())
        m_dialogs.MsgBox(errors.first().description, vb::vbCritical | vb::vbOKOnly, captionTitle());
}

// --- events

void ctlVevAre::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Ridisponi();
}

void ctlVevAre::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // A key pressed while no control has the focus goes to the host window itself.
    QWidget* finestra = window();
    if (finestra != this && finestra != m_Finestra) {
        if (m_Finestra) m_Finestra->removeEventFilter(this);
        m_Finestra = finestra;
        m_Finestra->installEventFilter(this);
    }
    RiprendiTastiera();
}

// The hotkeys work from the first moment and after each command, before any field had
// the focus or when a command hid the one that had it: the screen takes the focus then.
void ctlVevAre::RiprendiTastiera()
{
    if (!isVisible()) return;
    const QWidget* fuoco = window()->focusWidget();
    if (fuoco && fuoco->isVisible() && fuoco->isEnabled()) return;
    setFocus(Qt::OtherFocusReason);
}

// A key press travels from the focus widget up through its parents while nobody takes
// it; the hotkeys look at it once, where it starts.
static bool primoDestinatario(QObject* destinatario)
{
    const QWidget* fuoco = QApplication::focusWidget();
    if (!fuoco || destinatario == fuoco || !destinatario->isWidgetType()) return true;
    return !static_cast<QWidget*>(destinatario)->isAncestorOf(fuoco);
}

void ctlVevAre::keyPressEvent(QKeyEvent* e)
{
    if (!primoDestinatario(this) || !HandleHotkey(e->key(), Hotkey::shiftState(e->modifiers()))) QWidget::keyPressEvent(e);
}

// Sees the key presses of every control first, as the host's key preview does:
// host hotkeys before anything else, then Enter and Escape on the company, year and
// month lists (also in their typing box, whose Enter must not add an entry).
bool ctlVevAre::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress || !primoDestinatario(watched)) return QWidget::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    if (HandleHotkey(k->key(), Hotkey::shiftState(k->modifiers()))) return true;

    QObject* list = watched;
    if (list && qobject_cast<QLineEdit*>(list)) list = list->parent();
    if (list && (list == cmbDitte || list == cmbAnni || list == cmbMesi)) {
        // Nothing may reach the event loop from here: errors end in the screen's report.
        const auto premi = [this](int tasto) {
            try {
                Lista_KeyPress(tasto);
            } catch (...) {
                MostraErrore(AppError::fromCurrent());
            }
            return true;
        };
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return premi(13);
        if (k->key() == Qt::Key_Escape) return premi(27);
    }
    return QWidget::eventFilter(watched, e);
}
