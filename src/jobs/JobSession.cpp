#include "JobSession.h"

#include "converter/ConversionControl.h"
#include "jobs/ToDoRows.h"
#include "platform/Prompter.h"
#include "textcontrol/TextControl.h"

JobSession::JobSession() : m_defaultPrompter(std::make_unique<HeadlessPrompter>())
{
    m_prompter = m_defaultPrompter.get();
    // As the main window does when it loads: a header and the "*" row, an empty log.
    InitToDoGrid(fgToDo);
    InitLogGrid(fgLog);
}

JobSession::~JobSession() = default;

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
