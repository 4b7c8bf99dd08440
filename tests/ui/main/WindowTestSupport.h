#pragma once
// Helpers of the tests on the real main window: the window opened as a user meets it, with
// the prompter, the picker and the status bar injected.
#include "jobs/StatusPanels.h"
#include "platform/FilePicker.h"
#include "ui/main/frmMain.h"

#include <QMap>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

// A status bar that keeps every text each panel was given and lets a test act the moment a
// panel is written, as a user watching the status bar during a run would.
class WatchedPanels : public RecordingStatusPanels
{
public:
    void setPanelText(int panel, const QString &text) override
    {
        RecordingStatusPanels::setPanelText(panel, text);
        texts[panel] << text;
        if (onText)
            onText(panel, text);
    }
    QMap<int, QStringList> texts;
    std::function<void(int, const QString &)> onText;
};

// A picker that counts how often it is asked and answers with the files queued, then with
// nothing, as a user who cancels.
class CountingPicker : public FilePicker
{
public:
    QString pickFile(const QString &, const QString &, int &, const QString &, bool) override
    {
        ++calls;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString browseForFolder(const QString &, const QString &) override
    {
        ++calls;
        return QString();
    }
    QStringList files;
    int calls = 0;
};

// The main window loaded and shown; without panels it keeps its own status bar.
inline std::unique_ptr<frmMain> openMainWindow(Prompter *prompter, FilePicker *picker, StatusPanels *panels,
                                               QSize size = QSize(1200, 800))
{
    auto w = std::make_unique<frmMain>();
    w->setPrompter(prompter);
    w->setPicker(picker);
    if (panels)
        w->setStatusPanels(panels);
    w->Form_Load();
    w->resize(size);
    w->show();
    return w;
}
