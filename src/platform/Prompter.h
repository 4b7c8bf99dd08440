#pragma once
// Message boxes. The window road shows QMessageBox; an unattended run uses a prompter that
// never blocks (it answers with the button a run needs and logs the text).
#include <QString>

class Prompter
{
public:
    // Style bits, combinable as in the classic message-box call.
    enum Style {
        OkOnly = 0,
        OkCancel = 1,
        YesNoCancel = 3,
        YesNo = 4,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
    };
    // Answers.
    enum Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    virtual ~Prompter() = default;
    // An empty title means the program's title.
    virtual int msgBox(const QString &text, int style, const QString &title = QString()) = 0;
};

// The prompter of a run without a window: never shows anything. Yes/No questions answer
// No, OK/Cancel answers Cancel (nothing is changed on the user's behalf); texts are kept
// so that the caller can log them.
class HeadlessPrompter : public Prompter
{
public:
    int msgBox(const QString &text, int style, const QString &title = QString()) override;
    QString lastText;
    int count = 0;
};
