#include "Wizards/graphwizard.h"

#include "Wizards/devicelinkpage.h"
#include "Wizards/graphinfopage.h"

GraphWizard::GraphWizard(QWidget *parent)
    : QWizard(parent)
{
    addPage(new GraphInfoPage(nullptr));
    addPage(new DeviceLinkPage());
    setWizardStyle(QWizard::ModernStyle);
    setWindowTitle(tr("Graph Wizard"));
}

void GraphWizard::accept()
{
    // There is no graph view to create yet; keep the wizard open on Finish.
}
