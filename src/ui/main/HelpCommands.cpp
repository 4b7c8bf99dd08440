#include "HelpCommands.h"

#include "frmAbout.h"
#include "common/Help.h"
#include "common/ProductLinks.h"
#include "platform/ShellOpener.h"

#include <QWidget>

HelpCommands::HelpCommands(QWidget *owner, ShellOpener *opener)
    : QObject(owner)
    , m_owner(owner)
    , m_opener(opener)
{
}

ShellOpener *HelpCommands::opener() const
{
    static DesktopShellOpener desktop;
    return m_opener ? m_opener : &desktop;
}

void HelpCommands::mnuLaunchHelpFile_Click() { ShowHelpTopic(hcContents, 1, QString()); }

void HelpCommands::cmdHelpCommandLine_Click()
{
    ShowHelpTopic(hcCommandLine, 1, ProductLinks::kCommandLineHelp);
}

void HelpCommands::mnuAbout_Click()
{
    frmAbout about(m_owner, m_opener);
    if (showAbout)
        showAbout(&about);
    else
        about.exec();
}

void HelpCommands::mnuHelpProductUpdates_Click() { opener()->open(ProductLinks::kProductUpdates); }

void HelpCommands::mnuHelpOnLine_Click() { opener()->open(ProductLinks::kOnlineHelp); }

void HelpCommands::mnuHelpProductHomePage_Click() { opener()->open(ProductLinks::kHomePage); }

void HelpCommands::mnuOrnwellHomePage_Click() { opener()->open(ProductLinks::kMakerHomePage); }
