#include "platform/ui/Dialogs.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

int QtDialogs::MsgBox(const QString& prompt, int flags, const QString& title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    switch (flags & 0x70) {
    case vb::vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vb::vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vb::vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vb::vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // A box narrower than its title has the title cut ("Import... a kadro"): room for all of it.
    if (auto* griglia = qobject_cast<QGridLayout*>(box.layout()))
        griglia->addItem(new QSpacerItem(box.fontMetrics().horizontalAdvance(title) + 120, 0, QSizePolicy::Minimum,
                                         QSizePolicy::Fixed),
                         griglia->rowCount(), 0, 1, griglia->columnCount());
    // Italian captions with their accelerators, whether Qt's translations are there or not.
    if ((flags & 0x0F) == vb::vbYesNo) {
        auto* yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        auto* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton((flags & vb::vbDefaultButton2) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? vb::vbYes : vb::vbNo;
    }
    box.addButton(QStringLiteral("&OK"), QMessageBox::AcceptRole);
    box.exec();
    return vb::vbOK;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    QInputDialog dlg(m_parent);
    dlg.setWindowTitle(title);
    dlg.setLabelText(prompt);
    dlg.setTextValue(defaultAnswer);
    dlg.setOkButtonText(QStringLiteral("&OK"));
    dlg.setCancelButtonText(QStringLiteral("&Annulla"));
    return dlg.exec() == QDialog::Accepted ? dlg.textValue() : QString();
}

namespace {
// The platform's filters come as "Name|*.ext|Name|*.*"; the dialog wants "Name (*.ext);;...".
QString filtriDialogo(const QString& filter)
{
    const QStringList parti = filter.split(QLatin1Char('|'));
    QStringList filtri;
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2) filtri << parti[i] + QStringLiteral(" (") + parti[i + 1] + QLatin1Char(')');
    return filtri.isEmpty() ? filter : filtri.join(QStringLiteral(";;"));
}

// Qt's own dialog opens narrow and cuts long file names: room for whole names, and for the
// size, type and date beside them.
QStringList scegliFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder,
                       QFileDialog::FileMode modo, QFileDialog::AcceptMode accetta = QFileDialog::AcceptOpen)
{
    QFileDialog dialogo(parent, title, folder, filtriDialogo(filter));
    dialogo.setAcceptMode(accetta);
    dialogo.setFileMode(modo);
    dialogo.setViewMode(QFileDialog::Detail);
    int larghezza = QtDialogs::LarghezzaDialogoFile;
    if (auto* vista = dialogo.findChild<QTreeView*>()) {
        const QFontMetrics fm(vista->font());
        QHeaderView* colonne = vista->header();
        colonne->resizeSection(0, qMax(colonne->sectionSize(0), QtDialogs::LarghezzaNomeFile));
        colonne->resizeSection(1, fm.horizontalAdvance(QStringLiteral("999,9 KiB")) + 30);
        colonne->resizeSection(2, fm.horizontalAdvance(QStringLiteral("Documento XML")) + 30);
        colonne->resizeSection(3, fm.horizontalAdvance(QStringLiteral("07/12/2026 10:30")) + 30);
        int colonneTotale = 0;
        for (int c = 0; c < 4; ++c) colonneTotale += colonne->sectionSize(c);
        larghezza = qMax(larghezza, colonneTotale + 260);  // the places on the left, margins and scroll bar
    }
    if (auto* divisore = dialogo.findChild<QSplitter*>()) divisore->setSizes({160, larghezza - 160});
    dialogo.resize(dialogo.size().expandedTo(QSize(larghezza, 520)));
    return dialogo.exec() == QDialog::Accepted ? dialogo.selectedFiles() : QStringList();
}
}  // namespace

QStringList Dialogs::OpenFiles(const QString& title, const QString& filter, const QString& folder)
{
    QStringList out;
    for (const QString& f : OpenFile(title, filter, folder).split(QLatin1Char('\n')))
        if (!f.trimmed().isEmpty()) out << f;
    return out;
}

QString QtDialogs::InputLetto(const QString& prompt, const QString& title, const QString& defaultAnswer,
                              const Lettura& lettura)
{
    QDialog dlg(m_parent);
    dlg.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dlg);
    auto* domanda = new QLabel(prompt, &dlg);
    domanda->setWordWrap(true);
    auto* testo = new QLineEdit(defaultAnswer, &dlg);
    auto* letto = new QLabel(&dlg);
    letto->setObjectName(QStringLiteral("lblLetto"));
    auto* bottoni = new QDialogButtonBox(&dlg);
    bottoni->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    bottoni->addButton(QStringLiteral("&Annulla"), QDialogButtonBox::RejectRole);
    layout->addWidget(domanda);
    layout->addWidget(testo);
    layout->addWidget(letto);
    layout->addWidget(bottoni);
    const auto aggiorna = [&] { letto->setText(lettura ? lettura(testo->text()) : QString()); };
    QObject::connect(testo, &QLineEdit::textChanged, &dlg, aggiorna);
    QObject::connect(bottoni, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(bottoni, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    aggiorna();
    testo->selectAll();
    dlg.setMinimumWidth(420);
    return dlg.exec() == QDialog::Accepted ? testo->text() : QString();
}

QString QtDialogs::OpenFile(const QString& title, const QString& filter, const QString& folder)
{
    const QStringList scelti = scegliFile(m_parent, title, filter, folder, QFileDialog::ExistingFile);
    return scelti.isEmpty() ? QString() : scelti.first();
}

QStringList QtDialogs::OpenFiles(const QString& title, const QString& filter, const QString& folder)
{
    return scegliFile(m_parent, title, filter, folder, QFileDialog::ExistingFiles);
}

QString QtDialogs::SaveFile(const QString& title, const QString& filter, const QString& proposta)
{
    const QStringList scelti = scegliFile(m_parent, title, filter, proposta, QFileDialog::AnyFile, QFileDialog::AcceptSave);
    return scelti.isEmpty() ? QString() : scelti.first();
}

void QtDialogs::Anteprima(QPrinter& stampante, const QString& title, const Disegno& disegna)
{
    QPrintPreviewDialog dialogo(&stampante, m_parent);
    dialogo.setWindowTitle(title);
    QObject::connect(&dialogo, &QPrintPreviewDialog::paintRequested, &dialogo, disegna);
    dialogo.exec();
}

void QtDialogs::Mostra(QDialog& finestra) { finestra.exec(); }
