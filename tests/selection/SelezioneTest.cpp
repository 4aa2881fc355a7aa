#include "ScreenFixture.h"
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>

namespace {
QStringList entries(const ListControl* l)
{
    QStringList out;
    for (int i = 0; i < l->ListCount(); ++i) out << l->List(i);
    return out;
}
void press(QObject* target, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}
}  // namespace

class Selezione : public ScreenFixture {
protected:
    void pick(ListControl* l, const char* text) { l->choose(l->findText(QString::fromUtf8(text))); }
    // Values stored for a company, each {year, month, period}.
    void values(const char* ditta, std::initializer_list<std::tuple<const char*, int, int>> righe)
    {
        for (auto [anno, mese, periodo] : righe)
            rowsOf(conn(), "INSERT INTO QD07_VALORIPDC (QD07_CODICEDITTA_QD05, QD07_CODICECONTO, QD07_ANNO, QD07_MESE, QD07_NPERIODO) "
                           "VALUES (?, ?, ?, ?, ?)", {ditta, "1010", anno, mese, periodo});
    }
    void period(const char* ditta, int mese, int periodo, const char* descrizione, double cambio = 1)
    {
        rowsOf(conn(), "INSERT INTO QD21_PERVALUTA (QD21_CODICEDITTA_QD05, QD21_ANNO, QD21_MESE, QD21_NPERIODO, QD21_DESCRIZIONE, "
                       "QD21_CAMBIO) VALUES (?, ?, ?, ?, ?, ?)", {ditta, "2024", mese, periodo, QString::fromUtf8(descrizione), cambio});
    }
    bool ok() const { return screen->DS1->isToolEnabled(QStringLiteral("tbOK")); }
};

TEST_F(Selezione, NewModeOffersTheNextFreePeriodOnly)
{
    screen->ClickNew();
    EXPECT_EQ(screen->cmbDitte->ListCount(), 7);
    EXPECT_TRUE(screen->cmbDitte->text().isEmpty());
    pick(screen->cmbDitte, "Rossi & Figli S.r.l.");
    EXPECT_EQ(screen->m_CodiceDitta, QStringLiteral("R001"));
    EXPECT_FALSE(ok());

    screen->cmbAnni->setText(QStringLiteral("2024"));
    pick(screen->cmbMesi, "Marzo");
    EXPECT_EQ(screen->txtCambio->text(), QStringLiteral("1"));
    EXPECT_EQ(entries(screen->cmbPeriodo), QStringList{QStringLiteral("1")});
    EXPECT_EQ(screen->m_Periodo, 1);
    EXPECT_TRUE(ok());

    values("R001", {{"2024", 3, 1}, {"2024", 3, 2}, {"2024", 4, 7}});
    period("R001", 3, 3, "Rettifica");
    pick(screen->cmbMesi, "Marzo");
    EXPECT_EQ(entries(screen->cmbPeriodo), QStringList{QStringLiteral("3")});
    EXPECT_TRUE(screen->cmbPeriodo->locked());
    EXPECT_EQ(screen->lblDescRif->text(), QStringLiteral("Rettifica"));
}

TEST_F(Selezione, OpenModeOffersOnlyStoredValues)
{
    values("R001", {{"2023", 12, 1}, {"2024", 3, 1}, {"2024", 6, 1}});
    period("R001", 3, 1, "Primo trimestre");
    period("R001", 6, 1, "Semestre");
    period("R001", 6, 2, "Semestre rettificato");

    screen->ClickOpen();
    pick(screen->cmbDitte, "Rossi & Figli S.r.l.");
    EXPECT_EQ(entries(screen->cmbAnni), (QStringList{QStringLiteral("2023"), QStringLiteral("2024")}));
    pick(screen->cmbAnni, "2024");
    EXPECT_EQ(entries(screen->cmbMesi), (QStringList{QStringLiteral("Marzo"), QStringLiteral("Giugno")}));

    pick(screen->cmbMesi, "Marzo");  // one period: chosen at once
    EXPECT_EQ(entries(screen->cmbPeriodo), (QStringList{QString(), QStringLiteral("1")}));
    EXPECT_EQ(screen->m_Periodo, 1);
    EXPECT_TRUE(ok());
    EXPECT_EQ(screen->lblDescRif->text(), QStringLiteral("Primo trimestre"));

    pick(screen->cmbMesi, "Giugno");  // two: the empty entry stays current
    EXPECT_EQ(screen->cmbPeriodo->ListCount(), 3);
    EXPECT_EQ(screen->m_Periodo, 0);
    pick(screen->cmbPeriodo, "2");
    EXPECT_EQ(screen->lblDescRif->text(), QStringLiteral("Semestre rettificato"));

    // Another month, year or company, or a fresh form: the description goes with its period,
    // and Save says what is missing.
    pick(screen->cmbMesi, "Marzo");
    EXPECT_EQ(screen->lblDescRif->text(), QStringLiteral("Primo trimestre"));
    pick(screen->cmbMesi, "Giugno");
    EXPECT_EQ(screen->lblDescRif->text(), QString());
    EXPECT_FALSE(ok());
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_S, 2));
    pick(screen->cmbPeriodo, "1");
    pick(screen->cmbAnni, "2023");
    EXPECT_TRUE(screen->lblDescRif->text().isEmpty() && screen->cmbPeriodo->text().isEmpty());
    screen->ClickOk();
    EXPECT_EQ(dialogs.shown().size(), 2);
    screen->ClickNew();
    EXPECT_TRUE(screen->HandleHotkey(Qt::Key_S, 2));
    const QString t = screen->captionTitle() + ": ";
    EXPECT_EQ(box(), (QStringList{t + "Scegliere il periodo", t + "Scegliere il mese", t + "Scegliere la ditta"}));
    EXPECT_EQ(screen->lblDescRif->text(), QString());
}

TEST_F(Selezione, CompanyChoiceSetsTheCurrencyAndRate)
{
    screen->ClickNew();
    pick(screen->cmbDitte, "Rossi & Figli S.r.l.");
    pick(screen->cmbDitte, "Müller Präzision GmbH");
    EXPECT_EQ(box(), QStringList{screen->captionTitle() + ": Nessun file di definizione \r\nassociato alla ditta"});
    EXPECT_EQ(dialogs.shown().value(0).flags, vb::vbExclamation);
    EXPECT_EQ(screen->cmbMesi->ListCount(), 0);
    EXPECT_EQ(screen->cmbValuta->text(), QStringLiteral("CHF"));

    pick(screen->cmbDitte, "L'Àncora Società Cooperativa");  // null currency
    EXPECT_EQ(screen->cmbValuta->text(), QStringLiteral("EUR"));
    EXPECT_FALSE(screen->txtCambio->isEnabled());
    EXPECT_TRUE(screen->cmdGetRate->isHidden() && screen->cmdEditCambio->isHidden());

    pick(screen->cmbDitte, "Caffè dell'Università S.p.A.");
    screen->cmbAnni->setText(QStringLiteral("2025"));
    pick(screen->cmbMesi, "Dicembre");
    EXPECT_EQ(screen->txtCambio->text(), QStringLiteral("1,1708"));
    EXPECT_DOUBLE_EQ(screen->m_Cambio, 1.1708);
    EXPECT_TRUE(screen->txtCambio->isEnabled() && !screen->cmdGetRate->isHidden());
    screen->txtCambio->setText(QStringLiteral("uno"));
    EXPECT_EQ(screen->m_Cambio, 0);
}

TEST_F(Selezione, RateOfThePeriodComesBeforeTheMonthRate)
{
    screen->m_Valuta = QStringLiteral("USD");
    EXPECT_DOUBLE_EQ(screen->CambioPeriodo(QStringLiteral("C003"), QStringLiteral("2024"), QStringLiteral("3")), 0);
    conn().Esegui(QStringLiteral("INSERT INTO QD41_CAMBI VALUES (?, 3, ?, ?, 1.1)"), {"2024", "USD", "EUR"});
    EXPECT_DOUBLE_EQ(screen->CambioPeriodo(QStringLiteral("C003"), QStringLiteral("2024"), QStringLiteral("3")), 1.1);
    period("C003", 3, 4, "", 1.2);  // whatever its period number
    EXPECT_DOUBLE_EQ(screen->CambioPeriodo(QStringLiteral("C003"), QStringLiteral("2024"), QStringLiteral("3")), 1.2);
}

TEST_F(Selezione, EditCambioAsksOnlyInOpenMode)
{
    screen->ClickNew();
    screen->cmdEditCambio_Click();
    EXPECT_TRUE(dialogs.shown().isEmpty());

    screen->ClickOpen();
    pick(screen->cmbValuta, "USD");
    screen->txtCambio->setEnabled(false);
    dialogs.answerMessage(vb::vbNo).answerMessage(vb::vbYes);
    screen->cmdEditCambio->click();
    EXPECT_FALSE(screen->m_CambioModificato || screen->txtCambio->isEnabled());
    screen->cmdEditCambio->click();
    EXPECT_TRUE(screen->m_CambioModificato && screen->txtCambio->isEnabled());
    EXPECT_EQ(dialogs.shown()[0].flags, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);

    pick(screen->cmbDitte, "Rossi & Figli S.r.l.");
    EXPECT_FALSE(screen->m_CambioModificato);
}

TEST_F(Selezione, EnterSavesAndEscapeCancels)
{
    screen->ClickNew();
    pick(screen->cmbDitte, "Caffè dell'Università S.p.A.");
    QLineEdit* anno = screen->cmbAnni->lineEdit();
    QTest::keyClicks(anno, QStringLiteral("2a0-2 4.5"));  // the year takes four digits, nothing else
    EXPECT_EQ(screen->cmbAnni->text(), QStringLiteral("2024"));
    press(anno, Qt::Key_Return);  // no month yet: nothing, and no entry added
    EXPECT_EQ(screen->cmbAnni->ListCount(), 0);
    EXPECT_TRUE(dialogs.shown().isEmpty());

    // With company, year and month, Enter saves (the save then refuses a foreign currency
    // without a rate).
    pick(screen->cmbMesi, "Marzo");
    screen->txtCambio->clear();
    press(screen->cmbMesi, Qt::Key_Enter);
    EXPECT_EQ(box(), QStringList{screen->captionTitle() + ": Cambio non specificato"});

    press(anno, Qt::Key_Escape);
    EXPECT_TRUE(screen->fraSelectPeriodo->isHidden());
    EXPECT_FALSE(screen->DS1->isToolEnabled(QStringLiteral("tbCancel")));
}
