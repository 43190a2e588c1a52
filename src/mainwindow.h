#pragma once

#include "Widgets/Models/proptreemodel.h"

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

protected:
    void closeEvent(QCloseEvent *event) override;

protected slots:
    bool openProject();
    bool saveProject();
    bool saveProjectAs();
    void addNewCamera();
    void addNewGraph();

private:
    Ui_MainWindow *ui;
    ads::CDockManager *m_dockManager = nullptr;
    std::shared_ptr<spdlog::logger> m_logger;
    // Last member: destroyed first, while the property view still exists; the view lets go of it then.
    PropTreeModel m_propertyModel;
};
