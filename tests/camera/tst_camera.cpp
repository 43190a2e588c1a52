#include "Widgets/camerawidget.h"
#include "Wizards/cameraintropage.h"
#include "Wizards/camerawizard.h"
#include "Workers/baslerworker.h"
#include "mainwindow.h"

#include "workspacesupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <DockAreaWidget.h>
#include <DockManager.h>
#include <DockWidget.h>
#include <pylon/EmulationControl.h>
#include <pylon/PylonIncludes.h>
#include <spdlog/sinks/ringbuffer_sink.h>
#include <spdlog/spdlog.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace Emu = Pylon::Emulation;
using namespace std::chrono_literals;

using WorkspaceSupport::cameraDocks;

namespace {

Emu::DeviceSettings smallDevice(const std::string &name, std::chrono::microseconds period = 5ms)
{
    Emu::DeviceSettings device;
    device.fullName = name;
    device.width = 32;
    device.height = 24;
    device.framePeriod = period;
    return device;
}

/// A logger of our own that keeps its lines as "level: message".
struct LogCapture
{
    LogCapture() { sink->set_pattern("%l: %v"); }

    QStringList lines() const
    {
        QStringList result;
        for (const std::string &line : sink->last_formatted())
            result << QString::fromStdString(line).trimmed();
        return result;
    }

    std::shared_ptr<spdlog::sinks::ringbuffer_sink_mt> sink = std::make_shared<spdlog::sinks::ringbuffer_sink_mt>(64);
    std::shared_ptr<spdlog::logger> logger = std::make_shared<spdlog::logger>("camera-test", sink);
};

/// Receives a worker's signals in the GUI thread, queued, as a camera view does.
class LoopObserver : public QObject
{
public:
    explicit LoopObserver(BaslerWorker *worker)
    {
        connect(worker, &BaslerWorker::imageAcquired, this, [this](const QImage &frame) { frames << frame; });
        connect(worker, &BaslerWorker::finished, this, [this] { ended = true; });
    }

    QList<QImage> frames;
    bool ended = false;
};

/// One worker whose loop runs on the global pool; stopped and waited for on destruction.
struct RunningLoop
{
    explicit RunningLoop(std::shared_ptr<spdlog::logger> logger, bool stopFirst = false)
        : worker(std::make_unique<BaslerWorker>(std::move(logger)))
        , observer(worker.get())
    {
        if (stopFirst)
            worker->stop();
        future = QtConcurrent::run(QThreadPool::globalInstance(), [w = worker.get()] { w->acquireImages(); });
    }
    ~RunningLoop()
    {
        worker->stop();
        future.waitForFinished();
    }

    std::unique_ptr<BaslerWorker> worker;
    LoopObserver observer;
    QFuture<void> future;
};

// "[2026-12-07 10:00:00.123] [mvl_logger] [info] No devices found" -> "info: No devices found"
QStringList logLines(MainWindow *window)
{
    return WorkspaceSupport::logEntries(WorkspaceSupport::logPanel(window));
}

QLabel *frameLabel(QWidget *view)
{
    return view->findChild<QLabel *>();
}

/// Shows the wizard and presses one of its buttons, as the operator does.
bool pressWizardButton(CameraWizard *wizard, QWizard::WizardButton which)
{
    wizard->show();
    if (!QTest::qWaitForWindowExposed(wizard))
        return false;
    QTest::mouseClick(wizard->button(which), Qt::LeftButton);
    return true;
}

void expectEverythingReleased()
{
    QCOMPARE(Emu::initialisationCount(), 0);
    QCOMPARE(Emu::liveDeviceObjects(), 0);
}

} // namespace

class TestCamera : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void probeLogsOnlyWhenNoDeviceIsAttached_data();
    void probeLogsOnlyWhenNoDeviceIsAttached();
    void probeLogsSdkFailureAndReleasesEverything_data();
    void probeLogsSdkFailureAndReleasesEverything();

    void frameHasCameraSizeAndConvertedPixels_data();
    void frameHasCameraSizeAndConvertedPixels();
    void unusableGrabsEmitNothingAndLoopGoesOn_data();
    void unusableGrabsEmitNothingAndLoopGoesOn();
    void timedOutRetrievalIsWaitedForAgain();
    void loopFailureEndsWithOneWarning_data();
    void loopFailureEndsWithOneWarning();
    void secondLoopOnATakenDeviceFailsWhileFirstStreamsOn();
    void stopEndsAWaitingLoopPromptly();
    void stopBeforeTheLoopRunsGrabsNothing();
    void backlogStaysBoundedWhileTheGuiIsBusy();
    void moreLoopsThanPoolThreadsAllStream();

    void viewIsEmptyBeforeTheFirstFrame();
    void viewStretchesTheLatestFrameOverItsArea();
    void nullFrameLeavesTheViewBlank();
    void viewShrinksBelowTheFrameSize();

    void pageListsDevicesByFullNameInSdkOrder();
    void pageEnumerationFailureIsLoggedAndListStaysEmpty();
    void finishAddsACameraTabThatShowsFrames();
    void cancelLogsNothingAndCreatesNothing();
    void twoFinishedWizardsGiveTwoStreamingTabs();

    void closingTheWindowStopsEveryLoopPromptly();
    void realExecutableExitsPromptlyWhenItsWindowCloses();

private:
    MainWindow *makeWindow();
    CameraWizard *makeWizard(MainWindow *window);

    std::unique_ptr<MainWindow> m_window;
    std::vector<std::unique_ptr<CameraWizard>> m_wizards;
};

void TestCamera::init()
{
    Emu::reset();
}

void TestCamera::cleanup()
{
    // The wizards' workers are nobody's to stop: take their devices away.
    WorkspaceSupport::endCameraLoops();
    m_wizards.clear();
    m_window.reset();
    // The window registers its logger process-wide; each case starts afresh.
    spdlog::drop_all();
    Emu::reset();
}

MainWindow *TestCamera::makeWindow()
{
    m_window = std::make_unique<MainWindow>();
    return m_window.get();
}

CameraWizard *TestCamera::makeWizard(MainWindow *window)
{
    m_wizards.push_back(
        std::make_unique<CameraWizard>(window->findChild<ads::CDockManager *>(), spdlog::get("mvl_logger"), nullptr));
    return m_wizards.back().get();
}

void TestCamera::probeLogsOnlyWhenNoDeviceIsAttached_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("none") << 0 << QStringList{"info: Logger Setup Complete.", "info: No devices found"};
    QTest::newRow("one") << 1 << QStringList{"info: Logger Setup Complete."};
    QTest::newRow("two") << 2 << QStringList{"info: Logger Setup Complete."};
}

void TestCamera::probeLogsOnlyWhenNoDeviceIsAttached()
{
    QFETCH(int, devices);
    QFETCH(QStringList, log);
    Emu::setDevices(Emu::defaultDevices(devices));

    MainWindow *window = makeWindow();
    QCOMPARE(logLines(window), log);
    if (devices > 0) {
        // A one-image grab was started on the first device and nothing retrieved.
        QCOMPARE(Emu::deviceStats(0).devicesCreated, 1);
        QCOMPARE(Emu::deviceStats(0).grabsStarted, 1);
        QCOMPARE(Emu::deviceStats(0).resultsRetrieved, 0);
        QVERIFY(!Emu::deviceStats(0).open);
    }
    if (devices > 1)
        QCOMPARE(Emu::deviceStats(1).devicesCreated, 0);
    expectEverythingReleased();
}

void TestCamera::probeLogsSdkFailureAndReleasesEverything_data()
{
    QTest::addColumn<std::optional<Emu::Call>>("failingCall");
    QTest::addColumn<QString>("message");
    QTest::newRow("enumeration") << std::optional(Emu::Call::EnumerateDevices) << "transport layer failed";
    QTest::newRow("device creation") << std::optional(Emu::Call::CreateDevice) << "device went away";
    QTest::newRow("grab start") << std::optional(Emu::Call::StartGrabbing) << "cannot start";
    QTest::newRow("device taken") << std::optional<Emu::Call>() << "is already opened by another camera";
}

void TestCamera::probeLogsSdkFailureAndReleasesEverything()
{
    QFETCH(std::optional<Emu::Call>, failingCall);
    QFETCH(QString, message);
    Emu::setDevices(Emu::defaultDevices(1));

    std::optional<Pylon::PylonAutoInitTerm> otherUser;
    std::unique_ptr<Pylon::CInstantCamera> otherCamera;
    if (failingCall) {
        Emu::throwAt(*failingCall, message.toStdString());
    } else {
        otherUser.emplace();
        otherCamera = std::make_unique<Pylon::CInstantCamera>(Pylon::CTlFactory::GetInstance().CreateFirstDevice());
        otherCamera->StartGrabbing();
    }

    MainWindow *window = makeWindow();
    const QStringList lines = logLines(window);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.at(1).startsWith(QLatin1String("warning: Camera probe failed: ")) && lines.at(1).contains(message),
             qPrintable(lines.at(1)));
    QCOMPARE(Emu::initialisationCount(), otherUser ? 1 : 0);
    QCOMPARE(Emu::liveDeviceObjects(), otherCamera ? 1 : 0);
    otherCamera.reset();
    otherUser.reset();
    expectEverythingReleased();
}

void TestCamera::frameHasCameraSizeAndConvertedPixels_data()
{
    QTest::addColumn<int>("pixelType");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("rowPadding");
    QTest::addColumn<QList<QRgb>>("expected");

    // Three pixels wide: an RGB8 row of 9 bytes is not a multiple of 4.
    const QByteArray rgb("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12", 18);
    const QList<QRgb> asRgb = {qRgb(1, 2, 3),    qRgb(4, 5, 6),    qRgb(7, 8, 9),
                               qRgb(10, 11, 12), qRgb(13, 14, 15), qRgb(16, 17, 18)};
    const QList<QRgb> asBgr = {qRgb(3, 2, 1),    qRgb(6, 5, 4),    qRgb(9, 8, 7),
                               qRgb(12, 11, 10), qRgb(15, 14, 13), qRgb(18, 17, 16)};
    const QByteArray mono("\x0a\x14\x1e\x28\x32\xff", 6);
    const QList<QRgb> asGrey = {qRgb(10, 10, 10), qRgb(20, 20, 20), qRgb(30, 30, 30),
                                qRgb(40, 40, 40), qRgb(50, 50, 50), qRgb(255, 255, 255)};

    QTest::newRow("Mono8") << int(Pylon::PixelType_Mono8) << mono << 0 << asGrey;
    QTest::newRow("RGB8") << int(Pylon::PixelType_RGB8packed) << rgb << 0 << asRgb;
    QTest::newRow("BGR8") << int(Pylon::PixelType_BGR8packed) << rgb << 0 << asBgr;
    QTest::newRow("Mono8, padded rows") << int(Pylon::PixelType_Mono8) << mono << 5 << asGrey;
    QTest::newRow("RGB8, padded rows") << int(Pylon::PixelType_RGB8packed) << rgb << 3 << asRgb;
}

void TestCamera::frameHasCameraSizeAndConvertedPixels()
{
    QFETCH(int, pixelType);
    QFETCH(QByteArray, source);
    QFETCH(int, rowPadding);
    QFETCH(QList<QRgb>, expected);

    Emu::DeviceSettings device = smallDevice("fixed");
    device.width = 3;
    device.height = 2;
    device.pixelType = Pylon::EPixelType(pixelType);
    device.image.assign(source.begin(), source.end());
    Emu::setDevices({device});
    Emu::setConvertedRowPadding(std::size_t(rowPadding));

    LogCapture log;
    RunningLoop loop(log.logger);
    QTRY_VERIFY(!loop.observer.frames.isEmpty());
    const QImage frame = loop.observer.frames.first();
    QCOMPARE(frame.format(), QImage::Format_RGB32);
    QCOMPARE(frame.size(), QSize(3, 2));
    QList<QRgb> pixels;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            pixels << frame.pixel(x, y);
    }
    QCOMPARE(pixels, expected);
    QVERIFY(log.lines().isEmpty());
}

void TestCamera::unusableGrabsEmitNothingAndLoopGoesOn_data()
{
    QTest::addColumn<bool>("grabsFail");
    QTest::addColumn<bool>("heightZero");
    QTest::newRow("failed grabs") << true << false;
    QTest::newRow("converted height 0") << false << true;
}

void TestCamera::unusableGrabsEmitNothingAndLoopGoesOn()
{
    QFETCH(bool, grabsFail);
    QFETCH(bool, heightZero);
    Emu::DeviceSettings device = smallDevice("unusable", 2ms);
    device.failEvery = grabsFail ? 1 : 0;
    Emu::setDevices({device});
    Emu::setConvertedHeightZero(heightZero);

    LogCapture log;
    RunningLoop loop(log.logger);
    QTRY_VERIFY(Emu::deviceStats(0).resultsRetrieved >= 10);
    QCoreApplication::processEvents();
    QVERIFY(loop.observer.frames.isEmpty());
    QVERIFY(!loop.observer.ended);
    QVERIFY(log.lines().isEmpty());
    if (heightZero) {
        Emu::setConvertedHeightZero(false);
        QTRY_VERIFY(!loop.observer.frames.isEmpty());
    }
}

void TestCamera::timedOutRetrievalIsWaitedForAgain()
{
    // The first frame comes after the worker's 5 s wait has run out once.
    Emu::setDevices({smallDevice("slow", 5300ms)});
    LogCapture log;
    QElapsedTimer clock;
    clock.start();
    RunningLoop loop(log.logger);
    QTRY_COMPARE_WITH_TIMEOUT(loop.observer.frames.size(), 1, 15000);
    QVERIFY(clock.elapsed() >= 5000);
    QCOMPARE(Emu::deviceStats(0).resultsRetrieved, 1);
    QVERIFY(!loop.observer.ended);
    QVERIFY(log.lines().isEmpty());
}

void TestCamera::loopFailureEndsWithOneWarning_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<std::optional<Emu::Call>>("failingCall");
    QTest::addColumn<bool>("loseDevice");
    QTest::addColumn<QString>("message");

    QTest::newRow("no camera") << 0 << std::optional<Emu::Call>() << false << "No device is available";
    QTest::newRow("device creation") << 1 << std::optional(Emu::Call::CreateDevice) << false << "create: boom";
    QTest::newRow("grab start") << 1 << std::optional(Emu::Call::StartGrabbing) << false << "start: boom";
    QTest::newRow("retrieval") << 1 << std::optional(Emu::Call::RetrieveResult) << false << "retrieve: boom";
    QTest::newRow("conversion") << 1 << std::optional(Emu::Call::Convert) << false << "convert: boom";
    QTest::newRow("device lost while grabbing") << 1 << std::optional<Emu::Call>() << true << "has been removed";
}

void TestCamera::loopFailureEndsWithOneWarning()
{
    QFETCH(int, devices);
    QFETCH(std::optional<Emu::Call>, failingCall);
    QFETCH(bool, loseDevice);
    QFETCH(QString, message);
    Emu::setDevices(devices ? std::vector<Emu::DeviceSettings>{smallDevice("only")}
                            : std::vector<Emu::DeviceSettings>{});
    if (failingCall)
        Emu::throwAt(*failingCall, message.toStdString());

    LogCapture log;
    RunningLoop loop(log.logger);
    if (loseDevice) {
        QTRY_VERIFY(!loop.observer.frames.isEmpty());
        Emu::loseDevice(0);
    }
    QTRY_VERIFY(loop.observer.ended);
    QCOMPARE(loop.observer.frames.isEmpty(), !loseDevice);
    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith(QLatin1String("warning: Camera grab loop ended: ")) &&
                 lines.first().contains(message),
             qPrintable(lines.first()));
    loop.future.waitForFinished();
    expectEverythingReleased();
    if (devices)
        QVERIFY(!Emu::deviceStats(0).open);
}

void TestCamera::secondLoopOnATakenDeviceFailsWhileFirstStreamsOn()
{
    Emu::setDevices({smallDevice("shared")});
    LogCapture firstLog;
    RunningLoop first(firstLog.logger);
    QTRY_VERIFY(!first.observer.frames.isEmpty());

    LogCapture secondLog;
    RunningLoop second(secondLog.logger);
    QTRY_VERIFY(second.observer.ended);
    QVERIFY(second.observer.frames.isEmpty());
    QCOMPARE(secondLog.lines().size(), 1);
    QVERIFY2(secondLog.lines().first().contains(QLatin1String("already opened")),
             qPrintable(secondLog.lines().first()));

    const int framesSoFar = first.observer.frames.size();
    QTRY_VERIFY(first.observer.frames.size() > framesSoFar + 3);
    QVERIFY(!first.observer.ended);
    QVERIFY(firstLog.lines().isEmpty());
}

void TestCamera::stopEndsAWaitingLoopPromptly()
{
    Emu::DeviceSettings device = smallDevice("silent");
    device.deliversFrames = false;
    Emu::setDevices({device});
    LogCapture log;
    RunningLoop loop(log.logger);
    QTRY_VERIFY(Emu::deviceStats(0).grabsStarted == 1);

    QElapsedTimer clock;
    clock.start();
    loop.worker->stop();
    QTRY_VERIFY_WITH_TIMEOUT(loop.observer.ended, 4000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    loop.future.waitForFinished();
    QVERIFY(loop.observer.frames.isEmpty());
    QVERIFY(log.lines().isEmpty());
    QVERIFY(!Emu::deviceStats(0).open);
    expectEverythingReleased();
}

void TestCamera::stopBeforeTheLoopRunsGrabsNothing()
{
    LogCapture log;
    RunningLoop loop(log.logger, true);
    QTRY_VERIFY(loop.observer.ended);
    QCOMPARE(Emu::deviceStats(0).grabsStarted, 0);
    QVERIFY(log.lines().isEmpty());
    loop.future.waitForFinished();
    expectEverythingReleased();
}

void TestCamera::backlogStaysBoundedWhileTheGuiIsBusy()
{
    Emu::setDevices({smallDevice("fast", 0us)});
    LogCapture log;
    std::atomic<int> emitted{0};
    auto worker = std::make_unique<BaslerWorker>(log.logger);
    LoopObserver observer(worker.get());
    // Counted on the loop's thread, as each frame is emitted.
    connect(worker.get(), &BaslerWorker::imageAcquired, [&emitted] { ++emitted; });
    QFuture<void> future = QtConcurrent::run(QThreadPool::globalInstance(), [&worker] { worker->acquireImages(); });

    // The GUI thread handles no event while the camera delivers a few hundred images.
    QElapsedTimer clock;
    clock.start();
    while (Emu::deviceStats(0).resultsRetrieved < 300 && clock.elapsed() < 20000)
        QThread::yieldCurrentThread();
    QVERIFY(Emu::deviceStats(0).resultsRetrieved >= 300);
    QCOMPARE(emitted.load(), BaslerWorker::MaxQueuedFrames);

    // Once the GUI thread catches up, frames flow again.
    QTRY_VERIFY(observer.frames.size() > BaslerWorker::MaxQueuedFrames + 5);
    worker->stop();
    future.waitForFinished();
}

void TestCamera::moreLoopsThanPoolThreadsAllStream()
{
    // A two-core machine: the pool starts with two threads.
    QThreadPool *pool = QThreadPool::globalInstance();
    const int coreThreads = pool->maxThreadCount();
    pool->setMaxThreadCount(2);

    std::vector<Emu::DeviceSettings> devices;
    for (int i = 0; i < 5; ++i)
        devices.push_back(smallDevice("camera " + std::to_string(i), 10ms));
    Emu::setDevices(devices);
    LogCapture log;
    {
        std::vector<std::unique_ptr<RunningLoop>> loops;
        for (int i = 0; i < 5; ++i)
            loops.push_back(std::make_unique<RunningLoop>(log.logger));
        for (const auto &loop : loops)
            QTRY_VERIFY(!loop->observer.frames.isEmpty());
        for (int i = 0; i < 5; ++i)
            QVERIFY(Emu::deviceStats(std::size_t(i)).open);
    }
    QVERIFY(pool->waitForDone(5000));
    // Every loop gave its extra thread back.
    QCOMPARE(pool->maxThreadCount(), 2);
    pool->setMaxThreadCount(coreThreads);
    QVERIFY(log.lines().isEmpty());
}

void TestCamera::viewIsEmptyBeforeTheFirstFrame()
{
    LogCapture log;
    CameraWidget view(log.logger);
    QLabel *label = frameLabel(&view);
    QVERIFY(label);
    QCOMPARE(label->parentWidget(), &view);
    QVERIFY(label->pixmap().isNull());
    QVERIFY(label->text().isEmpty());
    QVERIFY(!label->hasScaledContents());
    QCOMPARE(label->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
}

void TestCamera::viewStretchesTheLatestFrameOverItsArea()
{
    LogCapture log;
    CameraWidget view(log.logger);
    view.resize(300, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // 4:3, left half red, right half blue.
    QImage frame(80, 60, QImage::Format_RGB32);
    frame.fill(Qt::red);
    for (int y = 0; y < 60; ++y) {
        for (int x = 40; x < 80; ++x)
            frame.setPixel(x, y, qRgb(0, 0, 255));
    }
    view.imageAcquired(frame);

    QLabel *label = frameLabel(&view);
    QCOMPARE(label->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    QCOMPARE(label->sizePolicy().verticalPolicy(), QSizePolicy::Ignored);
    const QImage shown = label->grab().toImage();
    const int w = shown.width();
    const int h = shown.height();
    QVERIFY(w > 200 && h > 200);
    // No border anywhere: the square label is filled, each half stretched on its own.
    QCOMPARE(shown.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(1, h - 2), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(w / 2 - 3, h / 2), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(w / 2 + 3, h / 2), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(w - 2, 1), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(w - 2, h - 2), qRgb(0, 0, 255));

    QImage later(80, 60, QImage::Format_RGB32);
    later.fill(Qt::green);
    view.imageAcquired(later);
    QCOMPARE(label->pixmap().toImage().pixel(70, 5), qRgb(0, 255, 0));
    QCOMPARE(label->grab().toImage().pixel(w - 2, h - 2), qRgb(0, 255, 0));
}

void TestCamera::nullFrameLeavesTheViewBlank()
{
    LogCapture log;
    CameraWidget view(log.logger);
    QImage frame(16, 16, QImage::Format_RGB32);
    frame.fill(Qt::red);
    view.imageAcquired(frame);
    QVERIFY(!frameLabel(&view)->pixmap().isNull());
    view.imageAcquired(QImage());
    QVERIFY(frameLabel(&view)->pixmap().isNull());
}

void TestCamera::viewShrinksBelowTheFrameSize()
{
    LogCapture log;
    QWidget dock;
    auto *layout = new QVBoxLayout(&dock);
    auto *view = new CameraWidget(log.logger);
    layout->addWidget(view);
    QImage frame(640, 480, QImage::Format_RGB32);
    frame.fill(Qt::gray);
    view->imageAcquired(frame);

    dock.resize(120, 90);
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    QVERIFY(dock.minimumSizeHint().width() < 120 && dock.minimumSizeHint().height() < 90);
    QCOMPARE(dock.size(), QSize(120, 90));
    QVERIFY(view->width() <= 120 && view->height() <= 90);
    QVERIFY(frameLabel(view)->width() < 120);
}

void TestCamera::pageListsDevicesByFullNameInSdkOrder()
{
    const std::vector<std::string> names = {"Kamera Z\u00fcrich \u2013 \u00b5-Optik", "\u539f\u5b50 camera B", "C"};
    std::vector<Emu::DeviceSettings> devices;
    for (const auto &name : names)
        devices.push_back(smallDevice(name));
    Emu::setDevices(devices);
    LogCapture log;

    CameraWizard wizard(nullptr, log.logger, nullptr);
    QCOMPARE(wizard.windowTitle(), QStringLiteral("Open Camera Connection"));
    QCOMPARE(wizard.wizardStyle(), QWizard::ModernStyle);
    QVERIFY(!wizard.pixmap(QWizard::BackgroundPixmap).isNull());
    QVERIFY(wizard.pixmap(QWizard::WatermarkPixmap).isNull());

    const auto pages = wizard.findChildren<CameraIntroPage *>();
    QCOMPARE(pages.size(), 1);
    CameraIntroPage *page = pages.first();
    QCOMPARE(page->title(), QStringLiteral("Adding Camera"));
    QLayout *layout = page->layout();
    QCOMPARE(layout->count(), 4);
    auto *intro = qobject_cast<QLabel *>(layout->itemAt(0)->widget());
    auto *name = qobject_cast<QLineEdit *>(layout->itemAt(1)->widget());
    auto *list = qobject_cast<QListWidget *>(layout->itemAt(2)->widget());
    auto *refresh = qobject_cast<QPushButton *>(layout->itemAt(3)->widget());
    QVERIFY(intro && name && list && refresh);
    QVERIFY(intro->wordWrap());
    QVERIFY(intro->text().startsWith(QLatin1String("This wizard will help you find, connect, and rename cameras")));
    QCOMPARE(name->text(), QStringLiteral("Camera 1"));
    QCOMPARE(refresh->text(), QStringLiteral("Refresh"));

    QStringList listed;
    for (int i = 0; i < list->count(); ++i)
        listed << list->item(i)->text();
    QStringList expected;
    for (const auto &deviceName : names)
        expected << QString::fromUtf8(deviceName.c_str());
    QCOMPARE(listed, expected);
    QVERIFY(list->selectedItems().isEmpty());

    // Enumeration alone opens nothing and keeps no hold on the SDK.
    QCOMPARE(Emu::deviceStats(0).devicesCreated, 0);
    expectEverythingReleased();
    QVERIFY(log.lines().isEmpty());

    wizard.show();
    QVERIFY(wizard.button(QWizard::FinishButton)->isVisible());
    QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
}

void TestCamera::pageEnumerationFailureIsLoggedAndListStaysEmpty()
{
    Emu::throwAt(Emu::Call::EnumerateDevices, "bus reset (test)");
    LogCapture log;
    CameraWizard wizard(nullptr, log.logger, nullptr);
    auto *list = wizard.findChild<QListWidget *>();
    QVERIFY(list);
    QCOMPARE(list->count(), 0);
    QCOMPARE(log.lines(), QStringList{"warning: Camera enumeration failed: bus reset (test)"});
    expectEverythingReleased();
}

void TestCamera::finishAddsACameraTabThatShowsFrames()
{
    MainWindow *window = makeWindow();
    window->show();
    auto *manager = window->findChild<ads::CDockManager *>();
    CameraWizard *wizard = makeWizard(window);
    QVERIFY(pressWizardButton(wizard, QWizard::FinishButton));

    QVERIFY(!wizard->isVisible());
    QCOMPARE(wizard->result(), int(QDialog::Accepted));
    QCOMPARE(logLines(window).last(), QStringLiteral("info: Camera has been added"));
    const auto docks = cameraDocks(manager);
    QCOMPARE(docks.size(), 1);
    // A tab beside the welcome dock, in the centre.
    QCOMPARE(docks.first()->dockAreaWidget(), manager->centralWidget()->dockAreaWidget());
    auto *view = qobject_cast<CameraWidget *>(docks.first()->widget());
    QVERIFY(view);

    QTRY_VERIFY(!frameLabel(view)->pixmap().isNull());
    QCOMPARE(frameLabel(view)->pixmap().size(), QSize(1280, 1024));
    QVERIFY(Emu::deviceStats(0).open);
}

void TestCamera::cancelLogsNothingAndCreatesNothing()
{
    MainWindow *window = makeWindow();
    const QStringList logBefore = logLines(window);
    const Emu::DeviceStats before = Emu::deviceStats(0);
    CameraWizard *wizard = makeWizard(window);
    QVERIFY(pressWizardButton(wizard, QWizard::CancelButton));

    QVERIFY(!wizard->isVisible());
    QCOMPARE(wizard->result(), int(QDialog::Rejected));
    QCOMPARE(logLines(window), logBefore);
    QVERIFY(cameraDocks(window->findChild<ads::CDockManager *>()).isEmpty());
    QCOMPARE(Emu::deviceStats(0).devicesCreated, before.devicesCreated);
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
}

void TestCamera::twoFinishedWizardsGiveTwoStreamingTabs()
{
    Emu::setDevices(Emu::defaultDevices(2));
    MainWindow *window = makeWindow();
    window->show();
    auto *manager = window->findChild<ads::CDockManager *>();
    CameraWizard *first = makeWizard(window);
    CameraWizard *second = makeWizard(window);
    first->show();
    second->show();
    first->accept();
    second->accept();

    const auto docks = cameraDocks(manager);
    QCOMPARE(docks.size(), 2);
    for (auto *dock : docks) {
        QCOMPARE(dock->dockAreaWidget(), manager->centralWidget()->dockAreaWidget());
        QTRY_VERIFY(!frameLabel(dock->widget())->pixmap().isNull());
    }
    QVERIFY(Emu::deviceStats(0).open && Emu::deviceStats(1).open);
    QCOMPARE(logLines(window).count(QStringLiteral("info: Camera has been added")), 2);
}

void TestCamera::closingTheWindowStopsEveryLoopPromptly()
{
    Emu::setDevices(Emu::defaultDevices(4));
    MainWindow *window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (int i = 0; i < 4; ++i) {
        CameraWizard *wizard = makeWizard(window);
        QVERIFY(pressWizardButton(wizard, QWizard::FinishButton));
    }
    for (auto *dock : cameraDocks(window->findChild<ads::CDockManager *>()))
        QTRY_VERIFY(!frameLabel(dock->widget())->pixmap().isNull());

    // As in main(): the last window closes, the event loop returns, the pool is waited for.
    QTimer::singleShot(0, window, &QWidget::close);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QElapsedTimer clock;
    clock.start();
    const int exitCode = QApplication::exec();
    const bool loopsEnded = QThreadPool::globalInstance()->waitForDone(5000);
    const qint64 elapsed = clock.elapsed();
    watchdog.stop();
    if (!loopsEnded)
        // The wizards' workers are nobody's to stop: take their devices away.
        WorkspaceSupport::endCameraLoops();
    QVERIFY(loopsEnded);

    qInfo("four streaming cameras: %lld ms from closing the window to the pool's end", elapsed);
    QCOMPARE(exitCode, 0);
    QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    for (std::size_t i = 0; i < 4; ++i)
        QVERIFY(!Emu::deviceStats(i).open);
    expectEverythingReleased();
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    // Frames still queued for the views are dropped with them.
    m_window.reset();
    QCoreApplication::processEvents();
}

void TestCamera::realExecutableExitsPromptlyWhenItsWindowCloses()
{
    for (const char *tool : {"Xvfb", "openbox", "wmctrl"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
    }
    // A private X server with a window manager, so that the window is closed from
    // outside, as the operator closes it.
    QProcess server;
    server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForReadyRead(10000));
    const QString display = QStringLiteral(":") + QString::fromLatin1(server.readLine()).trimmed();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("VELORA_EMULATED_CAMERAS"), QStringLiteral("4"));
    auto wmctrl = [&environment](const QStringList &arguments) {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral("wmctrl"), arguments);
        tool.waitForFinished(5000);
        return QString::fromUtf8(tool.readAllStandardOutput());
    };
    QProcess windowManager;
    windowManager.setProcessEnvironment(environment);
    windowManager.start(QStringLiteral("openbox"), {});
    // A window mapped while the manager is still starting can stay unmapped.
    QTRY_VERIFY_WITH_TIMEOUT(wmctrl({"-m"}).contains(QLatin1String("Openbox")), 30000);

    QProcess velora;
    velora.setProcessEnvironment(environment);
    velora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    velora.start(QStringLiteral(VELORA_EXECUTABLE), {});
    QVERIFY(velora.waitForStarted(10000));
    const QString title = QStringLiteral("Velora - untitled project");
    QTRY_VERIFY_WITH_TIMEOUT(wmctrl({"-l"}).contains(title), 30000);

    QElapsedTimer clock;
    clock.start();
    wmctrl({"-c", title});
    const bool exited = velora.waitForFinished(10000);
    const qint64 elapsed = clock.elapsed();
    if (!exited)
        velora.kill();
    windowManager.terminate();
    windowManager.waitForFinished(5000);
    server.terminate();
    server.waitForFinished(5000);

    qInfo("velora: %lld ms from the close request to the process's exit", elapsed);
    QVERIFY(exited);
    QCOMPARE(velora.exitStatus(), QProcess::NormalExit);
    QCOMPARE(velora.exitCode(), 0);
    QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

QTEST_MAIN(TestCamera)
#include "tst_camera.moc"
