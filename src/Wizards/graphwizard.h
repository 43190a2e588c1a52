#pragma once

#include <QWizard>

/// Wizard for adding a graph view. It collects nothing yet: Finish is a no-op and
/// only Cancel or closing the window ends it.
class GraphWizard : public QWizard
{
    Q_OBJECT

public:
    explicit GraphWizard(QWidget *parent = nullptr);

    void accept() override;
};
