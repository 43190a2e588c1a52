#include "Wizards/devicelinkpage.h"

DeviceLinkPage::DeviceLinkPage()
    : QWizardPage(nullptr)
{}
