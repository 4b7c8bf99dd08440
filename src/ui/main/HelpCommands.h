#pragma once
// The Help menu's commands: the help pages shipped with the program, the product's web pages
// and the about box. Web pages open with the desktop's browser; failures are not reported.
#include <QObject>

#include <functional>

class QWidget;
class ShellOpener;

class HelpCommands : public QObject
{
    Q_OBJECT
public:
    // owner: the window the about box belongs to. opener: how web pages open (nullptr: the
    // desktop's).
    explicit HelpCommands(QWidget *owner, ShellOpener *opener = nullptr);

    // Shows the about box modally; a test replaces this to drive the box without exec().
    std::function<void(QWidget *about)> showAbout;

public slots:
    void mnuLaunchHelpFile_Click();
    void cmdHelpCommandLine_Click();
    void mnuAbout_Click();
    void mnuHelpProductUpdates_Click();
    void mnuHelpOnLine_Click();
    void mnuHelpProductHomePage_Click();
    void mnuOrnwellHomePage_Click();

private:
    ShellOpener *opener() const;
    QWidget *m_owner;
    ShellOpener *m_opener;
};
