#include "control/ctlVevAre.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// Creates the screen's areas; their places are set by Ridisponi, the arrangement
// inside the selection frame is fixed here.
void ctlVevAre::CreaControlli()
{
    picCaption = new QFrame(this);
    picCaption->setObjectName(QStringLiteral("picCaption"));
    picCaption->setFrameShape(QFrame::StyledPanel);
    picCaption->setFixedHeight(32);
    lblCaption = new QLabel(picCaption);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    QFont f = lblCaption->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    lblCaption->setFont(f);
    auto* capLayout = new QVBoxLayout(picCaption);
    capLayout->setContentsMargins(8, 2, 8, 2);
    capLayout->addWidget(lblCaption);

    DS1 = new DockToolbar(this);
    DS1->setObjectName(QStringLiteral("DS1"));

    fraSelectPeriodo = new QGroupBox(QStringLiteral("Selezione periodo"), this);
    fraSelectPeriodo->setObjectName(QStringLiteral("fraSelectPeriodo"));
    cmbDitte = new ListControl(fraSelectPeriodo);
    cmbAnni = new ListControl(fraSelectPeriodo);
    cmbMesi = new ListControl(fraSelectPeriodo);
    cmbPeriodo = new ListControl(fraSelectPeriodo);
    cmbValuta = new ListControl(fraSelectPeriodo);
    txtCambio = new QLineEdit(fraSelectPeriodo);
    cmdEditCambio = new QPushButton(QStringLiteral("Modifica cambio"), fraSelectPeriodo);
    cmdGetRate = new QToolButton(fraSelectPeriodo);
    cmdGetRate->setToolTip(QStringLiteral("Ottieni il cambio dal Web"));
    cmdGetRate->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    lblDescRif = new QLabel(fraSelectPeriodo);
    lblCambioLetto = new QLabel(fraSelectPeriodo);
    lblCambioLetto->setObjectName(QStringLiteral("lblCambioLetto"));
    cmbDitte->setObjectName(QStringLiteral("cmbDitte"));
    cmbAnni->setObjectName(QStringLiteral("cmbAnni"));
    cmbMesi->setObjectName(QStringLiteral("cmbMesi"));
    cmbPeriodo->setObjectName(QStringLiteral("cmbPeriodo"));
    cmbValuta->setObjectName(QStringLiteral("cmbValuta"));
    txtCambio->setObjectName(QStringLiteral("txtCambio"));
    cmdEditCambio->setObjectName(QStringLiteral("cmdEditCambio"));
    cmdGetRate->setObjectName(QStringLiteral("cmdGetRate"));
    lblDescRif->setObjectName(QStringLiteral("lblDescRif"));

    // Company on the first line, the period key on the second with the period's
    // description beside it, currency and rate on the third. The form grows with the
    // frame up to a reading width and stays centred in a wider one.
    auto* modulo = new QWidget(fraSelectPeriodo);
    modulo->setObjectName(QStringLiteral("modulo"));
    modulo->setMaximumWidth(1000);
    auto* centro = new QHBoxLayout(fraSelectPeriodo);
    centro->setContentsMargins(0, 0, 0, 0);
    centro->addStretch(1);
    centro->addWidget(modulo, 8);
    centro->addStretch(1);
    auto* grid = new QGridLayout(modulo);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, fraSelectPeriodo);
        l->setBuddy(buddy);
        return l;
    };
    cmbDitte->setMinimumWidth(360);
    cmbAnni->setFixedWidth(90);
    cmbMesi->setFixedWidth(130);
    cmbPeriodo->setFixedWidth(70);
    cmbValuta->setFixedWidth(90);
    txtCambio->setFixedWidth(130);
    txtCambio->setAlignment(Qt::AlignRight);
    cmdGetRate->setAutoRaise(false);

    grid->addWidget(label(QStringLiteral("Ditta"), cmbDitte), 0, 0);
    grid->addWidget(cmbDitte, 0, 1, 1, 6);  // as wide as the form
    grid->addWidget(label(QStringLiteral("Anno"), cmbAnni), 1, 0);
    grid->addWidget(cmbAnni, 1, 1);
    grid->addWidget(label(QStringLiteral("Mese"), cmbMesi), 1, 2);
    grid->addWidget(cmbMesi, 1, 3);
    grid->addWidget(label(QStringLiteral("Periodo"), cmbPeriodo), 1, 4);
    grid->addWidget(cmbPeriodo, 1, 5, Qt::AlignLeft);
    grid->addWidget(lblDescRif, 1, 6);
    grid->addWidget(label(QStringLiteral("Valuta"), cmbValuta), 2, 0);
    grid->addWidget(cmbValuta, 2, 1);
    grid->addWidget(label(QStringLiteral("Cambio"), txtCambio), 2, 2);
    grid->addWidget(txtCambio, 2, 3);
    auto* bottoni = new QHBoxLayout;
    bottoni->setSpacing(4);
    bottoni->addWidget(lblCambioLetto);  // the typed rate as understood, beside the box
    bottoni->addSpacing(8);
    bottoni->addWidget(cmdGetRate);
    bottoni->addWidget(cmdEditCambio);
    bottoni->addStretch(1);
    grid->addLayout(bottoni, 2, 4, 1, 3);
    grid->setColumnStretch(6, 1);
    grid->setRowStretch(3, 1);

    QWidget::setTabOrder(cmbDitte, cmbAnni);
    QWidget::setTabOrder(cmbAnni, cmbMesi);
    QWidget::setTabOrder(cmbMesi, cmbPeriodo);
    QWidget::setTabOrder(cmbPeriodo, cmbValuta);
    QWidget::setTabOrder(cmbValuta, txtCambio);
    QWidget::setTabOrder(txtCambio, cmdGetRate);
    QWidget::setTabOrder(cmdGetRate, cmdEditCambio);

    // The idle screen says what to do; a command that starts hides it.
    lblSuggerimento = new QLabel(QStringLiteral("Nuovo per importare il file di una ditta, oppure una delle importazioni automatiche"),
                                 this);
    lblSuggerimento->setObjectName(QStringLiteral("lblSuggerimento"));
    lblSuggerimento->setAlignment(Qt::AlignCenter);
    lblSuggerimento->setWordWrap(true);
    lblSuggerimento->setEnabled(false);  // drawn grey, as a hint is

    // The period and its description belong to one company, year and month: a change of
    // any of them takes them away at once (before the selection's own handlers, connected
    // later, fill them again), and Save waits for a period.
    const auto chiaveCambiata = [this](bool togliPeriodo) {
        lblDescRif->clear();
        DS1->setToolEnabled(QStringLiteral("tbOK"), false);
        if (togliPeriodo) cmbPeriodo->Clear();
    };
    connect(cmbDitte, &ListControl::activatedByUser, this, [chiaveCambiata] { chiaveCambiata(true); });
    connect(cmbAnni, &ListControl::activatedByUser, this, [chiaveCambiata] { chiaveCambiata(true); });
    connect(cmbAnni, &ListControl::typed, this, [this, chiaveCambiata] {
        chiaveCambiata(true);
        if (!m_ModalitaApri) cmbMesi->setListIndex(-1);  // the month is chosen again for the new year
    });
    connect(cmbMesi, &ListControl::activatedByUser, this, [chiaveCambiata] { chiaveCambiata(false); });
    connect(cmbPeriodo, &ListControl::choiceChanged, this, [chiaveCambiata] { chiaveCambiata(false); });

    fraLog = new QGroupBox(QStringLiteral("Importazione"), this);
    fraLog->setObjectName(QStringLiteral("fraLog"));
    lwLog = new LogList(fraLog);
    lwLog->setObjectName(QStringLiteral("lwLog"));
}
