#include "Workers/baslerworker.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <pylon/PylonIncludes.h>
#include <spdlog/spdlog.h>

namespace {

constexpr unsigned int RetrieveTimeoutMs = 5000;

/// A loop holds its pool thread for as long as it runs. The global pool's
/// maximum is the core count, so without this a loop on a small machine would
/// wait for ever behind the others; each running loop adds one thread for itself.
class PoolThreadReservation
{
public:
    PoolThreadReservation() { adjust(+1); }
    ~PoolThreadReservation() { adjust(-1); }

    PoolThreadReservation(const PoolThreadReservation &) = delete;
    PoolThreadReservation &operator=(const PoolThreadReservation &) = delete;

private:
    static void adjust(int delta)
    {
        static std::mutex mutex;
        std::lock_guard<std::mutex> lock(mutex);
        QThreadPool *pool = QThreadPool::globalInstance();
        pool->setMaxThreadCount(pool->maxThreadCount() + delta);
    }
};

} // namespace

BaslerWorker::BaslerWorker(std::shared_ptr<spdlog::logger> logger)
    : QObject(nullptr)
    , m_logger(std::move(logger))
{
    // Stopped here so that the global pool can finish before the application object goes.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &BaslerWorker::stop);
}

BaslerWorker::~BaslerWorker() = default;

void BaslerWorker::start() {}

void BaslerWorker::stop()
{
    std::lock_guard<std::mutex> lock(m_cameraMutex);
    m_stopRequested = true;
    if (m_camera)
        m_camera->StopGrabbing();
}

void BaslerWorker::acquireImages()
{
    PoolThreadReservation reservation;
    // Queued after the receivers connected so far, so it runs right after they
    // have handled the same frame.
    connect(this, &BaslerWorker::imageAcquired, this, &BaslerWorker::frameDelivered,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    try {
        grabLoop();
    } catch (const Pylon::GenericException &e) {
        m_logger->warn("Camera grab loop ended: {}", e.GetDescription());
    } catch (...) {
        emit finished();
        throw;
    }
    emit finished();
}

void BaslerWorker::grabLoop()
{
    Pylon::PylonAutoInitTerm autoInitTerm;
    Pylon::CInstantCamera camera(Pylon::CTlFactory::GetInstance().CreateFirstDevice(Pylon::CDeviceInfo()),
                                 Pylon::Cleanup_Delete);
    {
        // Under the lock, so that a stop() cannot fall between the test and the start.
        std::lock_guard<std::mutex> lock(m_cameraMutex);
        if (!m_stopRequested)
            camera.StartGrabbing(Pylon::GrabStrategy_OneByOne, Pylon::GrabLoop_ProvidedByUser);
        m_camera = &camera;
    }
    struct Unpublish
    {
        BaslerWorker *worker;
        ~Unpublish()
        {
            std::lock_guard<std::mutex> lock(worker->m_cameraMutex);
            worker->m_camera = nullptr;
        }
    } unpublish{this};

    Pylon::CGrabResultPtr grabRes;
    while (camera.IsGrabbing()) {
        if (!camera.RetrieveResult(RetrieveTimeoutMs, grabRes, Pylon::TimeoutHandling_Return))
            continue;
        if (!grabRes->GrabSucceeded())
            continue;
        if (m_queuedFrames.load() >= MaxQueuedFrames)
            continue;
        const QImage frame = frameFromGrabResult(grabRes);
        if (frame.isNull())
            continue;
        ++m_queuedFrames;
        emit imageAcquired(frame);
    }
}

void BaslerWorker::frameDelivered()
{
    --m_queuedFrames;
}

QImage BaslerWorker::frameFromGrabResult(const Pylon::CGrabResultPtr &grabRes)
{
    Pylon::CImageFormatConverter fc;
    fc.OutputPixelFormat = Pylon::PixelType_RGB8packed;
    Pylon::CPylonImage pylonImage;
    fc.Convert(pylonImage, grabRes);

    const int width = int(pylonImage.GetWidth());
    const int height = int(pylonImage.GetHeight());
    if (height == 0)
        return {};
    // The converter may pad its rows: the row length comes from the buffer, not from the width.
    const int bytesPerLine = int(pylonImage.GetAllocatedBufferSize() / pylonImage.GetHeight());
    const QImage img(static_cast<const uchar *>(pylonImage.GetBuffer()), width, height, bytesPerLine,
                     QImage::Format_RGB888);
    return img.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32, Qt::AutoColor);
}
