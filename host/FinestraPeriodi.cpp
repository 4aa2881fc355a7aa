#include "host/FinestraPeriodi.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include <QAbstractTableModel>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace {
const QString Titolo = QStringLiteral("Periodi importati");
const QString TutteLeDitte = QStringLiteral("Tutte le ditte");
const QString TuttiGliAnni = QStringLiteral("Tutti gli anni");

// Hourglass for a read that may take a while.
struct Clessidra {
    Clessidra() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Clessidra() { QGuiApplication::restoreOverrideCursor(); }
};

QString dettaglio(const PeriodoArchiviato& p)
{
    if (!p.provenienza) return Periodi::NonRegistrata;
    const Provenienza& o = *p.provenienza;
    QStringList righe{QStringLiteral("Origine: ") + o.tipo + QStringLiteral(" (") + o.origine + QLatin1Char(')')};
    if (!o.file.isEmpty()) {
        righe << QStringLiteral("File: ") + QDir::toNativeSeparators(o.file);
        righe << QStringLiteral("Dimensione: %1 byte").arg(o.dimensione);
        righe << QStringLiteral("SHA-256: ") + o.sha256;
    }
    if (!o.definizione.isEmpty()) righe << QStringLiteral("Definizione: ") + o.definizione;
    righe << QStringLiteral("Importato il: ") + o.quando.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) +
                 QStringLiteral(" (") + o.quando.toUTC().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" UTC)");
    righe << QStringLiteral("Utente: ") + o.utente;
    righe << QStringLiteral("Quadratura: ") + o.quadratura + QStringLiteral(", differenza ") +
                 Periodi::importo(qRound64(o.differenza * 10000), true);
    return righe.join(QLatin1Char('\n'));
}
}  // namespace

// The values of one period: as many rows as it has, drawn only when seen.
class ModelloValori : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void imposta(QList<ValorePeriodo> valori)
    {
        beginResetModel();
        m_valori = std::move(valori);
        endResetModel();
    }
    int rowCount(const QModelIndex& = {}) const override { return int(m_valori.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 4; }
    QVariant data(const QModelIndex& i, int ruolo) const override
    {
        if (!i.isValid()) return {};
        if (ruolo == Qt::TextAlignmentRole && i.column() >= 2) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (ruolo != Qt::DisplayRole) return {};
        const ValorePeriodo& v = m_valori[i.row()];
        const auto testo = [](const std::optional<qint64>& n) { return n ? Periodi::importo(*n, true) : QString(); };
        switch (i.column()) {
        case 0: return v.conto;
        case 1: return v.descrizione;
        case 2: return testo(v.valore);
        default: return testo(v.valoreInValuta);
        }
    }
    QVariant headerData(int sezione, Qt::Orientation o, int ruolo) const override
    {
        if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return QAbstractTableModel::headerData(sezione, o, ruolo);
        static const char* const titoli[] = {"Conto", "Descrizione", "Valore", "Valore in valuta"};
        return QString::fromUtf8(titoli[sezione]);
    }

private:
    QList<ValorePeriodo> m_valori;
};

FinestraPeriodi::FinestraPeriodi(CGlobal& global, Dialogs& dialogs, std::function<bool()> inCorso, QWidget* parent)
    : QDialog(parent), m_global(global), m_dialogs(dialogs), m_inCorso(std::move(inCorso))
{
    setWindowTitle(Titolo);
    auto* layout = new QVBoxLayout(this);

    auto* filtri = new QHBoxLayout;
    cmbDitta = new QComboBox(this);
    cmbAnno = new QComboBox(this);
    cmbDitta->setMinimumContentsLength(30);
    auto* etichettaDitta = new QLabel(QStringLiteral("&Ditta:"), this);
    etichettaDitta->setBuddy(cmbDitta);
    auto* etichettaAnno = new QLabel(QStringLiteral("&Anno:"), this);
    etichettaAnno->setBuddy(cmbAnno);
    filtri->addWidget(etichettaDitta);
    filtri->addWidget(cmbDitta, 1);
    filtri->addSpacing(12);
    filtri->addWidget(etichettaAnno);
    filtri->addWidget(cmbAnno);
    filtri->addStretch(1);
    layout->addLayout(filtri);

    lstPeriodi = new QTableWidget(0, 10, this);
    lstPeriodi->setHorizontalHeaderLabels({QStringLiteral("Ditta"), QStringLiteral("Anno"), QStringLiteral("Mese"),
                                           QStringLiteral("Periodo"), QStringLiteral("Descrizione"), QStringLiteral("Valuta"),
                                           QStringLiteral("Cambio"), QStringLiteral("Valori"), QStringLiteral("Quadratura"),
                                           QStringLiteral("Provenienza")});
    lstPeriodi->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstPeriodi->setSelectionMode(QAbstractItemView::SingleSelection);
    lstPeriodi->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPeriodi->verticalHeader()->hide();
    // The provenance takes the room left, however often the columns fit their contents.
    lstPeriodi->horizontalHeader()->setSectionResizeMode(9, QHeaderView::Stretch);

    auto* parteValori = new QWidget(this);
    auto* layoutValori = new QVBoxLayout(parteValori);
    layoutValori->setContentsMargins(0, 0, 0, 0);
    lblValori = new QLabel(QStringLiteral("Scegliere un periodo per vederne i valori."), parteValori);
    m_valori = new ModelloValori(this);
    lstValori = new QTableView(parteValori);
    lstValori->setModel(m_valori);
    lstValori->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstValori->verticalHeader()->hide();
    lstValori->horizontalHeader()->setStretchLastSection(false);
    lstValori->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    lstValori->setColumnWidth(0, 140);
    lstValori->setColumnWidth(2, 150);
    lstValori->setColumnWidth(3, 150);
    layoutValori->addWidget(lblValori);
    layoutValori->addWidget(lstValori);

    auto* divisore = new QSplitter(Qt::Vertical, this);
    divisore->addWidget(lstPeriodi);
    divisore->addWidget(parteValori);
    divisore->setStretchFactor(0, 3);
    divisore->setStretchFactor(1, 2);
    layout->addWidget(divisore, 1);

    auto* comandi = new QHBoxLayout;
    lblStato = new QLabel(this);
    cmdElimina = new QPushButton(QStringLiteral("&Elimina periodo"), this);
    cmdEsporta = new QPushButton(QStringLiteral("Es&porta..."), this);
    auto* cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    comandi->addWidget(lblStato, 1);
    comandi->addWidget(cmdElimina);
    comandi->addWidget(cmdEsporta);
    comandi->addWidget(cmdChiudi);
    layout->addLayout(comandi);

    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdElimina, &QPushButton::clicked, this, &FinestraPeriodi::Elimina);
    connect(cmdEsporta, &QPushButton::clicked, this, &FinestraPeriodi::Esporta);
    connect(cmbDitta, &QComboBox::currentIndexChanged, this, [this] {
        riempiAnni();
        mostra();
    });
    connect(cmbAnno, &QComboBox::currentIndexChanged, this, &FinestraPeriodi::mostra);
    connect(lstPeriodi, &QTableWidget::itemSelectionChanged, this, &FinestraPeriodi::mostraValori);

    resize(1200, 720);
    carica();
}

FinestraPeriodi::~FinestraPeriodi() = default;

void FinestraPeriodi::carica()
{
    const QString ditta = cmbDitta->currentData().toString(), anno = cmbAnno->currentText();
    try {
        const Clessidra clessidra;
        m_periodi = Periodi::elenco(m_global.Database().Connection());
    } catch (...) {
        m_periodi.clear();
        m_dialogs.MsgBox(AppError::fromCurrent().description(), vb::vbCritical, Titolo);
    }
    const QSignalBlocker bloccaDitta(cmbDitta), bloccaAnno(cmbAnno);
    cmbDitta->clear();
    cmbDitta->addItem(TutteLeDitte);
    std::set<std::pair<QString, QString>> ditte;  // by name, then code
    for (const PeriodoArchiviato& p : m_periodi) ditte.insert({p.ragioneSociale, p.chiave.ditta});
    for (const auto& [nome, codice] : ditte) cmbDitta->addItem(nome.isEmpty() ? codice : nome, codice);
    cmbDitta->setCurrentIndex(qMax(0, cmbDitta->findData(ditta)));
    riempiAnni();
    cmbAnno->setCurrentIndex(qMax(0, cmbAnno->findText(anno)));
    mostra();
}

void FinestraPeriodi::riempiAnni()
{
    const QString ditta = cmbDitta->currentData().toString(), anno = cmbAnno->currentText();
    std::set<QString> anni;
    for (const PeriodoArchiviato& p : m_periodi)
        if (ditta.isEmpty() || p.chiave.ditta == ditta) anni.insert(p.chiave.anno);
    const QSignalBlocker blocca(cmbAnno);
    cmbAnno->clear();
    cmbAnno->addItem(TuttiGliAnni);
    for (const QString& a : anni) cmbAnno->addItem(a);
    cmbAnno->setCurrentIndex(qMax(0, cmbAnno->findText(anno)));
}

void FinestraPeriodi::mostra()
{
    const QString ditta = cmbDitta->currentData().toString();
    const QString anno = cmbAnno->currentIndex() > 0 ? cmbAnno->currentText() : QString();
    m_visibili.clear();
    for (qsizetype i = 0; i < m_periodi.size(); ++i)
        if ((ditta.isEmpty() || m_periodi[i].chiave.ditta == ditta) && (anno.isEmpty() || m_periodi[i].chiave.anno == anno))
            m_visibili << i;

    const QSignalBlocker blocca(lstPeriodi);
    lstPeriodi->setUpdatesEnabled(false);
    lstPeriodi->clearContents();
    lstPeriodi->setRowCount(int(m_visibili.size()));
    for (int r = 0; r < lstPeriodi->rowCount(); ++r) {
        const PeriodoArchiviato& p = m_periodi[m_visibili[r]];
        const QString quadratura = p.provenienza ? p.provenienza->quadratura : QString();
        const QStringList celle{p.ragioneSociale.isEmpty() ? p.chiave.ditta : p.ragioneSociale,
                                p.chiave.anno,
                                Periodi::nomeMese(p.chiave.mese),
                                QString::number(p.chiave.periodo),
                                p.descrizione,
                                p.valuta,
                                vb::FormatNumero(p.cambio),
                                QString::number(p.valori),
                                quadratura,
                                Periodi::provenienzaBreve(p)};
        for (int c = 0; c < celle.size(); ++c) {
            auto* cella = new QTableWidgetItem(celle[c]);
            if (c == 3 || c == 6 || c == 7) cella->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 9) cella->setToolTip(dettaglio(p));
            if (c == 8 && quadratura != QLatin1String("superata") && !quadratura.isEmpty()) cella->setForeground(QColor(200, 0, 0));
            lstPeriodi->setItem(r, c, cella);
        }
    }
    lstPeriodi->resizeColumnsToContents();
    lstPeriodi->setUpdatesEnabled(true);
    lstPeriodi->clearSelection();
    mostraValori();
}

QList<PeriodoArchiviato> FinestraPeriodi::visibili() const
{
    QList<PeriodoArchiviato> out;
    for (const qsizetype i : m_visibili) out << m_periodi[i];
    return out;
}

void FinestraPeriodi::scegli(int riga) { lstPeriodi->selectRow(riga); }

const PeriodoArchiviato* FinestraPeriodi::scelto() const
{
    const QList<QTableWidgetItem*> scelte = lstPeriodi->selectedItems();
    if (scelte.isEmpty()) return nullptr;
    const int riga = scelte.first()->row();
    return riga >= 0 && riga < m_visibili.size() ? &m_periodi[m_visibili[riga]] : nullptr;
}

void FinestraPeriodi::mostraValori()
{
    const PeriodoArchiviato* p = scelto();
    cmdElimina->setEnabled(p != nullptr);
    cmdEsporta->setEnabled(p != nullptr);
    if (!p) {
        m_valori->imposta({});
        lblValori->setText(QStringLiteral("Scegliere un periodo per vederne i valori."));
        return;
    }
    try {
        const Clessidra clessidra;
        m_valori->imposta(Periodi::valori(m_global.Database().Connection(), p->chiave));
    } catch (...) {
        m_valori->imposta({});
        m_dialogs.MsgBox(AppError::fromCurrent().description(), vb::vbCritical, Titolo);
    }
    lblValori->setText(QStringLiteral("Valori di %1, %2/%3, periodo %4 (valuta %5):")
                           .arg(p->ragioneSociale, Periodi::nomeMese(p->chiave.mese), p->chiave.anno)
                           .arg(p->chiave.periodo)
                           .arg(p->valuta));
}

void FinestraPeriodi::Elimina()
{
    const PeriodoArchiviato* p = scelto();
    if (!p) return;
    if (m_inCorso && m_inCorso()) {
        m_dialogs.MsgBox(QStringLiteral("Impossibile eliminare un periodo mentre è in corso un'importazione."), vb::vbExclamation,
                         Titolo);
        return;
    }
    const PeriodoArchiviato periodo = *p;
    if (m_dialogs.MsgBox(Periodi::domandaEliminazione(periodo), vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                         QStringLiteral("Elimina periodo")) != vb::vbYes)
        return;
    try {
        const qint64 valori = Periodi::elimina(m_global, periodo);
        carica();
        lblStato->setText(QStringLiteral("Eliminato il periodo %1 di %2/%3 di %4: %5 valori.")
                              .arg(periodo.chiave.periodo)
                              .arg(Periodi::nomeMese(periodo.chiave.mese), periodo.chiave.anno, periodo.ragioneSociale)
                              .arg(valori));
    } catch (...) {
        m_dialogs.MsgBox(QStringLiteral("Il periodo non è stato eliminato: ") + AppError::fromCurrent().description(), vb::vbCritical,
                         Titolo);
    }
}

void FinestraPeriodi::Esporta()
{
    const PeriodoArchiviato* p = scelto();
    if (!p) return;
    QString cartella = m_global.CartellaLavoro();
    if (cartella.isEmpty()) cartella = QDir::homePath();
    const QString proposta = QDir(cartella).filePath(QStringLiteral("%1_%2_%3_periodo%4.csv")
                                                         .arg(p->chiave.ditta, p->chiave.anno)
                                                         .arg(p->chiave.mese, 2, 10, QLatin1Char('0'))
                                                         .arg(p->chiave.periodo));
    QString file;
    try {
        file = m_dialogs.SaveFile(QStringLiteral("Esporta i valori del periodo"), QStringLiteral("File CSV|*.csv|Tutti i file|*.*"),
                                  proposta);
    } catch (...) {
        return;  // a dialog that fails counts as cancelled
    }
    if (file.trimmed().isEmpty()) return;
    try {
        const qint64 valori = Periodi::esporta(m_global.Database().Connection(), p->chiave, file);
        lblStato->setText(QStringLiteral("Esportati %1 valori in %2").arg(valori).arg(QDir::toNativeSeparators(file)));
    } catch (...) {
        m_dialogs.MsgBox(AppError::fromCurrent().description(), vb::vbCritical, Titolo);
    }
}
