#include "OptionsDialogFrame.h"

#include "platform/Prompter.h"

#include <QShortcut>
#include <QTabWidget>

OptionsDialogFrame::OptionsDialogFrame(DialogContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

int OptionsDialogFrame::runModal(QDialog &dialog) const { return runModal(m_ctx.runModal, dialog); }

int OptionsDialogFrame::runModal(const ModalRunner &runner, QDialog &dialog)
{
    return runner ? runner(dialog) : dialog.exec();
}

void OptionsDialogFrame::enableTabCycling(QTabWidget *tabs)
{
    // Window shortcuts see the keys before the focused control, so a text box or a list does
    // not swallow them.
    auto step = [tabs](int delta) {
        const int n = tabs->count();
        if (n > 0)
            tabs->setCurrentIndex((tabs->currentIndex() + delta + n) % n);
    };
    auto *next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [step] { step(1); });
    auto *previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), this);
    connect(previous, &QShortcut::activated, this, [step] { step(-1); });
    auto *back = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    connect(back, &QShortcut::activated, this, [step] { step(-1); });
}

int OptionsDialogFrame::msgBox(const QString &text, int style, const QString &title) const
{
    return m_ctx.prompter ? m_ctx.prompter->msgBox(text, style, title) : Prompter::Ok;
}
