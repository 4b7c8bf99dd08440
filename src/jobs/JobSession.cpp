#include "JobSession.h"

#include "converter/ConversionControl.h"
#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/PathUtils.h"
#include "platform/ProcessLauncher.h"
#include "jobs/ToDoRows.h"
#include "platform/Prompter.h"
#include "textcontrol/TextControl.h"

#include <algorithm>
#include <utility>

JobSession::JobSession() : m_defaultPrompter(std::make_unique<HeadlessPrompter>())
{
    m_prompter = m_defaultPrompter.get();
    // As the main window does when it loads: a header and the "*" row, an empty log.
    InitToDoGrid(fgToDo);
    InitLogGrid(fgLog);
}

JobSession::~JobSession() { finishStops(); }

void JobSession::Interrupt()
{
    bInterrupted = true;
    bRunning = false;
    if (m_externalControl || m_control)
        VelmoraX1()->abort();
}

bool JobSession::bInterruptRecorded()
{
    if (!bInterrupted && m_interruptSource && m_interruptSource())
        Interrupt();
    return bInterrupted;
}

void JobSession::stopAfterRecord(std::unique_ptr<ProcessLauncher> launcher)
{
    launcher->requestStop();
    m_stopping.push_back(std::move(launcher));
}

void JobSession::finishStops()
{
    for (const auto &launcher : m_stopping)
        launcher->stopGroup();
    m_stopping.clear();
}

void JobSession::keepMadeFolders(const QStringList &folders)
{
    if (gbCommandLineMode)
        m_madeFolders += folders;
    else
        RemoveFoldersLeftEmpty(folders);
}

void JobSession::RemoveMadeFoldersLeftEmpty(const QStringList &keptFiles)
{
    // A folder that holds one of those files, or holds a folder that does, stays even when the
    // file was not written: it was named to be there.
    QStringList keptFolders;
    for (const QString &file : keptFiles)
        if (!file.trimmed().isEmpty())
            keptFolders << CanonicalPathForCompare(GetParentFolder(AbsoluteFromCurrentFolder(file)));
    const QStringList folders = std::exchange(m_madeFolders, {});
    QStringList removable;
    for (const QString &folder : folders) {
        const QString key = CanonicalPathForCompare(folder);
        const bool kept = std::any_of(keptFolders.cbegin(), keptFolders.cend(), [&](const QString &k) {
            return k == key || k.startsWith(key + u'/');
        });
        if (!kept)
            removable << folder;
    }
    RemoveFoldersLeftEmpty(removable);
}

void JobSession::markTaskDirty()
{
    bCurrentActionItemDirty = true;
    m_hooks->UpdateMenuToolbar();
}

void JobSession::setPanels(StatusPanels *p) { m_panels = p ? p : &m_defaultPanels; }
void JobSession::setPump(EventPump *p)
{
    m_pump = p ? p : &m_defaultPump;
    if (m_control)
        m_control->setEventPump(m_pump);
}
void JobSession::setHooks(EngineHooks *h) { m_hooks = h ? h : &m_defaultHooks; }
void JobSession::setPrompter(Prompter *p) { m_prompter = p ? p : m_defaultPrompter.get(); }

ConversionControl *JobSession::VelmoraX1()
{
    if (m_externalControl)
        return m_externalControl;
    if (!m_control) {
        m_control = std::make_unique<ConversionControl>();
        // The control pumps events through the session while it waits, so Pause is seen, and
        // its progress drives the status panels.
        m_control->setEventPump(m_pump);
        QObject::connect(m_control.get(), &ConversionControl::Progress, m_control.get(),
                         [this] { VelmoraX1_Progress(m_control->progressPercent()); });
    }
    return m_control.get();
}

TextControl *JobSession::TXTextControl1()
{
    if (!m_text1)
        m_text1 = std::make_unique<TextControl>();
    return m_text1.get();
}

TextControl *JobSession::TXTextControlOutput()
{
    if (!m_textOut)
        m_textOut = std::make_unique<TextControl>();
    return m_textOut.get();
}
