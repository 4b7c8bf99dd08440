#pragma once
// The translator's widget side: translating a whole window, the language list of the chooser,
// and the font a control shows.
#include <QString>

class QListWidget;
class QWidget;

// Translates a window: title, labels, buttons, group boxes, tabs, menu actions, tool tips;
// never the text of input boxes. An object whose dynamic property "Tag" is "TranslateFalse"
// keeps its text. Each widget and action is translated once, so a second call on the same
// window does not translate translations. Then applies the language's font rules.
void TranslateForm(QWidget *frm);
// "English" and the installed languages, the current one selected.
void FillInLanguageList(QListWidget *listBox);
// The widget's font family; "ERROR" for no widget.
QString GetControlFontName(const QWidget *ctl);
