#include "platform/report/AnomalyReport.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <optional>

namespace {

VoceStampa nota(VoceStampa::Tipo tipo, const QString& testo)
{
    VoceStampa v;
    v.tipo = tipo;
    v.testo = testo;
    return v;
}

const QString kTitolo = QStringLiteral("Lista anomalie importazione");
constexpr int kColonne = 8;

QString testo(const QVariant& v) { return v.isNull() ? QString() : vb::Trim(v.toString()); }

bool vero(const QVariant& v)
{
    try {
        return !v.isNull() && vb::CBool(v);
    } catch (...) {
        return false;
    }
}

bool rigaVuota(const RigaAnomalia& riga)
{
    for (const QVariant& v : riga)
        if (!v.isNull() && !(v.typeId() == QMetaType::QString && testo(v).isEmpty())) return false;
    return true;
}

// Lays the lines out on pages; with no painter it only counts the pages.
class Impaginazione {
public:
    Impaginazione(QPrinter& printer, const QList<VoceStampa>& voci, QString sottotitolo)
        : m_printer(printer), m_voci(voci), m_sottotitolo(std::move(sottotitolo))
    {
        m_dpi = printer.resolution();
        const QRectF area = printer.pageLayout().paintRectPixels(m_dpi);
        m_w = area.width();
        m_h = area.height();
        m_normale.setPointSizeF(9);
        m_grassetto = m_normale;
        m_grassetto.setBold(true);
        m_piccolo.setPointSizeF(7.5);
        m_testata = m_piccolo;
        m_testata.setBold(true);
        m_titolo.setPointSizeF(14);
        m_titolo.setBold(true);
        m_data = Clock::today().toString(QStringLiteral("dd/MM/yyyy"));
        m_riga = QFontMetricsF(m_normale, &m_printer).height() * 1.5;
        // Metrics made once: a list of a hundred thousand rows elides half a million cells.
        m_fmNormale.emplace(m_normale, &m_printer);
        m_fmGrassetto.emplace(m_grassetto, &m_printer);
        // Company, month/year and period first: in a run of many groups the same account
        // comes once per company and month.
        m_colonne = {0.0, 0.07, 0.14, 0.19, 0.28, 0.56, 0.66, 0.93, 1.0};
    }

    int esegui(QPainter* p)
    {
        m_p = p;
        m_pagina = 1;
        intestazione();
        if (std::any_of(m_voci.begin(), m_voci.end(), [](const VoceStampa& v) { return v.tipo == VoceStampa::Anomalia; }))
            legenda();
        bool segue = false;  // a company's rows go on after a page break
        QString ditta;
        int alternata = 0;
        for (const VoceStampa& v : m_voci) {
            switch (v.tipo) {
            case VoceStampa::Ditta:
                if (m_y + mm(3) + altezzaDitta() + m_riga * 2 > fondo()) nuovaPagina();
                m_y += mm(3);
                disegnaDitta(v.testo);
                ditta = v.testo;
                segue = false;
                alternata = 0;
                break;
            case VoceStampa::Anomalia:
                if (m_y + m_riga > fondo()) {
                    nuovaPagina();
                    segue = true;
                }
                if (segue) {
                    disegnaDitta(ditta + QStringLiteral("  (segue)"));
                    segue = false;
                }
                disegnaRiga(v, alternata++ % 2 == 1);
                break;
            case VoceStampa::Riepilogo:
            case VoceStampa::Nessuna:
                if (m_y + mm(6) + m_riga > fondo()) nuovaPagina();
                m_y += mm(4);
                disegnaNota(v.testo, v.tipo == VoceStampa::Riepilogo);
                break;
            }
        }
        piede();
        return m_pagina;
    }

    void setTotalePagine(int n) { m_totale = n; }

private:
    double mm(double v) const { return v * m_dpi / 25.4; }
    double fondo() const { return m_h - mm(10); }
    double altezzaDitta() const { return QFontMetricsF(m_grassetto, &m_printer).height() * 1.6; }
    double x(int colonna) const { return m_w * m_colonne[size_t(colonna)]; }

    void nuovaPagina()
    {
        piede();
        if (m_p) m_printer.newPage();
        ++m_pagina;
        intestazione();
    }

    void intestazione()
    {
        const QFontMetricsF ft(m_titolo, &m_printer), fn(m_normale, &m_printer);
        if (m_p) {
            m_p->setPen(Qt::black);
            m_p->setFont(m_titolo);
            m_p->drawText(QRectF(0, 0, m_w, ft.height()), Qt::AlignLeft | Qt::AlignVCenter, kTitolo);
            m_p->setFont(m_normale);
            m_p->drawText(QRectF(0, 0, m_w, ft.height()), Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("Data di stampa: ") + m_data);
            if (!m_sottotitolo.isEmpty())
                m_p->drawText(QRectF(0, ft.height() + mm(1), m_w, fn.height()), Qt::AlignLeft | Qt::AlignVCenter,
                              fn.elidedText(m_sottotitolo, Qt::ElideRight, m_w));
        }
        m_y = ft.height() + mm(1) + fn.height() + mm(2);
        if (m_p) {
            m_p->setPen(QPen(Qt::black, mm(0.4)));
            m_p->drawLine(QPointF(0, m_y), QPointF(m_w, m_y));
        }
        m_y += mm(2);
    }

    void piede()
    {
        if (!m_p) return;
        const QFontMetricsF fp(m_piccolo, &m_printer);
        const double y = m_h - fp.height();
        m_p->setPen(QPen(Qt::black, mm(0.2)));
        m_p->drawLine(QPointF(0, y - mm(1.5)), QPointF(m_w, y - mm(1.5)));
        m_p->setFont(m_piccolo);
        m_p->drawText(QRectF(0, y, m_w, fp.height()), Qt::AlignLeft | Qt::AlignVCenter, kTitolo);
        m_p->drawText(QRectF(0, y, m_w, fp.height()), Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("Pagina %1 di %2").arg(m_pagina).arg(m_totale));
    }

    // What the two kinds of rows mean, once, on the first page.
    void legenda()
    {
        const QString righe[] = {
            QStringLiteral("REGISTRATO: il valore è stato importato; il conto è nuovo o non ha correlazioni e va verificato."),
            QStringLiteral("SCARTATO: il conto non esiste nel piano dei conti; il valore non è stato importato."),
        };
        const QFontMetricsF fp(m_piccolo, &m_printer);
        for (const QString& r : righe) {
            const QRectF box = fp.boundingRect(QRectF(0, 0, m_w, m_h), Qt::TextWordWrap, r);
            if (m_p) {
                m_p->setFont(m_piccolo);
                m_p->setPen(Qt::black);
                m_p->drawText(QRectF(0, m_y, m_w, box.height()), Qt::TextWordWrap, r);
            }
            m_y += box.height() + mm(0.5);
        }
        m_y += mm(1);
    }

    void disegnaDitta(const QString& titolo)
    {
        const double h = altezzaDitta();
        if (m_p) {
            const QFontMetricsF fg(m_grassetto, &m_printer);
            m_p->setFont(m_grassetto);
            m_p->setPen(Qt::black);
            m_p->drawText(QRectF(0, m_y, m_w, h), Qt::AlignLeft | Qt::AlignVCenter,
                          fg.elidedText(titolo, Qt::ElideRight, m_w));
        }
        m_y += h;
        // Column headings under every company heading.
        if (m_p) {
            m_p->fillRect(QRectF(0, m_y, m_w, m_riga), QColor(225, 225, 225));
            m_p->setFont(m_testata);
            const QString nomi[] = {QStringLiteral("Ditta"), QStringLiteral("Mese/Anno"), QStringLiteral("Periodo"),
                                    QStringLiteral("Conto"), QStringLiteral("Descrizione conto"), QStringLiteral("Esito"),
                                    QStringLiteral("Motivo"), QStringLiteral("Sezione")};
            for (int c = 0; c < kColonne; ++c)
                m_p->drawText(QRectF(x(c) + mm(1), m_y, x(c + 1) - x(c) - mm(2), m_riga), Qt::AlignLeft | Qt::AlignVCenter,
                              nomi[c]);
        }
        m_y += m_riga;
    }

    void disegnaRiga(const VoceStampa& v, bool ombra)
    {
        if (m_p) {
            if (ombra) m_p->fillRect(QRectF(0, m_y, m_w, m_riga), QColor(244, 244, 244));
            const QString celle[] = {v.ditta, v.meseAnno, v.periodo, v.conto, v.descrizione, v.esito, v.motivo, v.sezione};
            for (int c = 0; c < kColonne; ++c) {
                // The dropped values stand out in bold.
                const bool grassetto = c == 5 && v.scartato;
                const QFont& f = grassetto ? m_grassetto : m_normale;
                const QFontMetricsF& fm = grassetto ? *m_fmGrassetto : *m_fmNormale;
                const double w = x(c + 1) - x(c) - mm(2);
                m_p->setFont(f);
                m_p->setPen(Qt::black);
                m_p->drawText(QRectF(x(c) + mm(1), m_y, w, m_riga), Qt::AlignLeft | Qt::AlignVCenter,
                              fm.elidedText(celle[c], Qt::ElideRight, w));
            }
        }
        m_y += m_riga;
    }

    void disegnaNota(const QString& nota, bool riepilogo)
    {
        if (m_p) {
            if (riepilogo) {
                m_p->setPen(QPen(Qt::black, mm(0.2)));
                m_p->drawLine(QPointF(0, m_y), QPointF(m_w, m_y));
            }
            m_p->setFont(riepilogo ? m_grassetto : m_normale);
            m_p->setPen(Qt::black);
            m_p->drawText(QRectF(0, m_y + mm(1), m_w, m_riga), Qt::AlignLeft | Qt::AlignVCenter, nota);
        }
        m_y += m_riga + mm(1);
    }

    QPrinter& m_printer;
    const QList<VoceStampa>& m_voci;
    QString m_sottotitolo;
    QPainter* m_p = nullptr;
    int m_dpi = 72;
    double m_w = 0, m_h = 0, m_y = 0, m_riga = 0;
    int m_pagina = 1, m_totale = 1;
    std::vector<double> m_colonne;
    QFont m_normale, m_grassetto, m_piccolo, m_testata, m_titolo;
    std::optional<QFontMetricsF> m_fmNormale, m_fmGrassetto;
    QString m_data;
};

void prepara(QPrinter& printer)
{
    printer.setDocName(kTitolo);
    printer.setCreator(QStringLiteral("Importazione valori PDC"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
}

// The company line under the title: the one company, or how many there are.
QString sottotitolo(const QList<VoceStampa>& voci)
{
    QStringList ditte;
    for (const VoceStampa& v : voci)
        if (v.tipo == VoceStampa::Ditta && !ditte.contains(v.testo)) ditte << v.testo;
    if (ditte.size() == 1) return ditte.first();
    if (ditte.size() > 1) return QStringLiteral("Ditte interessate: %1").arg(ditte.size());
    return QString();
}

int stampa(QPrinter& printer, const QList<VoceStampa>& voci)
{
    Impaginazione pagine(printer, voci, sottotitolo(voci));
    const int totale = pagine.esegui(nullptr);
    pagine.setTotalePagine(totale);
    QPainter p;
    if (!p.begin(&printer)) return 0;
    const int fatte = pagine.esegui(&p);
    p.end();
    return fatte;
}

}  // namespace

QList<VoceStampa> AnomalyReport::Voci(const TabellaAnomalie& table, qint32 maxRow)
{
    QList<VoceStampa> voci;
    QString dittaCorrente;
    bool primo = true;
    int registrati = 0, scartati = 0;
    const int ultima = qMin<int>(maxRow, int(table.size()));
    for (int i = 0; i < ultima; ++i) {
        const RigaAnomalia& r = table[i];
        if (rigaVuota(r)) continue;

        QString ditta = testo(r[0]);
        const QString nome = testo(r[1]), numero = testo(r[2]);
        if (!nome.isEmpty()) ditta += (ditta.isEmpty() ? QString() : QStringLiteral(" - ")) + nome;
        if (!numero.isEmpty() && numero != QLatin1String("0"))
            ditta += QStringLiteral("   (ditta n. %1 nel sistema di origine)").arg(numero);
        if (ditta.isEmpty()) ditta = QStringLiteral("Ditta non indicata");
        if (primo || ditta != dittaCorrente) {
            voci.append(nota(VoceStampa::Ditta, QStringLiteral("Ditta ") + ditta));
            dittaCorrente = ditta;
            primo = false;
        }

        VoceStampa v;
        v.ditta = testo(r[0]);
        const QString anno = testo(r[9]), mese = testo(r[10]), periodo = testo(r[11]);
        if (!anno.isEmpty() && !mese.isEmpty()) v.meseAnno = mese + QLatin1Char('/') + anno;
        if (!periodo.isEmpty() && periodo != QLatin1String("0")) v.periodo = periodo;
        v.conto = testo(r[3]);
        v.descrizione = testo(r[4]);
        v.scartato = vero(r[6]);
        const QString nota = testo(r[8]);
        if (v.scartato) {
            // A row with a note of its own says why; otherwise the account was missing.
            v.esito = QStringLiteral("SCARTATO");
            if (nota.isEmpty()) v.motivo = QStringLiteral("conto inesistente");
            ++scartati;
        } else if (vero(r[5])) {
            v.esito = QStringLiteral("REGISTRATO");
            v.motivo = QStringLiteral("conto nuovo o senza correlazioni");
            ++registrati;
        } else {
            v.esito = QStringLiteral("Da verificare");
        }
        if (!nota.isEmpty()) v.motivo += (v.motivo.isEmpty() ? QString() : QStringLiteral(" - ")) + nota;
        v.sezione = vero(r[7]) ? QStringLiteral("presente") : QStringLiteral("mancante");
        voci.append(v);
    }

    const int righe = registrati + scartati;
    if (voci.isEmpty()) {
        voci.append(nota(VoceStampa::Nessuna, QStringLiteral("Nessuna anomalia rilevata durante l'importazione.")));
    } else {
        int tutte = 0;
        for (const VoceStampa& v : voci) tutte += v.tipo == VoceStampa::Anomalia;
        QString r = QStringLiteral("Totale anomalie: %1   -   valori registrati da verificare: %2   -   valori scartati: %3")
                        .arg(tutte)
                        .arg(registrati)
                        .arg(scartati);
        if (tutte != righe) r += QStringLiteral("   -   altre: %1").arg(tutte - righe);
        voci.append(nota(VoceStampa::Riepilogo, r));
    }
    return voci;
}

bool AnomalyReport::Stampa(TabellaAnomalie& table, qint32& maxRow, bool& anteprima)
{
    const QList<VoceStampa> voci = Voci(table, maxRow);
    m_pagine = 0;
    QPrinter printer(QPrinter::HighResolution);
    prepara(printer);

    const QString pdf = m_contesto ? m_contesto->pdfFile() : QString();
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        m_pagine = stampa(printer, voci);
        return m_pagine > 0;
    }
    if (!anteprima) {
        if (!printer.isValid()) return false;
        m_pagine = stampa(printer, voci);
        return m_pagine > 0;
    }
    if (!m_contesto || !m_contesto->dialogs()) return false;
    m_contesto->dialogs()->Anteprima(printer, kTitolo, [this, &voci](QPrinter* p) { m_pagine = stampa(*p, voci); });
    return true;
}
