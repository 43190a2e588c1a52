#include "Widgets/camerawidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

CameraWidget::CameraWidget(std::shared_ptr<spdlog::logger> logger, QWidget *parent)
    : QWidget(parent)
    , m_imageLabel(nullptr)
    , m_logger(std::move(logger))
{
    m_imageLabel = new QLabel();
    auto *layout = new QHBoxLayout();
    layout->addWidget(m_imageLabel);
    setLayout(layout);
}

CameraWidget::~CameraWidget() = default;

void CameraWidget::imageAcquired(QImage img)
{
    m_imageLabel->setPixmap(QPixmap::fromImage(img));
    m_imageLabel->setScaledContents(true);
    // The frame's size must not hold the view open: the dock decides its size.
    m_imageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_imageLabel->repaint();
}

void CameraWidget::init() {}

void CameraWidget::startCamera() {}

void CameraWidget::stopCamera() {}

void CameraWidget::pause() {}

void CameraWidget::takeImage() {}
