#pragma once

#include <QImage>
#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

namespace Pylon {
class CGrabResultPtr;
class CInstantCamera;
} // namespace Pylon
namespace spdlog {
class logger;
}

/// Grabs from the first attached camera and emits each good image as an RGB32
/// frame. The worker lives in the GUI thread; its loop, acquireImages(), runs
/// once, on any thread, and emits from there.
class BaslerWorker : public QObject
{
    Q_OBJECT

public:
    /// Frames emitted and not yet delivered to the receivers, at most. While
    /// this many wait in the receivers' event queue, new frames are dropped.
    static constexpr int MaxQueuedFrames = 3;

    explicit BaslerWorker(std::shared_ptr<spdlog::logger> logger);
    ~BaslerWorker() override;

    /// Grabs until stop() is called, the camera stops grabbing or an SDK call
    /// fails; a failure is logged as one warning. Emits finished() at its end.
    /// The worker must outlive it.
    void acquireImages();

    /// One good grab result as a frame: converted to RGB8, read in place with the
    /// converted buffer's row length, then copied into an RGB32 image of its own.
    /// A null image when the converted image has no rows.
    static QImage frameFromGrabResult(const Pylon::CGrabResultPtr &grabRes);

signals:
    void imageAcquired(QImage image);
    void finished();

public slots:
    void start();
    /// Ends the loop promptly, also while it waits for a frame; also called when
    /// the application quits. Thread-safe.
    void stop();

private:
    void grabLoop();
    void frameDelivered();

    std::shared_ptr<spdlog::logger> m_logger;
    std::mutex m_cameraMutex;
    Pylon::CInstantCamera *m_camera = nullptr; // the loop's camera while it grabs; guarded by m_cameraMutex
    bool m_stopRequested = false;              // guarded by m_cameraMutex
    std::atomic<int> m_queuedFrames{0};
};
