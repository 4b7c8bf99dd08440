#include "OptionsDialogFrame.h"

#include "platform/Prompter.h"

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

int OptionsDialogFrame::msgBox(const QString &text, int style, const QString &title) const
{
    return m_ctx.prompter ? m_ctx.prompter->msgBox(text, style, title) : Prompter::Ok;
}
