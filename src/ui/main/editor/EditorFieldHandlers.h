#pragma once
// The task editor's field handlers: what a change by the user does to the editor itself
// (dependent controls shown or hidden, double quotes dropped from typed paths, character codes
// put into the search texts, the panel and the method chosen), and the rule that ties them to
// the window: a change by the user marks the edited task dirty and refreshes the command state.
// They listen only to what the user does (textEdited, activated, clicked, a list dropped down;
// a screen reader's toggle of a button clicks it); code that fills the editor raises none of
// them. Code that sets a box the way a user would (a picker) calls the box's handler itself.
#include <QObject>

class QComboBox;
class frmMain;
class EditorExchange;

class EditorFieldHandlers : public QObject
{
    Q_OBJECT
public:
    EditorFieldHandlers(frmMain &w, EditorExchange &exchange);

    // Marks the edited task dirty and refreshes the command state, unless code is filling the
    // editor (gbSuppressEvents).
    void ItemDirty();

    void cbOriginalFile_Change();
    void cbOriginalFileSpecialized_Change();
    void cbTargetFile_Change();
    void cbTargetFileSpecialized_Change();
    void cbCommandLine_Change();
    void cbFileTypeTarget_Click();
    void cbSaveToOriginalFolder_Click();
    void cbSaveToOriginalFolderSpecialized_Click();
    void cbSpecialProcesses_Click();
    void cbCharacter1_Click();
    void cbCharacter2_Click();
    void rbActionToDo_Click(int index);
    void rbConversionMethod_Click(int lConversionMethod);
    void cmdAdvancedPPTOptions_Click();

private:
    void connectHandlers();
    // Drops the double quotes of an editable box's text, keeping the cursor where it was.
    void stripQuotes(QComboBox *cb);
    void insertCharacterCode(QComboBox *list, QComboBox *text);

    frmMain &m_w;
    EditorExchange &m_exchange;
};
