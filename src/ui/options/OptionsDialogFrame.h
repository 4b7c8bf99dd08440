#pragma once
// The frame the option dialogs share: modal, Esc cancels, nested dialogs shown through the
// context's runner.
#include "ui/options/DialogContext.h"

#include <QDialog>

class OptionsDialogFrame : public QDialog
{
    Q_OBJECT
public:
    OptionsDialogFrame(DialogContext &ctx, QWidget *parent);
    DialogContext &context() const { return m_ctx; }

    // Shows another dialog modally through the context's runner.
    int runModal(QDialog &dialog) const;
    static int runModal(const ModalRunner &runner, QDialog &dialog);

protected:
    int msgBox(const QString &text, int style, const QString &title = QString()) const;

private:
    DialogContext &m_ctx;
};
