#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <array>

class CGlobal;
class QWidget;

// One row of the anomaly table: 9 columns (company code, company name, source company
// number, account, description, posted-but-noteworthy, dropped, section known, empty).
using RigaAnomalia = std::array<QVariant, 9>;
using TabellaAnomalie = QList<RigaAnomalia>;

// Context the report library receives before printing.
class ContestoStampa {
public:
    void setCGlobal(CGlobal* global) { m_global = global; }
    CGlobal* cglobal() const { return m_global; }
    // Window the preview is shown over; none in batch runs.
    void setParentWidget(QWidget* w) { m_parent = w; }
    QWidget* parentWidget() const { return m_parent; }
    // When set, the print writes this PDF file instead of showing the preview.
    void setPdfFile(const QString& path) { m_pdf = path; }
    const QString& pdfFile() const { return m_pdf; }

private:
    CGlobal* m_global = nullptr;
    QWidget* m_parent = nullptr;
    QString m_pdf;
};

// The anomaly print object of the report library.
class AnomalyReport {
public:
    void setContesto(ContestoStampa* contesto) { m_contesto = contesto; }
    // Prints (preview, print or PDF) rows 0 to maxRow of the table.
    bool Stampa(TabellaAnomalie& table, qint16& maxRow, bool& flag);

private:
    ContestoStampa* m_contesto = nullptr;
};
