#include "Wizards/graphinfopage.h"

#include <QPixmap>

GraphInfoPage::GraphInfoPage(QWidget *parent)
    : QWizardPage(parent)
{
    setTitle(tr("Graph Information"));
    setSubTitle(tr("Specify a new graph to add for visualizing device data"));
    setPixmap(QWizard::LogoPixmap, QPixmap(QStringLiteral(":/images/graph_wizard.png"), nullptr, Qt::AutoColor));
}
