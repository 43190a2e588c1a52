#include "Wizards/graphwizard.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>
#include <QWizardPage>

#include <memory>

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void graphWizardOpensOnInformationPage();
    void graphWizardFinishKeepsItOpenAndUnchanged();
    void graphWizardCancelAndEscapeHideIt_data();
    void graphWizardCancelAndEscapeHideIt();
};

void TestCommands::graphWizardOpensOnInformationPage()
{
    GraphWizard wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));

    QCOMPARE(wizard.windowTitle(), QStringLiteral("Graph Wizard"));
    QCOMPARE(wizard.wizardStyle(), QWizard::ModernStyle);
    QCOMPARE(wizard.pageIds(), QList<int>({0, 1}));
    QCOMPARE(wizard.currentId(), 0);

    QWizardPage *info = wizard.page(0);
    QCOMPARE(info->metaObject()->className(), "GraphInfoPage");
    QCOMPARE(info->title(), QStringLiteral("Graph Information"));
    QCOMPARE(info->subTitle(), QStringLiteral("Specify a new graph to add for visualizing device data"));
    const QPixmap logo = info->pixmap(QWizard::LogoPixmap);
    QVERIFY(!logo.isNull());
    QCOMPARE(logo.size(), QSize(700, 700));
    QVERIFY(logo.hasAlphaChannel());

    // The second page is blank, and has no meta-object of its own.
    QWizardPage *link = wizard.page(1);
    QCOMPARE(link->metaObject(), &QWizardPage::staticMetaObject);
    QVERIFY(link->title().isEmpty());
    QVERIFY(link->subTitle().isEmpty());
    QVERIFY(link->findChildren<QWidget *>().isEmpty());
}

void TestCommands::graphWizardFinishKeepsItOpenAndUnchanged()
{
    GraphWizard wizard;
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QSignalSpy accepted(&wizard, &QDialog::accepted);
    QSignalSpy finished(&wizard, &QDialog::finished);

    wizard.button(QWizard::NextButton)->click();
    QCOMPARE(wizard.currentId(), 1);
    QAbstractButton *finish = wizard.button(QWizard::FinishButton);
    QVERIFY(finish->isVisible());
    finish->click();
    finish->click();

    QVERIFY(wizard.isVisible());
    QCOMPARE(wizard.currentId(), 1);
    QCOMPARE(wizard.result(), 0);
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(finished.count(), 0);

    wizard.button(QWizard::BackButton)->click();
    QCOMPARE(wizard.currentId(), 0);
}

void TestCommands::graphWizardCancelAndEscapeHideIt_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("cancel button") << false;
    QTest::newRow("escape key") << true;
}

void TestCommands::graphWizardCancelAndEscapeHideIt()
{
    QFETCH(bool, byEscape);
    auto wizard = std::make_unique<GraphWizard>();
    QPointer<GraphWizard> alive(wizard.get());
    wizard->show();
    QVERIFY(QTest::qWaitForWindowExposed(wizard.get()));
    QSignalSpy rejected(wizard.get(), &QDialog::rejected);

    if (byEscape)
        QTest::keyClick(wizard.get(), Qt::Key_Escape);
    else
        wizard->button(QWizard::CancelButton)->click();

    QVERIFY(!wizard->isVisible());
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(wizard->result(), int(QDialog::Rejected));
    QCoreApplication::processEvents();
    QVERIFY(alive); // hidden, not destroyed
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
