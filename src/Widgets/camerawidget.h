#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

class QLabel;
namespace spdlog {
class logger;
}

/// Live view of one camera: shows the latest frame given to imageAcquired(),
/// stretched over the whole view.
class CameraWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CameraWidget(std::shared_ptr<spdlog::logger> logger, QWidget *parent = nullptr);
    ~CameraWidget() override;

public slots:
    void imageAcquired(QImage img);

private slots:
    void init();
    void startCamera();
    void stopCamera();
    void pause();
    void takeImage();

private:
    QLabel *m_imageLabel;
    std::shared_ptr<spdlog::logger> m_logger;
};
