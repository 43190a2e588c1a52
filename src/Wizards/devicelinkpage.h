#pragma once

#include <QWizardPage>

/// Second page of the graph wizard; it has no content yet.
class DeviceLinkPage : public QWizardPage
{
public:
    DeviceLinkPage();
};
