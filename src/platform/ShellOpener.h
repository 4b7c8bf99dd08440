#pragma once
// Opening documents, folders and web pages with the desktop's default program.
#include <QString>

class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    // target: a local path or a URL. Returns false when nothing could be started.
    virtual bool open(const QString &target) = 0;
};

// The desktop's own opener (xdg-open through QDesktopServices).
class DesktopShellOpener : public ShellOpener
{
public:
    bool open(const QString &target) override;
};

// The one desktop opener, for whoever was given no opener of its own.
ShellOpener &DesktopOpener();
