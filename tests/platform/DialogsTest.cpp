#include "platform/ui/Dialogs.h"
#include "platform/ui/Traduzioni.h"
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

TEST(Dialogs, TheFileDialogIsItalianAndWideEnoughForWholeNames)
{
    ASSERT_TRUE(installaTraduzioniQt()) << "Qt's Italian translations are not installed";
    QTemporaryDir cartella;
    QString testi;
    int larghezza = 0, colonnaNome = 0;
    QTimer::singleShot(0, [&] {
        auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialogo) return;
        testi = dialogo->labelText(QFileDialog::Accept) + QLatin1Char('|') + dialogo->labelText(QFileDialog::Reject) +
                QLatin1Char('|') + dialogo->labelText(QFileDialog::LookIn);
        larghezza = dialogo->width();
        if (auto* vista = dialogo->findChild<QTreeView*>()) colonnaNome = vista->header()->sectionSize(0);
        dialogo->reject();
    });
    QtDialogs dialoghi;
    EXPECT_EQ(dialoghi.OpenFile(QStringLiteral("Selezionare il file XBRL da importare"), QStringLiteral("File XBRL|*.xbrl"),
                                cartella.path()),
              QString());
    EXPECT_EQ(testi, QStringLiteral("&Apri|Annulla|Cerca in:"));
    EXPECT_GE(larghezza, QtDialogs::LarghezzaDialogoFile);
    // "03072020211-31122021-20220530205759.xbrl", the longest name of the real filings, fits.
    EXPECT_GE(colonnaNome, QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("03072020211-31122021-20220530205759.xbrl")) + 40);
}

// Yes and No in Italian, with or without Qt's translations, and No the default.
TEST(Dialogs, QuestionsAreAskedInItalianWithNoAsTheDefault)
{
    QString predefinito;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        predefinito = box->defaultButton()->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("&Sì")) b->click();
    });
    EXPECT_EQ(QtDialogs().MsgBox(QStringLiteral("Interrompere?"), vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                 QStringLiteral("KTR")),
              vb::vbYes);
    EXPECT_EQ(predefinito, QStringLiteral("&No"));
}
