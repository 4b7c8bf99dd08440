#pragma once
// The output text control's paragraph dialog: alignment, indents, spacing before and after,
// line spacing and its kind, and the frame lines with their width and distance. Lengths show
// in points (twips / 20, so every stored twip value shows exactly); OK writes the control.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;
class TextControl;

class TextParagraphDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TextParagraphDialog(TextControl &control, QWidget *parent = nullptr);

    QComboBox *cboAlignment = nullptr; // 0 left, 1 right, 2 centre, 3 justify
    QDoubleSpinBox *spnIndentL = nullptr;
    QDoubleSpinBox *spnIndentR = nullptr;
    QDoubleSpinBox *spnIndentFL = nullptr;
    QDoubleSpinBox *spnIndentT = nullptr;
    QDoubleSpinBox *spnIndentB = nullptr;
    QComboBox *cboLineSpacingKind = nullptr; // 0 proportional (percent), 1 exact (points)
    QSpinBox *spnLineSpacing = nullptr;
    QDoubleSpinBox *spnLineSpacingT = nullptr;
    QCheckBox *chkFrame[4] = {}; // left, right, top, bottom: frame style bits 1, 2, 4, 8
    QDoubleSpinBox *spnFrameLineWidth = nullptr;
    QDoubleSpinBox *spnFrameDistance = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void apply();
    TextControl &m_control;
};
