// Cost of one camera frame on its way to the screen, at 1920 x 1200 Mono8:
// the worker's part (convert, wrap, scale, RGB32) on the loop's thread and the
// view's part (pixmap, synchronous paint) on the GUI thread, beside a plain
// memcpy of one RGB32 frame as the bound. Scaling an image to its own size and
// making a pixmap of an RGB32 image share the pixels here and cost nothing on
// their own, so they are measured only within the whole frame.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_framepath [seconds per figure]

#include "Widgets/camerawidget.h"
#include "Workers/baslerworker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <pylon/EmulationControl.h>
#include <pylon/PylonIncludes.h>
#include <spdlog/spdlog.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t Width = 1920;
constexpr std::uint32_t Height = 1200;

double secondsPerFigure = 2.0;

/// Runs `step` for about secondsPerFigure and prints its cost per call.
void measure(const char *what, const std::function<void()> &step)
{
    step(); // warm caches and lazy allocations
    QElapsedTimer clock;
    clock.start();
    long calls = 0;
    while (clock.nsecsElapsed() < qint64(secondsPerFigure * 1e9)) {
        step();
        ++calls;
    }
    const double msPerCall = clock.nsecsElapsed() / 1e6 / double(calls);
    std::printf("%-52s %8.3f ms %9.1f frames/s\n", what, msPerCall, 1000.0 / msPerCall);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1)
        secondsPerFigure = std::atof(argv[1]);

    // A camera that delivers at once, with a fixed noisy image.
    Pylon::Emulation::DeviceSettings device;
    device.fullName = "bench";
    device.width = Width;
    device.height = Height;
    device.framePeriod = std::chrono::microseconds(0);
    device.image.resize(std::size_t(Width) * Height);
    std::mt19937 random(1);
    for (auto &pixel : device.image)
        pixel = std::uint8_t(random());
    Pylon::Emulation::setDevices({device});

    Pylon::PylonAutoInitTerm autoInitTerm;
    Pylon::CInstantCamera camera(Pylon::CTlFactory::GetInstance().CreateFirstDevice());
    camera.StartGrabbing(Pylon::GrabStrategy_OneByOne, Pylon::GrabLoop_ProvidedByUser);
    Pylon::CGrabResultPtr grabRes;
    camera.RetrieveResult(5000, grabRes, Pylon::TimeoutHandling_Return);

    std::printf("Frame path at %u x %u Mono8, %.1f s per figure\n\n", Width, Height, secondsPerFigure);

    QImage rgb32(int(Width), int(Height), QImage::Format_RGB32);
    std::vector<uchar> copy(rgb32.sizeInBytes());
    measure("bound: memcpy of one RGB32 frame", [&] { std::memcpy(copy.data(), rgb32.constBits(), copy.size()); });

    measure("emulated camera: retrieve one result",
            [&] { camera.RetrieveResult(5000, grabRes, Pylon::TimeoutHandling_Return); });

    Pylon::CImageFormatConverter fc;
    fc.OutputPixelFormat = Pylon::PixelType_RGB8packed;
    Pylon::CPylonImage converted;
    measure("worker: convert Mono8 -> RGB8", [&] { fc.Convert(converted, grabRes); });
    const QImage wrapped(static_cast<const uchar *>(converted.GetBuffer()), int(Width), int(Height),
                         int(converted.GetAllocatedBufferSize() / Height), QImage::Format_RGB888);
    measure("worker: RGB888 -> RGB32", [&] { rgb32 = wrapped.convertToFormat(QImage::Format_RGB32, Qt::AutoColor); });
    // Each frame a new image, as from the camera: the view must not get away with a cached one.
    std::vector<QImage> frames(4);
    std::size_t next = 0;
    measure("worker: whole frame (BaslerWorker)",
            [&] { frames[next++ % frames.size()] = BaslerWorker::frameFromGrabResult(grabRes); });
    auto nextFrame = [&] { return frames[next++ % frames.size()]; };

    auto logger = spdlog::default_logger();
    CameraWidget view(logger);
    view.resize(960, 600);
    view.show();
    app.processEvents();
    measure("view: whole frame, 960 x 600 view (CameraWidget)", [&] { view.imageAcquired(nextFrame()); });
    view.resize(1920, 1200);
    app.processEvents();
    measure("view: whole frame, 1920 x 1200 view (CameraWidget)", [&] { view.imageAcquired(nextFrame()); });
    return 0;
}
