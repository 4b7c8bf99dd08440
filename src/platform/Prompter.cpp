#include "Prompter.h"

int HeadlessPrompter::msgBox(const QString &text, int style, const QString &)
{
    lastText = text;
    ++count;
    switch (style & 7) {
    case YesNo:
        return No;
    case OkCancel:
    case YesNoCancel:
        return Cancel;
    default:
        return Ok;
    }
}
