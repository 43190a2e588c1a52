#pragma once

#include <QMainWindow>

#include <memory>

class Ui_MainWindow;

namespace ads {
class CDockManager;
}
namespace spdlog {
class logger;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

private:
    Ui_MainWindow *ui;
    ads::CDockManager *m_dockManager = nullptr;
    std::shared_ptr<spdlog::logger> m_logger;
};
