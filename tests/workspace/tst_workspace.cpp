#include "Logging/qtcolorsink.h"
#include "mainwindow.h"
#include "startup.h"
#include "translation.h"
#include "workspacesupport.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QWindow>
#include <QWizard>

#include <DockAreaTitleBar.h>
#include <DockAreaWidget.h>
#include <DockManager.h>
#include <DockWidget.h>
#include <DockWidgetTab.h>
#include <spdlog/spdlog.h>

#include <memory>

#include <unistd.h>

using namespace WorkspaceSupport;

namespace {

QStringList texts(const QList<QAction *> &actions)
{
    QStringList result;
    for (const QAction *action : actions)
        result << (action->isSeparator() ? QStringLiteral("--") : action->text());
    return result;
}

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void startUpShowsTheWindowMaximizedAndReturnsTheLoopsCode();
    void dockingFlagsGiveLiveSplittersPlainStateAndFocusHighlighting();

    void formBuildsMenusInBarOrder();
    void titleShowsModifiedMarkOnlyWhenModified();
    void windowIconLoadsFromResources();
    void centralDockHasNoTabAndCannotBeClosedMovedOrFloated();
    void debugMenuTogglesLogDock();
    void dockButtonsDrawTheirIcons();

    void logStartsWithSetupLineAtInfoLevel();
    void logColoursOnlyTheLevelText();
    void logDecodesUtf8Messages();
    void logKeepsOnlyTheLast500Lines_data();
    void logKeepsOnlyTheLast500Lines();
    void logPanelStaysEditable();
    void logLinesFromAnotherThreadArriveInOrder();
    void logIsHarmlessOnceThePanelIsGone();
    void logDrainsAfterALineLoggedWithoutApplication();
    void logCutsOverlongLinesWithAMark_data();
    void logCutsOverlongLinesWithAMark();

    void translationLookUp_data();
    void translationLookUp();

private:
    MainWindow *makeWindow();

    std::unique_ptr<MainWindow> m_window;
};

void TestWorkspace::cleanup()
{
    m_window.reset();
    // The window registers its logger process-wide; each case starts afresh.
    spdlog::drop_all();
}

MainWindow *TestWorkspace::makeWindow()
{
    m_window = std::make_unique<MainWindow>();
    return m_window.get();
}

void TestWorkspace::startUpShowsTheWindowMaximizedAndReturnsTheLoopsCode()
{
    // Start from everything that the run has to set.
    QCoreApplication::setOrganizationName(QStringLiteral("none"));
    QCoreApplication::setApplicationName(QStringLiteral("none"));
    QApplication::setStyle(QStringLiteral("windows"));

    QStringList seen;
    QPointer<QWidget> closedWizard;
    QTimer::singleShot(0, this, [&seen, &closedWizard] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<MainWindow *>(widget);
            if (!window || !window->isVisible())
                continue;
            seen << QCoreApplication::organizationName() << QCoreApplication::applicationName()
                 << QApplication::style()->name() << window->menuBar()->actions().value(0)->text()
                 << (window->isMaximized() ? "maximized" : "not maximized")
                 << (window->parent() ? "with a parent" : "without a parent");
            window->findChild<QAction *>("actionAddNewGraph")->trigger();
        }
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *wizard = qobject_cast<QWizard *>(widget))
                closedWizard = wizard;
        }
        if (closedWizard) {
            closedWizard->close();
            seen << "wizard closed";
        }
        QCoreApplication::exit(42);
    });
    // The German translation is found first, and the form shows it.
    QCOMPARE(runVelora({"de-DE", "en-US"}, QStringLiteral(":/i18n-two-locales/")), 42);
    QCOMPARE(seen,
             QStringList({"Morvel", "Velora", "fusion", "&Datei", "maximized", "without a parent", "wizard closed"}));
    // A closed wizard stays, hidden, while the application runs, and goes when the run ends.
    QVERIFY(closedWizard.isNull());
    // The translator went with the run.
    QCOMPARE(QCoreApplication::translate("MainWindow", "&File"), QStringLiteral("&File"));
}

void TestWorkspace::dockingFlagsGiveLiveSplittersPlainStateAndFocusHighlighting()
{
    // The flags are process-wide: start from the opposite of what the window needs.
    ads::CDockManager::setConfigFlag(ads::CDockManager::OpaqueSplitterResize, false);
    ads::CDockManager::setConfigFlag(ads::CDockManager::XmlCompressionEnabled, true);
    ads::CDockManager::setConfigFlag(ads::CDockManager::FocusHighlighting, false);
    MainWindow *window = makeWindow();
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *manager = window->findChild<ads::CDockManager *>();

    QVERIFY(manager->saveState().startsWith("<?xml"));

    // Dragging the handle beside the property table moves it while the button is still down.
    ads::CDockWidget *propertyDock = dockTitled(window, QStringLiteral("Property Table"));
    auto *splitter = qobject_cast<QSplitter *>(propertyDock->dockAreaWidget()->parentWidget());
    QVERIFY(splitter);
    const QList<int> sizes = splitter->sizes();
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(40, 0));
    const QList<int> whileDragging = splitter->sizes();
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(40, 0));
    QCOMPARE(whileDragging.value(0), sizes.value(0) + 40);

    // A click gives the dock the focus, and its tab is highlighted.
    auto *view = qobject_cast<QTreeView *>(propertyDock->widget());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
    QTRY_COMPARE(manager->focusedDockWidget(), propertyDock);
    QVERIFY(propertyDock->tabWidget()->property("focused").toBool());
}

void TestWorkspace::formBuildsMenusInBarOrder()
{
    MainWindow *window = makeWindow();
    auto *bar = window->menuBar();
    QCOMPARE(bar->geometry().topLeft(), QPoint(0, 0));

    QStringList titles;
    QStringList names;
    for (QAction *action : bar->actions()) {
        titles << action->text();
        names << action->menu()->objectName();
    }
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&View", "Devices", "Graphing", "&Debug", "&Help"}));
    QCOMPARE(names,
             QStringList({"menuFile", "menuEdit", "menuView", "menuDevices", "menuGraphing", "menuDebug", "menuHelp"}));

    auto menu = [window](const char *name) { return window->findChild<QMenu *>(QLatin1String(name)); };
    QCOMPARE(texts(menu("menuFile")->actions()),
             QStringList({"&New Project", "&Open Project...", "&Save Project", "Save Project &As...", "--",
                          "&Export Project...", "--", "&Preferences", "&Quit"}));
    QVERIFY(menu("menuEdit")->actions().isEmpty());
    QCOMPARE(texts(menu("menuDevices")->actions()), QStringList({"Add New &Camera..."}));
    QCOMPARE(texts(menu("menuGraphing")->actions()), QStringList({"Add New &Graph..."}));
    QCOMPARE(texts(menu("menuDebug")->actions()), QStringList({"Dump Log Tree", "Open Log Directory", "MVL Logger"}));
    QCOMPARE(texts(menu("menuHelp")->actions()), QStringList({"About..."}));

    QVERIFY(window->findChild<QAction *>("actionNew")->shortcut().isEmpty());
    QVERIFY(window->statusBar()->currentMessage().isEmpty());
}

void TestWorkspace::titleShowsModifiedMarkOnlyWhenModified()
{
    MainWindow *window = makeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Velora - untitled project[*]"));
    QVERIFY(!window->isWindowModified());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project"));
    window->setWindowModified(true);
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project*"));
    window->setWindowModified(false);
    QCOMPARE(window->windowHandle()->title(), QStringLiteral("Velora - untitled project"));
}

void TestWorkspace::windowIconLoadsFromResources()
{
    MainWindow *window = makeWindow();
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(!window->windowIcon().pixmap(64, 64).isNull());
}

void TestWorkspace::centralDockHasNoTabAndCannotBeClosedMovedOrFloated()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *manager = window->findChild<ads::CDockManager *>();
    QVERIFY(manager);
    QCOMPARE(window->centralWidget(), manager);

    ads::CDockWidget *central = manager->centralWidget();
    QVERIFY(central);
    QCOMPARE(central->windowTitle(), QStringLiteral("Velora"));
    auto *label = qobject_cast<QLabel *>(central->widget());
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Velora Workspace - Connect Devices to Start"));
    QCOMPARE(label->alignment(), Qt::AlignCenter);

    const auto features = central->features();
    QVERIFY(features.testFlag(ads::CDockWidget::NoTab));
    QVERIFY(!features.testFlag(ads::CDockWidget::DockWidgetClosable));
    QVERIFY(!features.testFlag(ads::CDockWidget::DockWidgetMovable));
    QVERIFY(!features.testFlag(ads::CDockWidget::DockWidgetFloatable));
    QVERIFY(!central->tabWidget()->isVisible());
}

void TestWorkspace::debugMenuTogglesLogDock()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTextEdit *panel = logPanel(window);
    QVERIFY(panel);
    auto *dock = qobject_cast<ads::CDockWidget *>(panel->parentWidget());
    QVERIFY(dock);
    QCOMPARE(dock->dockAreaWidget()->dockManager(), window->findChild<ads::CDockManager *>());

    QAction *toggle = window->findChild<QMenu *>("menuDebug")->actions().last();
    QCOMPARE(toggle, dock->toggleViewAction());
    QVERIFY(toggle->isChecked());
    QVERIFY(dock->isVisible());

    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(dock->isClosed());

    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(!dock->isClosed());
    QVERIFY(dock->isVisible());

    // Closing the dock itself unchecks the entry as well.
    dock->closeDockWidget();
    QVERIFY(!toggle->isChecked());
}

void TestWorkspace::dockButtonsDrawTheirIcons()
{
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The docking library draws its buttons from SVG icons: without the toolkit's
    // SVG plugins (libqt6svg6) the buttons are there, and blank.
    ads::CDockWidget *dock = dockTitled(window, QStringLiteral("MVL Logger"));
    ads::CDockAreaTitleBar *titleBar = dock->dockAreaWidget()->titleBar();
    const QList<QAbstractButton *> buttons = {titleBar->button(ads::TitleBarButtonClose),
                                              titleBar->button(ads::TitleBarButtonUndock),
                                              titleBar->button(ads::TitleBarButtonTabsMenu),
                                              dock->tabWidget()->findChild<QAbstractButton *>("tabCloseButton")};
    for (QAbstractButton *button : buttons) {
        QVERIFY(button);
        QVERIFY2(!button->icon().pixmap(QSize(16, 16)).isNull(), qPrintable(button->toolTip()));
    }
}

void TestWorkspace::logStartsWithSetupLineAtInfoLevel()
{
    MainWindow *window = makeWindow();
    const QStringList lines = logLines(logPanel(window));
    QVERIFY(!lines.isEmpty());
    QVERIFY2(lines.first().contains(QLatin1String("] [mvl_logger] [info] Logger Setup Complete.")),
             qPrintable(lines.first()));
    QCOMPARE(messageOf(lines.first()), QStringLiteral("Logger Setup Complete."));
    QVERIFY(spdlog::get("mvl_logger"));
}

void TestWorkspace::logColoursOnlyTheLevelText()
{
    MainWindow *window = makeWindow();
    QTextEdit *panel = logPanel(window);
    spdlog::get("mvl_logger")->warn("watch out");
    QCOMPARE(logLines(panel).size(), 2);

    auto colourAt = [panel](int blockNumber, const QString &needle) {
        const QTextBlock block = panel->document()->findBlockByNumber(blockNumber);
        const int offset = block.text().indexOf(needle);
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + offset + 1);
        return cursor.charFormat().foreground().color();
    };
    QCOMPARE(colourAt(0, QStringLiteral("info")), QColor(Qt::green));
    QCOMPARE(colourAt(1, QStringLiteral("warning")), QColor(Qt::yellow));
    QVERIFY(colourAt(0, QStringLiteral("Logger Setup")) != QColor(Qt::green));
    QVERIFY(colourAt(0, QStringLiteral("mvl_logger")) != QColor(Qt::green));
}

void TestWorkspace::logDecodesUtf8Messages()
{
    MainWindow *window = makeWindow();
    const QString name = QStringLiteral("Kamera Zürich µ-Optik 原子");
    spdlog::get("mvl_logger")->info(name.toStdString());
    const QStringList lines = logLines(logPanel(window));
    QCOMPARE(messageOf(lines.last()), name);

    // The colour range is measured in bytes by spdlog; a multi-byte logger name
    // must not shift the coloured span off the level text.
    QTextEdit panel;
    auto logger = spdlog::qt_color_logger_mt("µ-logger", &panel, 10, true);
    logger->info("x");
    QCOMPARE(logLines(&panel).size(), 1);
    const QTextBlock block = panel.document()->firstBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + block.text().indexOf(QLatin1String("info")) + 1);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::green));
    cursor.setPosition(block.position() + block.text().indexOf(QLatin1String("info")) - 1);
    QVERIFY(cursor.charFormat().foreground().color() != QColor(Qt::green));
}

namespace {

// The process's resident memory, or a negative value where /proc cannot tell.
double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// Logged its first line before main(), so before any application object existed.
const std::shared_ptr<spdlog::logger> earlyLogger = [] {
    auto logger = std::make_shared<spdlog::logger>("early", std::make_shared<QtColorSink>(nullptr, 500));
    logger->info("before the application");
    return logger;
}();

// Counts the calls queued to the application object: the sink's drains go there.
class QueuedCallCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::MetaCall)
            ++count;
        return false;
    }
};

} // namespace

void TestWorkspace::logKeepsOnlyTheLast500Lines_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("linesPerBatch");
    QTest::newRow("one burst") << 600 << 600;
    QTest::newRow("batches of 70") << 600 << 70;
    // Lines wait for the event loop no longer than the panel would keep them.
    QTest::newRow("a long burst before the event loop runs") << 200000 << 200000;
}

void TestWorkspace::logKeepsOnlyTheLast500Lines()
{
    QFETCH(int, lineCount);
    QFETCH(int, linesPerBatch);
    MainWindow *window = makeWindow();
    QTextEdit *panel = logPanel(window);
    auto logger = spdlog::get("mvl_logger");
    const double residentBefore = residentMB();
    QVERIFY(residentBefore > 0);
    for (int i = 1; i <= lineCount; ++i) {
        logger->info("line {}", i);
        if (i % linesPerBatch == 0)
            QCoreApplication::processEvents();
    }
    // AddressSanitizer holds freed memory back from reuse, so only a plain build can tell.
#ifndef __SANITIZE_ADDRESS__
    const double growth = residentMB() - residentBefore;
    QVERIFY2(growth < 10, qPrintable(QStringLiteral("resident memory grew by %1 MB").arg(growth)));
#endif

    const QStringList lines = logLines(panel);
    QCOMPARE(lines.size(), 500);
    for (int i = 0; i < 500; ++i)
        QCOMPARE(messageOf(lines.at(i)), QStringLiteral("line %1").arg(lineCount - 499 + i));
}

void TestWorkspace::logPanelStaysEditable()
{
    MainWindow *window = makeWindow();
    window->show();
    QTextEdit *panel = logPanel(window);
    QCOMPARE(logLines(panel).size(), 1);
    QVERIFY(!panel->isReadOnly());
    panel->setFocus();
    panel->moveCursor(QTextCursor::Start);
    QTest::keyClicks(panel, "note: ");
    QVERIFY(panel->document()->firstBlock().text().startsWith(QLatin1String("note: [")));

    spdlog::get("mvl_logger")->info("after typing");
    QCOMPARE(messageOf(logLines(panel).last()), QStringLiteral("after typing"));
}

void TestWorkspace::logLinesFromAnotherThreadArriveInOrder()
{
    MainWindow *window = makeWindow();
    QTextEdit *panel = logPanel(window);
    QCOMPARE(logLines(panel).size(), 1);
    auto logger = spdlog::get("mvl_logger");

    std::unique_ptr<QThread> worker(QThread::create([logger] {
        for (int i = 0; i < 200; ++i)
            logger->info("worker {}", i);
    }));
    worker->start();
    QVERIFY(worker->wait(10000));
    logger->info("gui after worker");
    // Nothing reaches the widget outside the GUI thread's event loop.
    QCOMPARE(writtenLines(panel).size(), 1);

    const QStringList lines = logLines(panel);
    QCOMPARE(lines.size(), 202);
    for (int i = 0; i < 200; ++i)
        QCOMPARE(messageOf(lines.at(i + 1)), QStringLiteral("worker %1").arg(i));
    QCOMPARE(messageOf(lines.last()), QStringLiteral("gui after worker"));
}

void TestWorkspace::logDrainsAfterALineLoggedWithoutApplication()
{
    QueuedCallCounter counter;
    QCoreApplication::instance()->installEventFilter(&counter);
    earlyLogger->info("with the application");
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
    QCOMPARE(counter.count, 1);
}

void TestWorkspace::logIsHarmlessOnceThePanelIsGone()
{
    auto *panel = new QTextEdit;
    auto logger = spdlog::qt_color_logger_mt("orphan", panel, 5, true);
    logger->info("before");
    std::unique_ptr<QThread> worker(QThread::create([logger] { logger->info("queued"); }));
    worker->start();
    QVERIFY(worker->wait(10000));
    // Both lines are still queued for the GUI thread when the panel goes.
    QVERIFY(panel->document()->isEmpty());
    delete panel;
    QVERIFY_THROWS_NO_EXCEPTION(logger->info("after"));
    QVERIFY_THROWS_NO_EXCEPTION(QCoreApplication::processEvents());
}

namespace {

// `letters` over and over, `characters` code points long.
QString repeatedTo(const QString &letters, qsizetype characters)
{
    const QList<uint> cycle = letters.toUcs4();
    std::u32string text;
    for (qsizetype i = 0; i < characters; ++i)
        text += char32_t(cycle.at(i % cycle.size()));
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

} // namespace

void TestWorkspace::logCutsOverlongLinesWithAMark_data()
{
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("letters");
    // How many characters the whole line, prefix and all, has past the bound.
    QTest::addColumn<int>("pastTheBound");
    QTest::addColumn<QString>("mark");
    QTest::newRow("multi-byte UTF-8 at the bound")
        << true << QStringLiteral(u"a\u00e9\u539f\U0001F600") << 0 << QString();
    QTest::newRow("about 1 MB without a space")
        << true << QStringLiteral("x") << 998000 << QStringLiteral(u" \u2026 [998,000 characters left out]");
    QTest::newRow("multi-byte UTF-8 past the bound") << true << QStringLiteral(u"a\u00e9\u539f\U0001F600") << 1001
                                                     << QStringLiteral(u" \u2026 [1,001 characters left out]");
    QTest::newRow("Latin-1 letters that look like UTF-8 continuation bytes")
        << false << QStringLiteral(u"\u00b5\u00b0") << 1 << QStringLiteral(u" \u2026 [1 character left out]");
}

void TestWorkspace::logCutsOverlongLinesWithAMark()
{
    QFETCH(bool, utf8);
    QFETCH(QString, letters);
    QFETCH(int, pastTheBound);
    QFETCH(QString, mark);
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTextEdit latin1Panel;
    QTextEdit *panel = utf8 ? logPanel(window) : &latin1Panel;
    auto logger = utf8 ? spdlog::get("mvl_logger") : spdlog::qt_color_logger_mt("latin1", panel, 500, false);
    panel->show();
    logger->info("x");
    const QString probe = logLines(panel).last();
    const qsizetype prefix = probe.size() - messageOf(probe).size();

    const qsizetype shown = qsizetype(QtColorSink::MaxLineCharacters) - prefix;
    const QString message = repeatedTo(letters, shown + pastTheBound);
    const std::string bytes = utf8 ? message.toStdString() : message.toLatin1().toStdString();
    QElapsedTimer timer;
    timer.start();
    logger->info(bytes);
    const QString line = logLines(panel).last();
    panel->document()->documentLayout()->documentSize();
    panel->viewport()->repaint();
    // Generous for a sanitized build on two busy cores: laying out the whole line takes about a minute.
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));

    QCOMPARE(messageOf(line), repeatedTo(letters, shown) + mark);
    const QTextBlock block = panel->document()->lastBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + line.indexOf(QLatin1String("[info]")) + 2);
    QCOMPARE(cursor.charFormat().foreground().color(), QColor(Qt::green));
}

void TestWorkspace::translationLookUp_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("fileMenu");

    QTest::newRow("first language wins") << ":/i18n-two-locales/" << QStringList{"de-DE", "en-US"} << true << "&Datei";
    QTest::newRow("order decides") << ":/i18n-two-locales/" << QStringList{"en-US", "de-DE"} << true << "&File (US)";
    QTest::newRow("missing first, found second")
        << ":/i18n-two-locales/" << QStringList{"fr-FR", "en-US"} << true << "&File (US)";
    QTest::newRow("language alone by cut-back")
        << ":/i18n-language-only/" << QStringList{"de-DE"} << true << "&Datei (de)";
    QTest::newRow("no languages") << ":/i18n-two-locales/" << QStringList{} << false << "&File";
    QTest::newRow("shipped resources hold none") << ":/i18n/" << QStringList{"de-DE", "en-US"} << false << "&File";
}

void TestWorkspace::translationLookUp()
{
    QFETCH(QString, directory);
    QFETCH(QStringList, languages);
    QFETCH(bool, loaded);
    QFETCH(QString, fileMenu);

    QTranslator translator;
    QCOMPARE(loadTranslation(translator, languages, directory), loaded);
    QCOMPARE(translator.isEmpty(), !loaded);
    if (loaded) {
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(QCoreApplication::translate("MainWindow", "&File"), fileMenu);
        QCoreApplication::removeTranslator(&translator);
    }
}

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
