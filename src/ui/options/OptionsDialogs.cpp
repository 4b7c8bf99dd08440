#include "OptionsDialogs.h"

#include "textcontrol/TextControl.h"
#include "ui/options/TextFontDialog.h"
#include "ui/options/TextParagraphDialog.h"
#include "ui/options/frmAdvancedOptions.h"

#include <QApplication>

bool ShowAdvancedOptionsDialog(QWidget *parent, DialogContext &ctx)
{
    frmAdvancedOptions dialog(ctx, parent);
    dialog.bSupportsSingleFileOutput = ctx.bSupportsSingleFileOutput;
    dialog.Form_Load();
    OptionsDialogFrame::runModal(ctx.runModal, dialog);
    return !dialog.bCancelled;
}

void InstallTextControlDialogs(TextControl &control, ModalRunner runner)
{
    control.setFontDialogHandler([runner](TextControl &tc) {
        TextFontDialog dialog(tc, runner, QApplication::activeModalWidget());
        OptionsDialogFrame::runModal(runner, dialog);
    });
    control.setParagraphDialogHandler([runner](TextControl &tc) {
        TextParagraphDialog dialog(tc, QApplication::activeModalWidget());
        OptionsDialogFrame::runModal(runner, dialog);
    });
}
