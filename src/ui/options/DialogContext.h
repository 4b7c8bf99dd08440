#pragma once
// What the conversion option dialogs need from the window that opens them. The dialogs edit
// the settings in place and commit only at their own Apply or OK.
#include "jobs/ConversionSettings.h"

#include <functional>

class FilePicker;
class Prompter;
class QDialog;
class TextControl;

// Shows a modal dialog and returns its result. Empty: QDialog::exec. Tests pass a runner
// that shows the dialog, drives it and returns, so no test waits in a nested event loop.
using ModalRunner = std::function<int(QDialog &)>;

struct DialogContext
{
    DialogContext(ConversionSettings &s, short &unit) : settings(s), glnMeasurement(unit) {}

    ConversionSettings &settings;
    // Program-wide length unit: 1 inches, 2 centimetres. The output options dialog writes it
    // the moment a unit is clicked.
    short &glnMeasurement;

    Prompter *prompter = nullptr;  // message boxes; an empty title means the program's title
    FilePicker *picker = nullptr;  // the move-to folder browser (null: no browser)
    // The output text control whose font and paragraph dialogs edit those two groups.
    TextControl *TXTextControlOutput = nullptr;

    // The target type chosen in the editor can be written as one output file.
    bool bSupportsSingleFileOutput = true;
    // Apply changed the slide range or the one-file-per-slide choice: the window marks the
    // editor's task changed and refreshes its commands.
    std::function<void()> markTaskDirty;
    // The conversion control's version answer (empty: true) and the type code of the editor's
    // selected target type (empty: none, so the PDF-options note is shown).
    std::function<bool()> PowerPointVersionAtLeast2010;
    std::function<int()> targetTypeCode;

    ModalRunner runModal;
};
