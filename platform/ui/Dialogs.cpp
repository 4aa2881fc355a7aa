#include "platform/ui/Dialogs.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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
    if ((flags & 0x0F) == vb::vbYesNo) {
        auto* yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
        auto* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton((flags & vb::vbDefaultButton2) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? vb::vbYes : vb::vbNo;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return vb::vbOK;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    QInputDialog dlg(m_parent);
    dlg.setWindowTitle(title);
    dlg.setLabelText(prompt);
    dlg.setTextValue(defaultAnswer);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Annulla"));
    return dlg.exec() == QDialog::Accepted ? dlg.textValue() : QString();
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
    bottoni->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    bottoni->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
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
    // The platform's filters come as "Name|*.ext|Name|*.*"; the dialog wants "Name (*.ext);;...".
    const QStringList parti = filter.split(QLatin1Char('|'));
    QStringList filtri;
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2) filtri << parti[i] + QStringLiteral(" (") + parti[i + 1] + QLatin1Char(')');
    return QFileDialog::getOpenFileName(m_parent, title, folder, filtri.isEmpty() ? filter : filtri.join(QStringLiteral(";;")));
}
