#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

QString quoted(const QString& value) { return StringaSQL(ApiciSQL(value)); }

// Qt makes the first entry of a filled list current; the host's lists start with no
// choice, so that nothing looks picked before the user picks it.
void senzaScelta(ListControl* list) { list->setListIndex(-1); }

}  // namespace

// Every list event reaches its handler through here. Handlers do not trap database
// errors; an error must still not cross the event loop, so it is reported here.
void ctlVevAre::CollegaEventi()
{
    auto handler = [this](void (ctlVevAre::*routine)()) {
        return [this, routine] {
            try {
                (this->*routine)();
            } catch (...) {
                MostraErrore(AppError::fromCurrent());
            }
        };
    };

    connect(cmbDitte, &ListControl::activatedByUser, this, handler(&ctlVevAre::cmbDitte_Click));
    connect(cmbAnni, &ListControl::activatedByUser, this, handler(&ctlVevAre::cmbAnni_Click));
    connect(cmbMesi, &ListControl::activatedByUser, this, handler(&ctlVevAre::cmbMesi_Click));
    connect(cmbPeriodo, &ListControl::choiceChanged, this, handler(&ctlVevAre::cmbPeriodo_Click));
    connect(cmbValuta, &QComboBox::currentTextChanged, this, handler(&ctlVevAre::cmbValuta_Change));
    connect(cmbValuta, &ListControl::activatedByUser, this, handler(&ctlVevAre::cmbValuta_Change));
    connect(txtCambio, &QLineEdit::textChanged, this, handler(&ctlVevAre::txtCambio_Change));
    connect(cmdEditCambio, &QPushButton::clicked, this, handler(&ctlVevAre::cmdEditCambio_Click));
    connect(cmdGetRate, &QToolButton::clicked, this, handler(&ctlVevAre::cmdGetRate_Click));

    // Host hotkeys work wherever the focus is on the screen, also on controls made later.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* ora) {
        if (ora && ora != this && isAncestorOf(ora)) ora->installEventFilter(this);
    });
}

void ctlVevAre::CaricaDitte()
{
    if (m_Rs->isOpen()) m_Rs->Close();
    m_Rs->Open(QStringLiteral("SELECT * FROM QD05_DITTA ORDER BY QD05_RAGIONESOCIALE"),
               m_CGlobal->Database().Connection(), Recordset::adOpenForwardOnly, Recordset::adLockReadOnly);
    cmbDitte->Clear();
    for (; !m_Rs->Eof(); m_Rs->MoveNext()) cmbDitte->AddItem(vb::CStr(m_Rs->value(QStringLiteral("QD05_RAGIONESOCIALE"))));
    senzaScelta(cmbDitte);
    m_Rs->Close();
}

qint16 ctlVevAre::MeseIndex(const QString& Mese) const
{
    for (int i = 0; i < m_Mesi.size(); ++i)
        if (m_Mesi.at(i) == Mese) return qint16(i + 1);
    return -1;
}

void ctlVevAre::cmbDitte_Click()
{
    if (cmbDitte->text().isEmpty()) return;
    Connection& conn = m_CGlobal->Database().Connection();

    m_CambioModificato = false;
    setHourglass(true);
    if (m_Rs->isOpen()) m_Rs->Close();
    m_Rs->Open(QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_RAGIONESOCIALE=") + quoted(cmbDitte->text()), conn,
               Recordset::adOpenForwardOnly, Recordset::adLockReadOnly);

    const QVariant codImportazione = m_Rs->value(QStringLiteral("QD05_CODIMPORTAZIONE"));
    if (codImportazione.isNull() || vb::CStr(codImportazione).isEmpty()) {
        cmbAnni->Clear();
        cmbMesi->Clear();
        dialogs().MsgBox(QStringLiteral("Nessun file di definizione ") + QStringLiteral("\r\n") +
                             QStringLiteral("associato alla ditta"),
                         vb::vbExclamation, captionTitle());
    } else {
        m_CodiceDitta = vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEDITTA")));
        if (!m_ModalitaApri) {
            cmbMesi->Clear();
            for (const QString& mese : m_Mesi) cmbMesi->AddItem(mese);
            senzaScelta(cmbMesi);
        } else {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT DISTINCT QD07_ANNO FROM QD07_VALORIPDC ") +
                        QStringLiteral("WHERE QD07_CODICEDITTA_QD05=") + quoted(m_CodiceDitta) + QStringLiteral(" ") +
                        QStringLiteral("ORDER BY QD07_ANNO"),
                    conn, Recordset::adOpenStatic, Recordset::adLockReadOnly);
            cmbAnni->Clear();
            for (; !rs.Eof(); rs.MoveNext()) cmbAnni->AddItem(vb::CStr(rs.value(QStringLiteral("QD07_ANNO"))));
            senzaScelta(cmbAnni);
            cmbMesi->Clear();
            rs.Close();
        }
    }

    const QVariant valuta = m_Rs->value(QStringLiteral("QD05_CODICEVALUTA_QD40"));
    m_CGlobal->Utility().SelezionaVoce(*cmbValuta, valuta.isNull() ? m_CGlobal->ValutaBase() : vb::CStr(valuta));

    DS1->setToolEnabled(QStringLiteral("tbOK"), false);
    m_Rs->Close();
    setHourglass(false);
}

void ctlVevAre::cmbAnni_Click()
{
    if (cmbAnni->text().isEmpty()) return;
    Connection& conn = m_CGlobal->Database().Connection();

    setHourglass(true);
    if (m_Rs->isOpen()) m_Rs->Close();
    m_Rs->Open(QStringLiteral("select * from QD05_DITTA WHERE QD05_RAGIONESOCIALE=") + quoted(cmbDitte->text()), conn,
               Recordset::adOpenForwardOnly, Recordset::adLockReadOnly);
    const QString codice = quoted(vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEDITTA"))));

    Recordset rs;
    rs.Open(QStringLiteral("SELECT DISTINCT QD07_MESE FROM QD07_VALORIPDC ") +
                QStringLiteral("WHERE QD07_CODICEDITTA_QD05=") + codice + QStringLiteral(" AND ") +
                QStringLiteral("QD07_ANNO=") + quoted(cmbAnni->text()) + QStringLiteral(" ") +
                QStringLiteral("ORDER BY QD07_MESE"),
            conn, Recordset::adOpenStatic, Recordset::adLockReadOnly);
    m_Rs->Close();

    cmbMesi->Clear();
    for (; !rs.Eof(); rs.MoveNext()) {
        const int mese = vb::CInt(rs.value(QStringLiteral("QD07_MESE")));
        if (mese < 1 || mese > m_Mesi.size())
            throw AppError(9, QStringLiteral("Indice non compreso nell'intervallo"));
        cmbMesi->AddItem(m_Mesi.at(mese - 1));
    }
    senzaScelta(cmbMesi);
    rs.Close();
    setHourglass(false);
}

void ctlVevAre::cmbMesi_Click()
{
    if (cmbMesi->text().isEmpty() || cmbDitte->text().isEmpty() || cmbAnni->text().isEmpty()) return;
    Connection& conn = m_CGlobal->Database().Connection();
    const QString& valutaBase = m_CGlobal->ValutaBase();
    const QString mese = QString::number(MeseIndex(cmbMesi->text()));

    Recordset rs;
    if (m_ModalitaApri) {
        m_CambioProposto = 0;
        txtCambio->setEnabled(false);
        const bool estera = valutaBase != cmbValuta->text();
        cmdEditCambio->setVisible(estera);
        cmdGetRate->setVisible(estera);

        rs.Open(QStringLiteral("SELECT QD21_NPERIODO FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05=") +
                    quoted(m_CodiceDitta) + QStringLiteral(" AND QD21_ANNO=") + quoted(cmbAnni->text()) +
                    QStringLiteral(" AND QD21_MESE=") + mese + QStringLiteral(" order BY QD21_NPERIODO"),
                conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
        cmbPeriodo->Clear();
        cmbPeriodo->AddItem(QString());
        for (; !rs.Eof(); rs.MoveNext()) cmbPeriodo->AddItem(vb::CStr(rs.value(QStringLiteral("QD21_NPERIODO"))));
        if (cmbPeriodo->ListCount() == 2) cmbPeriodo->setListIndex(1);
        cmbPeriodo->setLocked(false);
    } else {
        if (m_Valuta != valutaBase) {
            const double cambio = CambioMese(cmbAnni->text(), MeseIndex(cmbMesi->text()),
                                             vb::Trim(m_Valuta), vb::Trim(valutaBase));
            m_CambioProposto = cambio;
            txtCambio->setText(vb::CStr(cambio));
            txtCambio->setEnabled(true);
            cmdEditCambio->setVisible(false);
            cmdGetRate->setVisible(true);
            txtCambio->setFocus();
        } else {
            m_CambioProposto = 0;
            txtCambio->setText(QStringLiteral("1"));
        }

        rs.Open(QStringLiteral("SELECT MaxPeriodo FROM qryMaxPeriodo WHERE QD07_CODICEDITTA_QD05=") +
                    quoted(m_CodiceDitta) + QStringLiteral(" AND QD07_ANNO=") + quoted(cmbAnni->text()) +
                    QStringLiteral(" AND QD07_MESE=") + mese,
                conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
        cmbPeriodo->Clear();
        if (rs.Eof()) cmbPeriodo->AddItem(QStringLiteral("1"));
        else cmbPeriodo->AddItem(vb::Trim(QString::number(vb::CLng(rs.value(QStringLiteral("MaxPeriodo"))) + 1)));
        cmbPeriodo->setListIndex(0);
        // The next free period is the only one a new import can take.
        cmbPeriodo->setLocked(true);
    }
    rs.Close();
}

void ctlVevAre::cmbPeriodo_Click()
{
    m_Periodo = 0;
    if (cmbDitte->text().isEmpty() || cmbAnni->text().isEmpty() || cmbPeriodo->text().isEmpty() ||
        cmbMesi->text().isEmpty())
        return;

    DS1->setToolEnabled(QStringLiteral("tbOK"), true);
    m_Periodo = vb::CInt(cmbPeriodo->text());
    Connection& conn = m_CGlobal->Database().Connection();
    QString descrizione;
    double cambio = 0;  // the period's stored rate; 0 when it has none
    conn.Scorri(QStringLiteral("SELECT QD21_DESCRIZIONE, QD21_CAMBIO FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05=? AND "
                               "QD21_ANNO=? AND QD21_MESE=? and QD21_NPERIODO = ?"),
                {m_CodiceDitta, cmbAnni->text(), int(MeseIndex(cmbMesi->text())), int(m_Periodo)}, [&](std::span<const QVariant> r) {
                    descrizione = r[0].toString();
                    if (!r[1].isNull()) cambio = r[1].toDouble();
                });
    lblDescRif->setText(descrizione);
    if (m_ModalitaApri && vb::Trim(m_Valuta) != m_CGlobal->ValutaBase()) CambioDelPeriodo(cambio);
}

// A stored period is imported again at its own rate, unless the user changes it through
// "Modifica cambio"; a foreign-currency period without one asks, as a new import does.
void ctlVevAre::CambioDelPeriodo(double cambio)
{
    const bool memorizzato = cambio > 0;
    if (!memorizzato) cambio = CambioMese(cmbAnni->text(), MeseIndex(cmbMesi->text()), vb::Trim(m_Valuta),
                                          vb::Trim(m_CGlobal->ValutaBase()));
    m_CambioProposto = cambio;
    txtCambio->setText(vb::CStr(cambio));
    if (!memorizzato) {
        txtCambio->setEnabled(true);
        txtCambio->setFocus();
    }
}

void ctlVevAre::Lista_KeyPress(int keyAscii)
{
    if (keyAscii == 13) {
        if (!cmbAnni->text().isEmpty() && !cmbDitte->text().isEmpty() && !cmbMesi->text().isEmpty()) ClickOk();
    } else if (keyAscii == 27) {
        ClickCancel();
    }
}
