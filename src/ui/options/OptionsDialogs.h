#pragma once
// Entry points of the conversion option dialogs for the main window.
#include "ui/options/DialogContext.h"

class QWidget;
class TextControl;

// Shows the advanced options dialog modally over parent (the chain of output, page and PDF
// dialogs opens from it). True when it was applied: the window then writes the editor into the
// current task row (its Update command). The settings are edited in place: what a dialog
// further down the chain applied stays applied when this one is cancelled.
bool ShowAdvancedOptionsDialog(QWidget *parent, DialogContext &ctx);

// Installs the font and paragraph dialogs as the hooks of the output text control (its
// FontDialog and ParagraphDialog). Each shows over the active modal window through runner
// (empty: exec). Install once, when the control is created.
void InstallTextControlDialogs(TextControl &control, ModalRunner runner = {});
