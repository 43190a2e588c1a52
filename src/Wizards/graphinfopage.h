#pragma once

#include <QWizardPage>

class GraphInfoPage : public QWizardPage
{
    Q_OBJECT

public:
    explicit GraphInfoPage(QWidget *parent = nullptr);
};
