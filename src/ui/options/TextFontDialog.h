#pragma once
// The output text control's font dialog: font, size, styles, underline style, baseline shift
// and the two colours of the control's selection. OK writes them to the control.
#include "ui/options/DialogContext.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QPushButton;
class QSpinBox;
class TextControl;

class TextFontDialog : public QDialog
{
    Q_OBJECT
public:
    // runner shows the colour chooser (empty: exec).
    TextFontDialog(TextControl &control, ModalRunner runner, QWidget *parent = nullptr);

    QFontComboBox *cboFontName = nullptr;
    QSpinBox *spnFontSize = nullptr;
    QCheckBox *chkBold = nullptr;
    QCheckBox *chkItalic = nullptr;
    QCheckBox *chkUnderline = nullptr;
    QComboBox *cboUnderlineStyle = nullptr; // entry i is style i + 1
    QCheckBox *chkStrikethru = nullptr;
    QDoubleSpinBox *spnBaseLine = nullptr;  // points (twips / 20)
    QPushButton *cmdForeColor = nullptr;
    QPushButton *cmdBackColor = nullptr;
    QCheckBox *chkNoBackground = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Colours as COLORREF; the buttons show them.
    int foreColor() const { return m_fore; }
    int backColor() const { return m_back; }
    void setForeColor(int colorRef);
    void setBackColor(int colorRef);

private:
    void pickColor(bool background);
    void apply();

    TextControl &m_control;
    ModalRunner m_runner;
    int m_fore = 0;
    int m_back = 0xFFFFFF;
};
