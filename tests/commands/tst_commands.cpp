#include "Widgets/camerawidget.h"
#include "Wizards/camerawizard.h"
#include "Wizards/graphwizard.h"
#include "mainwindow.h"
#include "workspacesupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <QWizardPage>

#include <DockAreaWidget.h>
#include <DockManager.h>
#include <DockWidget.h>
#include <pylon/EmulationControl.h>
#include <spdlog/spdlog.h>

#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace WorkspaceSupport;

namespace {

template <typename Wizard> QList<Wizard *> openedWizards()
{
    QList<Wizard *> wizards;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *wizard = qobject_cast<Wizard *>(widget))
            wizards << wizard;
    }
    return wizards;
}

QList<GraphWizard *> graphWizards()
{
    return openedWizards<GraphWizard>();
}

// Answers the next modal file dialog from the event loop it runs.
void answerFileDialog(const std::function<void(QFileDialog *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void connectedActionsHaveTheirShortcutsOnly();
    void openProjectCancelledLogsOnlyItsLine();
    void openProjectReadsTheChosenFile_data();
    void openProjectReadsTheChosenFile();
    void modifiedMarkFollowsCommands();
    void saveShortcutWorksFromOtherWindows();
    void addNewGraphOpensIndependentWizards();
    void addNewCameraOpensALiveCameraTab();

    void graphWizardOpensOnInformationPage();
    void graphWizardFinishKeepsItOpenAndUnchanged();

private:
    MainWindow *showWindow();
    QStringList messagesSinceStart() const;

    std::unique_ptr<MainWindow> m_window;
    QTemporaryDir m_dir;
};

void TestCommands::cleanup()
{
    endCameraLoops();
    Pylon::Emulation::reset();
    // The application keeps closed wizards for the rest of the run; a test case is a run.
    qDeleteAll(graphWizards());
    qDeleteAll(openedWizards<CameraWizard>());
    m_window.reset();
    spdlog::drop_all();
}

MainWindow *TestCommands::showWindow()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("main window not exposed");
    return m_window.get();
}

// The log after its first line ("Logger Setup Complete.").
QStringList TestCommands::messagesSinceStart() const
{
    return logMessages(logPanel(m_window.get())).mid(1);
}

void TestCommands::connectedActionsHaveTheirShortcutsOnly()
{
    MainWindow *window = showWindow();
    auto action = [window](const char *name) { return window->findChild<QAction *>(QLatin1String(name)); };
    QCOMPARE(action("actionSave")->shortcut(), QKeySequence(QKeySequence::Save));
    QCOMPARE(action("actionSave")->shortcutContext(), Qt::ApplicationShortcut);
    // No key for Save As: QKeySequence::SaveAs is empty under this platform's key bindings, so comparing the two
    // could not fail.
    QCOMPARE(action("actionSaveAs")->shortcutContext(), Qt::ApplicationShortcut);
    for (const char *name : {"actionOpen", "actionAddNewCamera", "actionAddNewGraph", "actionNew", "actionQuit"})
        QVERIFY2(action(name)->shortcut().isEmpty(), name);

    // One line per trigger: the form's connectSlotsByName adds no second connection.
    action("actionSave")->trigger();
    action("actionSaveAs")->trigger();
    action("actionAddNewGraph")->trigger();
    QCOMPARE(messagesSinceStart(),
             QStringList({"Saving project...", "Saving project as...", "Adding New Graph View."}));
    QCOMPARE(graphWizards().size(), 1);

    // The unconnected actions do nothing, and the window stays.
    for (const char *name : {"actionNew", "actionAbout", "actionExport", "actionPreferences", "actionQuit",
                             "actionDumpLogTree", "actionOpenLogDirectory"})
        action(name)->trigger();
    QCOMPARE(messagesSinceStart().size(), 3);
    QVERIFY(window->isVisible());
}

void TestCommands::openProjectCancelledLogsOnlyItsLine()
{
    MainWindow *window = showWindow();
    window->setWindowModified(true);
    QString caption;
    QStringList loggedWhileAsking;
    QStringList listed;
    bool listedInTime = false;
    const QString data = QFINDTESTDATA("data");
    answerFileDialog([&](QFileDialog *dialog) {
        caption = dialog->windowTitle();
        loggedWhileAsking = messagesSinceStart();
        // Files of any type are listed, not only configuration files. The
        // dialog is answered whatever it shows, so that the command returns.
        dialog->setDirectory(data);
        if (auto *files = dialog->findChild<QFileSystemModel *>()) {
            const QModelIndex folder = files->index(data);
            listedInTime = QTest::qWaitFor([&] { return files->rowCount(folder) >= 2; });
            for (int row = 0; row < files->rowCount(folder); ++row)
                listed << files->fileName(files->index(row, 0, folder));
        }
        dialog->reject();
    });
    window->findChild<QAction *>("actionOpen")->trigger();

    QCOMPARE(caption, QStringLiteral("Open"));
    QCOMPARE(loggedWhileAsking, QStringList({"Opening projects..."}));
    QVERIFY(listedInTime);
    listed.sort();
    QCOMPARE(listed, QStringList({"lab.xml", "notes.txt"}));
    QCOMPARE(messagesSinceStart(), QStringList({"Opening projects..."}));
    QVERIFY(!window->isWindowModified());
}

void TestCommands::openProjectReadsTheChosenFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("madeAs");
    QTest::addColumn<QStringList>("expected");

    const QString data = QFINDTESTDATA("data");
    const QStringList configuration({"Opening projects...", "Trap", "Laser Power", "Pattern", "Imaging", "Exposure"});
    const QStringList onlyItsLine({"Opening projects..."});
    QTest::newRow("configuration file") << data + "/lab.xml" << QString() << configuration;
    QTest::newRow("not a configuration file") << data + "/notes.txt" << QString() << onlyItsLine;
    QTest::newRow("file gone before it is read") << "vanishing.xml" << QString("vanishing copy") << onlyItsLine;
    QTest::newRow("link to a configuration file") << "link.xml" << QString("symlink") << configuration;
    QTest::newRow("named pipe") << "pipe" << QString("fifo") << onlyItsLine;
}

void TestCommands::openProjectReadsTheChosenFile()
{
    QFETCH(QString, file);
    QFETCH(QString, madeAs);
    QFETCH(QStringList, expected);
    const QString configuration = QFINDTESTDATA("data/lab.xml");
    if (!madeAs.isEmpty())
        file = m_dir.filePath(file);
    if (madeAs == QLatin1String("vanishing copy"))
        QVERIFY(QFile::copy(configuration, file));
    if (madeAs == QLatin1String("symlink"))
        QVERIFY(QFile::link(configuration, file));
    if (madeAs == QLatin1String("fifo"))
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);

    // Opening a pipe for reading waits for a writer. Should the command block
    // there, this thread becomes the writer after a while and so releases it.
    QSemaphore returned;
    std::unique_ptr<QThread> writer(QThread::create([&returned, path = QFile::encodeName(file)] {
        if (returned.tryAcquire(1, 4000))
            return;
        while (!returned.tryAcquire(1, 50)) {
            const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
        }
    }));
    if (madeAs == QLatin1String("fifo"))
        writer->start();

    MainWindow *window = showWindow();
    window->setWindowModified(true);
    QElapsedTimer sinceChosen;
    answerFileDialog([file, madeAs, &sinceChosen](QFileDialog *dialog) {
        if (madeAs == QLatin1String("vanishing copy"))
            QObject::connect(dialog, &QFileDialog::fileSelected, [](const QString &path) { QFile::remove(path); });
        dialog->selectFile(file);
        sinceChosen.start();
        static_cast<QDialog *>(dialog)->accept();
    });
    window->findChild<QAction *>("actionOpen")->trigger();
    const qint64 late = sinceChosen.elapsed();
    returned.release();
    QVERIFY(writer->wait(10000));

    QVERIFY2(late < 2000, qPrintable(QStringLiteral("the command returned %1 ms after the choice").arg(late)));
    QCOMPARE(messagesSinceStart(), expected);
    QVERIFY(!window->isWindowModified());
}

void TestCommands::modifiedMarkFollowsCommands()
{
    MainWindow *window = showWindow();
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project"));

    window->findChild<QAction *>("actionAddNewGraph")->trigger();
    QVERIFY(window->isWindowModified());
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project*"));

    // Cancelling the wizard leaves the mark; saving clears it although nothing is written.
    GraphWizard *wizard = graphWizards().value(0);
    QVERIFY(wizard);
    wizard->button(QWizard::CancelButton)->click();
    QVERIFY(window->isWindowModified());

    window->findChild<QAction *>("actionSave")->trigger();
    QVERIFY(!window->isWindowModified());
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project"));

    window->findChild<QAction *>("actionAddNewGraph")->trigger();
    window->findChild<QAction *>("actionSaveAs")->trigger();
    QVERIFY(!window->isWindowModified());
}

void TestCommands::saveShortcutWorksFromOtherWindows()
{
    MainWindow *window = showWindow();
    window->findChild<QAction *>("actionAddNewGraph")->trigger();
    GraphWizard *wizard = graphWizards().value(0);
    QVERIFY(wizard);
    QApplication::setActiveWindow(wizard);
    QVERIFY(QTest::qWaitForWindowActive(wizard));
    QTest::keySequence(wizard, QKeySequence(QKeySequence::Save));
    QCOMPARE(messagesSinceStart(), QStringList({"Adding New Graph View.", "Saving project..."}));
    QVERIFY(!window->isWindowModified());
    QVERIFY(wizard->isVisible());

    ads::CDockWidget *logDock = dockTitled(window, QStringLiteral("MVL Logger"));
    logDock->setFloating();
    QWidget *floating = logDock->window();
    QVERIFY(floating != window);
    QApplication::setActiveWindow(floating);
    QVERIFY(QTest::qWaitForWindowActive(floating));
    QTest::keySequence(floating, QKeySequence(QKeySequence::Save));
    QCOMPARE(messagesSinceStart().last(), QStringLiteral("Saving project..."));
    QCOMPARE(messagesSinceStart().size(), 3);
}

void TestCommands::addNewGraphOpensIndependentWizards()
{
    MainWindow *window = showWindow();
    QAction *add = window->findChild<QAction *>("actionAddNewGraph");
    add->trigger();
    add->trigger();

    const QList<GraphWizard *> wizards = graphWizards();
    QCOMPARE(wizards.size(), 2);
    for (GraphWizard *wizard : wizards) {
        QVERIFY(wizard->isVisible());
        QVERIFY(!wizard->parent());
        QVERIFY(!wizard->isModal());
    }
    wizards[1]->button(QWizard::NextButton)->click();
    QCOMPARE(wizards[0]->currentId(), 0);

    // Escape hides one, through QDialog::reject; the other stays.
    QSignalSpy rejected(wizards[0], &QDialog::rejected);
    QTest::keyClick(wizards[0], Qt::Key_Escape);
    QVERIFY(!wizards[0]->isVisible());
    QCOMPARE(rejected.count(), 1);
    QVERIFY(wizards[1]->isVisible());
    QCOMPARE(messagesSinceStart(), QStringList({"Adding New Graph View.", "Adding New Graph View."}));
}

void TestCommands::addNewCameraOpensALiveCameraTab()
{
    Pylon::Emulation::setDevices(Pylon::Emulation::defaultDevices(2));
    MainWindow *window = showWindow();
    window->findChild<QAction *>("actionAddNewCamera")->trigger();
    QCOMPARE(messagesSinceStart(), QStringList({"Adding New Camera View."}));
    QVERIFY(window->isWindowModified());

    const QList<CameraWizard *> wizards = openedWizards<CameraWizard>();
    QCOMPARE(wizards.size(), 1);
    CameraWizard *wizard = wizards.first();
    QVERIFY(wizard->isVisible());
    QVERIFY(!wizard->parent());
    QTest::mouseClick(wizard->button(QWizard::FinishButton), Qt::LeftButton);

    QVERIFY(!wizard->isVisible());
    QCOMPARE(messagesSinceStart(), QStringList({"Adding New Camera View.", "Camera has been added"}));
    auto *manager = window->findChild<ads::CDockManager *>();
    const QList<ads::CDockWidget *> docks = cameraDocks(manager);
    QCOMPARE(docks.size(), 1);
    QCOMPARE(docks.first()->dockAreaWidget(), manager->centralWidget()->dockAreaWidget());
    auto *view = qobject_cast<CameraWidget *>(docks.first()->widget());
    QVERIFY(view);
    auto *frame = view->findChild<QLabel *>();
    QTRY_VERIFY(!frame->pixmap().isNull());
    const qint64 first = frame->pixmap().cacheKey();
    QTRY_VERIFY(frame->pixmap().cacheKey() != first);
}

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

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
