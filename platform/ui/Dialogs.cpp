#include "platform/ui/Dialogs.h"
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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

namespace {
// The platform's filters come as "Name|*.ext|Name|*.*"; the dialog wants "Name (*.ext);;...".
QString filtriDialogo(const QString& filter)
{
    const QStringList parti = filter.split(QLatin1Char('|'));
    QStringList filtri;
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2) filtri << parti[i] + QStringLiteral(" (") + parti[i + 1] + QLatin1Char(')');
    return filtri.isEmpty() ? filter : filtri.join(QStringLiteral(";;"));
}
}  // namespace

QStringList Dialogs::OpenFiles(const QString& title, const QString& filter, const QString& folder)
{
    QStringList out;
    for (const QString& f : OpenFile(title, filter, folder).split(QLatin1Char('\n')))
        if (!f.trimmed().isEmpty()) out << f;
    return out;
}

QString QtDialogs::OpenFile(const QString& title, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileName(m_parent, title, folder, filtriDialogo(filter));
}

QStringList QtDialogs::OpenFiles(const QString& title, const QString& filter, const QString& folder)
{
    return QFileDialog::getOpenFileNames(m_parent, title, folder, filtriDialogo(filter));
}
