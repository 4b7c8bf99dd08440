#include "MessageBoxPrompter.h"

#include "common/Globals.h"

#include <QMessageBox>
#include <QPushButton>

int MessageBoxPrompter::msgBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? GetProgramTitle() : title);
    box.setText(text);
    switch (style & 0x70) {
    case Prompter::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Prompter::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Prompter::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Prompter::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (style & 0x0F) {
    case Prompter::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Prompter::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Prompter::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Prompter::Yes;
    case QMessageBox::No:
        return Prompter::No;
    case QMessageBox::Cancel:
        return Prompter::Cancel;
    case QMessageBox::Ok:
        return Prompter::Ok;
    default:
        // Closed with Escape or the title bar: the safe answer of the box's buttons.
        return (style & 0x0F) == Prompter::YesNo ? Prompter::No
               : (style & 0x0F) == Prompter::OkOnly ? Prompter::Ok
                                                    : Prompter::Cancel;
    }
}
