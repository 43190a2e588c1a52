#include "Widgets/camerawidget.h"
#include "Wizards/camerawizard.h"
#include "Workers/baslerworker.h"
#include "mainwindow.h"

#include "workspacesupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScopeGuard>
#include <QTest>
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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace Emu = Pylon::Emulation;
using namespace std::chrono_literals;
using OptionalCall = std::optional<Emu::Call>;

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

/// One worker whose loop runs on the global pool; its signals are received in the
/// GUI thread, queued, as a camera view receives them. Stopped and waited for on destruction.
class RunningLoop : public QObject
{
public:
    explicit RunningLoop(std::shared_ptr<spdlog::logger> logger, bool stopFirst = false)
        : worker(std::move(logger))
    {
        connect(&worker, &BaslerWorker::imageAcquired, this, [this](const QImage &frame) { frames << frame; });
        // Counted on the loop's thread, as each frame is emitted.
        connect(
            &worker, &BaslerWorker::imageAcquired, this, [this] { ++emitted; }, Qt::DirectConnection);
        connect(&worker, &BaslerWorker::finished, this, [this] { ended = true; });
        if (stopFirst)
            worker.stop();
        future = QtConcurrent::run(QThreadPool::globalInstance(), [this] { worker.acquireImages(); });
    }
    ~RunningLoop() override
    {
        worker.stop();
        future.waitForFinished();
    }

    BaslerWorker worker;
    QList<QImage> frames;
    bool ended = false;
    std::atomic<int> emitted{0};
    QFuture<void> future;
};

/// What ends a grab loop.
enum Ending { NoCamera, ConversionFails, DeviceLost, Stop, StopFirst };

/// Waits without handling events, so that nothing the loops emit is delivered meanwhile.
bool spinUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

// "[2026-12-07 10:00:00.123] [mvl_logger] [info] No devices found" -> "info: No devices found"
QStringList logLines(MainWindow *window)
{
    return WorkspaceSupport::logEntries(WorkspaceSupport::logPanel(window));
}

QLabel *frameLabel(QWidget *view)
{
    return view->findChild<QLabel *>();
}

bool everythingReleased()
{
    return Emu::initialisationCount() == 0 && Emu::liveDeviceObjects() == 0;
}

} // namespace

class TestCamera : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void probeLogsItsOutcomeAndReleasesEverything_data();
    void probeLogsItsOutcomeAndReleasesEverything();

    void frameHasCameraSizeAndConvertedPixels_data();
    void frameHasCameraSizeAndConvertedPixels();
    void unusableResultsEmitNothingAndLoopGoesOn_data();
    void unusableResultsEmitNothingAndLoopGoesOn();
    void loopEndsPromptlyOnStopOrFailure_data();
    void loopEndsPromptlyOnStopOrFailure();
    void stopRacesTheLoopsOwnEnding();
    void firstDeviceIsTheFirstAttachedCamera();
    void loopsOneAfterTheOtherShareTheFirstDeviceUnlessExclusive_data();
    void loopsOneAfterTheOtherShareTheFirstDeviceUnlessExclusive();
    void moreLoopsThanPoolThreadsStreamWithABoundedBacklog();

    void viewShowsTheLatestFrameStretchedOverItsArea();

    void pageListsDevicesOrLogsEnumerationFailure();
    void wizardButtonsAddStreamingCameraTabs_data();
    void wizardButtonsAddStreamingCameraTabs();

private:
    std::unique_ptr<MainWindow> m_window;
    std::vector<std::unique_ptr<CameraWizard>> m_wizards;
};

void TestCamera::cleanup()
{
    // The wizards' workers are nobody's to stop: take their devices away. Each
    // case then starts from the emulator's default state.
    WorkspaceSupport::endCameraLoops();
    m_wizards.clear();
    m_window.reset();
    // The window registers its logger process-wide; each case starts afresh.
    spdlog::drop_all();
    Emu::reset();
}

void TestCamera::probeLogsItsOutcomeAndReleasesEverything_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<OptionalCall>("failingCall");
    QTest::addColumn<QStringList>("log");

    const QString setUp = QStringLiteral("info: Logger Setup Complete.");
    const QString failed = QStringLiteral("warning: Camera probe failed: ");
    const QStringList boom{setUp, failed + "boom"};
    QTest::newRow("no device") << 0 << OptionalCall() << QStringList{setUp, "info: No devices found"};
    QTest::newRow("one device") << 1 << OptionalCall() << QStringList{setUp};
    QTest::newRow("two devices") << 2 << OptionalCall() << QStringList{setUp};
    QTest::newRow("enumeration fails") << 1 << OptionalCall(Emu::Call::EnumerateDevices) << boom;
    QTest::newRow("device creation fails") << 1 << OptionalCall(Emu::Call::CreateDevice) << boom;
    QTest::newRow("grab start fails") << 1 << OptionalCall(Emu::Call::StartGrabbing) << boom;
}

void TestCamera::probeLogsItsOutcomeAndReleasesEverything()
{
    QFETCH(int, devices);
    QFETCH(OptionalCall, failingCall);
    QFETCH(QStringList, log);
    std::vector<Emu::DeviceSettings> all{smallDevice("first"), smallDevice("second")};
    all.resize(std::size_t(devices));
    Emu::setDevices(all);
    if (failingCall)
        Emu::throwAt(*failingCall, "boom");

    m_window = std::make_unique<MainWindow>();
    QCOMPARE(logLines(m_window.get()), log);
    QVERIFY(everythingReleased());
    if (log.size() == 1) {
        // A one-image grab was started on the first device only, and nothing retrieved.
        QCOMPARE(Emu::deviceStats(0).grabsStarted, 1);
        QCOMPARE(Emu::deviceStats(0).resultsRetrieved, 0);
        QCOMPARE(Emu::deviceStats(0).openCameras, 0);
        if (devices > 1)
            QCOMPARE(Emu::deviceStats(1).devicesCreated, 0);
    }
}

void TestCamera::frameHasCameraSizeAndConvertedPixels_data()
{
    QTest::addColumn<int>("pixelType");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("rowPadding");
    QTest::addColumn<QByteArray>("expected"); // RGB888, 3 x 2

    // Three pixels wide: an RGB8 row of 9 bytes is not a multiple of 4.
    const QByteArray rgb("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12", 18);
    const QByteArray mono("\x0a\x14\x1e\x28\x32\xff", 6);
    const QByteArray grey("\x0a\x0a\x0a\x14\x14\x14\x1e\x1e\x1e\x28\x28\x28\x32\x32\x32\xff\xff\xff", 18);
    QTest::newRow("Mono8") << int(Pylon::PixelType_Mono8) << mono << 0 << grey;
    QTest::newRow("RGB8") << int(Pylon::PixelType_RGB8packed) << rgb << 0 << rgb;
    QTest::newRow("Mono8, padded rows") << int(Pylon::PixelType_Mono8) << mono << 5 << grey;
    QTest::newRow("RGB8, padded rows") << int(Pylon::PixelType_RGB8packed) << rgb << 3 << rgb;
}

void TestCamera::frameHasCameraSizeAndConvertedPixels()
{
    QFETCH(int, pixelType);
    QFETCH(QByteArray, source);
    QFETCH(int, rowPadding);
    QFETCH(QByteArray, expected);
    Emu::DeviceSettings device = smallDevice("fixed");
    device.width = 3;
    device.height = 2;
    device.pixelType = Pylon::EPixelType(pixelType);
    device.image.assign(source.begin(), source.end());
    Emu::setDevices({device});
    Emu::setConvertedRowPadding(std::size_t(rowPadding));

    LogCapture log;
    RunningLoop loop(log.logger);
    QTRY_VERIFY(!loop.frames.isEmpty());
    const QImage rgb888(reinterpret_cast<const uchar *>(expected.constData()), 3, 2, 9, QImage::Format_RGB888);
    QCOMPARE(loop.frames.first(), rgb888.convertToFormat(QImage::Format_RGB32));
}

void TestCamera::unusableResultsEmitNothingAndLoopGoesOn_data()
{
    QTest::addColumn<int>("failEvery");
    QTest::addColumn<bool>("heightZero");
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<int>("retrieved");
    QTest::addColumn<int>("frames");
    QTest::newRow("failed grabs") << 1 << false << 2 << 10 << 0;
    QTest::newRow("converted height 0") << 0 << true << 2 << 10 << 0;
    // The first frame comes after the worker's 5 s wait has run out once.
    QTest::newRow("timed-out retrieval") << 0 << false << 5300 << 1 << 1;
}

void TestCamera::unusableResultsEmitNothingAndLoopGoesOn()
{
    QFETCH(int, failEvery);
    QFETCH(bool, heightZero);
    QFETCH(int, periodMs);
    QFETCH(int, retrieved);
    QFETCH(int, frames);
    Emu::DeviceSettings device = smallDevice("unusable", std::chrono::milliseconds(periodMs));
    device.failEvery = std::uint32_t(failEvery);
    Emu::setDevices({device});
    Emu::setConvertedHeightZero(heightZero);

    LogCapture log;
    RunningLoop loop(log.logger);
    QTRY_VERIFY_WITH_TIMEOUT(Emu::deviceStats(0).resultsRetrieved >= retrieved, 15000);
    QCoreApplication::processEvents();
    // The count goes up as a result is retrieved, before the loop converts and emits it.
    QTRY_COMPARE(loop.frames.size(), frames);
    QVERIFY(!loop.ended);
    QVERIFY(log.lines().isEmpty());
}

void TestCamera::loopEndsPromptlyOnStopOrFailure_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no camera") << NoCamera << "No device is available that matches the given device info.";
    QTest::newRow("conversion fails") << ConversionFails << "boom";
    QTest::newRow("device lost while grabbing") << DeviceLost << "The device only has been removed while grabbing.";
    QTest::newRow("stop while waiting for a frame") << Stop << QString();
    QTest::newRow("stop before the loop runs") << StopFirst << QString();
}

void TestCamera::loopEndsPromptlyOnStopOrFailure()
{
    QFETCH(Ending, ending);
    QFETCH(QString, warning);
    Emu::DeviceSettings device = smallDevice("only");
    // A stop must also end a loop that waits for a frame.
    device.deliversFrames = ending != Stop && ending != StopFirst;
    Emu::setDevices(ending == NoCamera ? std::vector<Emu::DeviceSettings>() : std::vector{device});
    if (ending == ConversionFails)
        Emu::throwAt(Emu::Call::Convert, "boom");

    LogCapture log;
    QElapsedTimer clock;
    clock.start();
    RunningLoop loop(log.logger, ending == StopFirst);
    if (ending == DeviceLost) {
        QTRY_VERIFY(!loop.frames.isEmpty());
        clock.restart();
        Emu::loseDevice(0);
    } else if (ending == Stop) {
        QTRY_COMPARE(Emu::deviceStats(0).grabsStarted, 1);
        clock.restart();
        loop.worker.stop();
    }
    // Well within the worker's 5 s wait for a frame.
    QTRY_VERIFY_WITH_TIMEOUT(loop.ended, 4000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    QCOMPARE(loop.frames.isEmpty(), ending != DeviceLost);
    QCOMPARE(log.lines(),
             warning.isEmpty() ? QStringList() : QStringList{"warning: Camera grab loop ended: " + warning});
    if (ending == StopFirst)
        QCOMPARE(Emu::deviceStats(0).grabsStarted, 0);
    QVERIFY(everythingReleased());
}

void TestCamera::stopRacesTheLoopsOwnEnding()
{
    // stop() reaches the loop's camera from another thread: it must never find
    // one that the ending loop has already destroyed.
    constexpr int Rounds = 300;
    const QStringList lostWarning{
        "warning: Camera grab loop ended: The device racing has been removed while grabbing."};
    int endedByLoss = 0;
    for (int round = 0; round < Rounds; ++round) {
        Emu::setDevices({smallDevice("racing", 0us)});
        LogCapture log;
        bool ended = false;
        {
            RunningLoop loop(log.logger);
            if (!spinUntil([] { return Emu::deviceStats(0).resultsRetrieved > 0; }, 5000))
                QFAIL("the loop did not start grabbing");
            // The stopper waits, spinning, so that it starts with the loss and not a thread start later.
            std::atomic<bool> go{false};
            std::atomic<bool> done{false};
            std::thread stopper([&] {
                while (!go)
                    QThread::yieldCurrentThread();
                while (!done)
                    loop.worker.stop();
            });
            Emu::loseDevice(0);
            go = true;
            ended = spinUntil([&] { return loop.future.isFinished(); }, 5000);
            done = true;
            stopper.join();
        }
        QVERIFY2(ended, qPrintable(QStringLiteral("round %1").arg(round)));
        // Whichever came first ended it: the stop quietly, the lost device with its warning.
        const QStringList lines = log.lines();
        QVERIFY2(lines.isEmpty() || lines == lostWarning, qPrintable(lines.join('\n')));
        endedByLoss += lines.isEmpty() ? 0 : 1;
        QVERIFY(everythingReleased());
    }
    qInfo("%d of %d rounds ended by the lost device", endedByLoss, Rounds);
}

void TestCamera::firstDeviceIsTheFirstAttachedCamera()
{
    Emu::setDevices({smallDevice("first"), smallDevice("second"), smallDevice("third")});
    Pylon::PylonAutoInitTerm autoInitTerm;
    Pylon::CTlFactory &factory = Pylon::CTlFactory::GetInstance();
    auto firstDeviceName = [&factory] {
        const Pylon::CInstantCamera camera(factory.CreateFirstDevice(Pylon::CDeviceInfo()));
        return QString::fromStdString(camera.GetDeviceInfo().GetFullName());
    };
    Pylon::DeviceInfoList devices;
    factory.EnumerateDevices(devices);
    QCOMPARE(QString::fromStdString(devices[0].GetFullName()), QStringLiteral("first"));

    // A device made while another one for the same camera exists is that camera too.
    const Pylon::CInstantCamera held(factory.CreateFirstDevice(Pylon::CDeviceInfo()));
    QCOMPARE(QString::fromStdString(held.GetDeviceInfo().GetFullName()), QStringLiteral("first"));
    QCOMPARE(firstDeviceName(), QStringLiteral("first"));
    QCOMPARE(Emu::deviceStats(0).devicesCreated, 2);
    QCOMPARE(Emu::deviceStats(1).devicesCreated + Emu::deviceStats(2).devicesCreated, 0);

    // A lost camera is no longer attached.
    Emu::loseDevice(0);
    QCOMPARE(firstDeviceName(), QStringLiteral("second"));
}

void TestCamera::loopsOneAfterTheOtherShareTheFirstDeviceUnlessExclusive_data()
{
    QTest::addColumn<bool>("exclusive");
    QTest::newRow("shared, by default") << false;
    QTest::newRow("exclusive") << true;
}

void TestCamera::loopsOneAfterTheOtherShareTheFirstDeviceUnlessExclusive()
{
    QFETCH(bool, exclusive);
    Emu::setDevices({smallDevice("first"), smallDevice("second"), smallDevice("third")});
    Emu::setExclusiveAccess(exclusive);

    LogCapture firstLog;
    RunningLoop first(firstLog.logger);
    QTRY_VERIFY(!first.frames.isEmpty());
    LogCapture secondLog;
    RunningLoop second(secondLog.logger);
    if (exclusive) {
        QTRY_VERIFY(second.ended);
        QVERIFY(second.frames.isEmpty());
        QCOMPARE(secondLog.lines(), QStringList{"warning: Camera grab loop ended: The device first is already "
                                                "opened by another camera (exclusive access)."});
    } else {
        QTRY_VERIFY(!second.frames.isEmpty());
        QVERIFY(!second.ended);
        QVERIFY(secondLog.lines().isEmpty());
    }
    QCOMPARE(Emu::deviceStats(0).openCameras, exclusive ? 1 : 2);
    QCOMPARE(Emu::deviceStats(1).devicesCreated + Emu::deviceStats(2).devicesCreated, 0);

    // The first loop streams on, unharmed.
    const int framesSoFar = first.frames.size();
    QTRY_VERIFY(first.frames.size() > framesSoFar + 3);
    QVERIFY(!first.ended);
    QVERIFY(firstLog.lines().isEmpty());
}

void TestCamera::moreLoopsThanPoolThreadsStreamWithABoundedBacklog()
{
    // A two-core machine: the pool starts with two threads. Restored also when a
    // check fails, or every later case would run on that pool.
    QThreadPool *pool = QThreadPool::globalInstance();
    const int coreThreads = pool->maxThreadCount();
    const auto restorePool = qScopeGuard([pool, coreThreads] { pool->setMaxThreadCount(coreThreads); });
    pool->setMaxThreadCount(2);
    constexpr int Loops = 5;
    Emu::setDevices({smallDevice("shared", 0us)});
    LogCapture log;
    {
        std::vector<std::unique_ptr<RunningLoop>> loops;
        for (int i = 0; i < Loops; ++i)
            loops.push_back(std::make_unique<RunningLoop>(log.logger));
        // The GUI thread handles no event: every loop fills its backlog, then goes
        // on retrieving a few hundred images more each.
        QVERIFY(spinUntil([&] { return Emu::deviceStats(0).openCameras == Loops; }, 20000));
        QVERIFY(spinUntil(
            [&] {
                return std::all_of(loops.begin(), loops.end(), [](const auto &loop) { return loop->emitted >= 3; });
            },
            20000));
        const int retrieved = Emu::deviceStats(0).resultsRetrieved;
        QVERIFY(spinUntil([&] { return Emu::deviceStats(0).resultsRetrieved >= retrieved + Loops * 300; }, 20000));
        for (const auto &loop : loops)
            QCOMPARE(loop->emitted.load(), 3);
        // Once the GUI thread catches up, frames flow again.
        for (const auto &loop : loops)
            QTRY_VERIFY(loop->frames.size() > 3 + 5);
    }
    QVERIFY(pool->waitForDone(5000));
    // Every loop gave its extra thread back.
    QCOMPARE(pool->maxThreadCount(), 2);
}

void TestCamera::viewShowsTheLatestFrameStretchedOverItsArea()
{
    LogCapture log;
    QWidget dock;
    auto *view = new CameraWidget(log.logger);
    (new QVBoxLayout(&dock))->addWidget(view);
    QLabel *label = frameLabel(view);
    QVERIFY(label->pixmap().isNull());

    // 4:3 and larger than the square area it is shown in; left half red, right half blue.
    QImage frame(640, 480, QImage::Format_RGB32);
    frame.fill(Qt::red);
    QPainter(&frame).fillRect(320, 0, 320, 480, Qt::blue);
    view->imageAcquired(frame);
    dock.resize(150, 150);
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    // The frame's size does not hold the view open.
    QCOMPARE(dock.size(), QSize(150, 150));

    // No border anywhere: the square label is filled, each half stretched on its own.
    const QImage shown = label->grab().toImage();
    const int w = shown.width();
    const int h = shown.height();
    QCOMPARE(shown.pixel(1, 1), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(w / 2 - 3, h - 2), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(w / 2 + 3, 1), qRgb(0, 0, 255));
    QCOMPARE(shown.pixel(w - 2, h - 2), qRgb(0, 0, 255));

    // A later frame replaces it; a null one leaves the view blank.
    frame.fill(Qt::green);
    view->imageAcquired(frame);
    QCOMPARE(label->grab().toImage().pixel(w - 2, h - 2), qRgb(0, 255, 0));
    view->imageAcquired(QImage());
    QVERIFY(label->pixmap().isNull());
}

void TestCamera::pageListsDevicesOrLogsEnumerationFailure()
{
    const QStringList names{QStringLiteral("Kamera Z\u00fcrich \u2013 \u00b5-Optik"),
                            QStringLiteral("\u539f\u5b50 camera B"), QStringLiteral("C")};
    std::vector<Emu::DeviceSettings> devices;
    for (const QString &name : names)
        devices.push_back(smallDevice(name.toStdString()));
    Emu::setDevices(devices);
    LogCapture log;
    auto listed = [&log] {
        CameraWizard wizard(nullptr, log.logger, nullptr);
        QStringList result;
        for (auto *list : wizard.findChildren<QListWidget *>()) {
            for (int i = 0; i < list->count(); ++i)
                result << list->item(i)->text();
        }
        return result;
    };

    QCOMPARE(listed(), names);
    QVERIFY(log.lines().isEmpty());
    // Enumeration alone opens nothing and keeps no hold on the SDK.
    QCOMPARE(Emu::deviceStats(0).devicesCreated, 0);
    QVERIFY(everythingReleased());

    Emu::throwAt(Emu::Call::EnumerateDevices, "bus reset");
    QCOMPARE(listed(), QStringList());
    QCOMPARE(log.lines(), QStringList{"warning: Camera enumeration failed: bus reset"});
    QVERIFY(everythingReleased());
}

void TestCamera::wizardButtonsAddStreamingCameraTabs_data()
{
    QTest::addColumn<int>("wizards");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("closeWindow");
    QTest::addColumn<bool>("floatDocks");
    QTest::newRow("Finish") << 1 << false << false << false;
    QTest::newRow("Finish in two wizards open together") << 2 << false << false << false;
    QTest::newRow("Cancel") << 1 << true << false << false;
    QTest::newRow("four streaming cameras, then the window closes") << 4 << false << true << false;
    // A floating window of the docking library only hides when it is closed, so the
    // window closes for good only if it takes them with it.
    QTest::newRow("four streaming cameras, docks floating, then the window closes") << 4 << false << true << true;
}

void TestCamera::wizardButtonsAddStreamingCameraTabs()
{
    QFETCH(int, wizards);
    QFETCH(bool, cancel);
    QFETCH(bool, closeWindow);
    QFETCH(bool, floatDocks);
    Emu::setDevices(Emu::defaultDevices(4));
    m_window = std::make_unique<MainWindow>();
    MainWindow *window = m_window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *manager = window->findChild<ads::CDockManager *>();
    const QStringList logBefore = logLines(window);

    // The wizards open side by side, then the operator presses the button in each.
    for (int i = 0; i < wizards; ++i) {
        m_wizards.push_back(std::make_unique<CameraWizard>(manager, spdlog::get("mvl_logger"), nullptr));
        m_wizards.back()->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_wizards.back().get()));
    }
    for (const auto &wizard : m_wizards) {
        // The entry chosen makes no difference: every view shows the first camera.
        wizard->findChild<QListWidget *>()->setCurrentRow(2);
        QTest::mouseClick(wizard->button(cancel ? QWizard::CancelButton : QWizard::FinishButton), Qt::LeftButton);
        QVERIFY(!wizard->isVisible());
    }

    const int added = cancel ? 0 : wizards;
    QCOMPARE(logLines(window), logBefore + QStringList(added, QStringLiteral("info: Camera has been added")));
    const auto docks = cameraDocks(manager);
    QCOMPARE(docks.size(), added);
    for (auto *dock : docks) {
        // A tab beside the welcome dock, in the centre, showing the camera's frames.
        QCOMPARE(dock->dockAreaWidget(), manager->centralWidget()->dockAreaWidget());
        QTRY_VERIFY(!frameLabel(dock->widget())->pixmap().isNull());
        QCOMPARE(frameLabel(dock->widget())->pixmap().size(), QSize(1280, 1024));
    }
    // Every view streams from the first camera, which each has open for itself.
    QCOMPARE(Emu::deviceStats(0).openCameras, added);
    for (std::size_t i = 1; i < 4; ++i)
        QCOMPARE(Emu::deviceStats(i).devicesCreated, 0);
    if (cancel)
        QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    if (!closeWindow)
        return;
    if (floatDocks) {
        // Both side docks and one camera view float; a second camera view floats
        // and is closed again, which only hides its floating window.
        QList<ads::CDockWidget *> floating = {WorkspaceSupport::dockTitled(window, QStringLiteral("Property Table")),
                                              WorkspaceSupport::dockTitled(window, QStringLiteral("MVL Logger")),
                                              docks.at(0), docks.at(1)};
        for (auto *dock : floating) {
            // As a double-click on its tab does: the tab is the current one first.
            dock->setAsCurrentTab();
            dock->setFloating();
            QVERIFY(dock->isFloating());
            QVERIFY(dock->window() != window);
            QVERIFY(dock->window()->isVisible());
        }
        docks.at(1)->window()->close();
        QVERIFY(!docks.at(1)->window()->isVisible());
    }

    // As in main(): the last window closes, the event loop returns, the pool is waited for.
    QTimer::singleShot(0, window, &QWidget::close);
    QObject watchdog;
    QTimer::singleShot(10000, &watchdog, [] { QCoreApplication::exit(99); });
    QElapsedTimer clock;
    clock.start();
    const int exitCode = QCoreApplication::exec();
    const bool loopsEnded = QThreadPool::globalInstance()->waitForDone(5000);
    const qint64 elapsed = clock.elapsed();
    qInfo("four streaming cameras: %lld ms from closing the window to the pool's end", elapsed);
    QCOMPARE(exitCode, 0);
    QVERIFY(loopsEnded);
    QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QVERIFY(everythingReleased());
    // Frames still queued for the views are dropped with them.
    m_window.reset();
    QCoreApplication::processEvents();
}

QTEST_MAIN(TestCamera)
#include "tst_camera.moc"
