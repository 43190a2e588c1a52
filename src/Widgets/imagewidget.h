#pragma once

#include <QWidget>

class ImageWidget : public QWidget
{
    Q_OBJECT
};
