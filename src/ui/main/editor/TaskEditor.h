#pragma once
// The task editor: the conversion panel and the special-process panel, chosen by the two
// rbActionToDo buttons. It holds the controls; which of them are shown follows
// EditorPanelRules (RefreshConvertOptions), and a target frame follows its save-in-original
// box whoever changes it. The field handlers of the editor live elsewhere.
#include "EditorPanelRules.h"

#include <QWidget>

struct ChoiceList;

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

class TaskEditor : public QWidget
{
    Q_OBJECT
public:
    explicit TaskEditor(QWidget *parent = nullptr);

    // Choice: 0 Convert, 1 Special process.
    QRadioButton *rbActionToDo[2] = {};
    QButtonGroup *grpActionToDo = nullptr;
    QStackedWidget *stackPanels = nullptr;

    // Conversion panel.
    QWidget *frameSelectAction = nullptr;
    QGroupBox *frameSelectOriginal = nullptr;
    QGroupBox *frameSelectTarget = nullptr;
    QWidget *frameTargetFile = nullptr;
    QLabel *lblOriginalFile = nullptr;
    QComboBox *cbOriginalFile = nullptr;
    QLabel *lblFileTypeOriginal = nullptr;
    QComboBox *cbFileTypeOriginal = nullptr;
    QLabel *lblTargetFile = nullptr;
    QComboBox *cbTargetFile = nullptr;
    QLabel *lblFileTypeTarget = nullptr;
    QComboBox *cbFileTypeTarget = nullptr;
    QCheckBox *cbDoSubfolders = nullptr;
    QCheckBox *cbSaveToOriginalFolder = nullptr;
    QRadioButton *rbUseMSWordConversion = nullptr;
    QRadioButton *rbUseAmbrithConversion = nullptr;
    QRadioButton *rbUsePDFConversion = nullptr;
    QPushButton *cmdAdvancedPPTOptions = nullptr;
    QToolButton *cmdSelectSourceFile = nullptr;
    QToolButton *cmdSelectSourceFolder = nullptr;
    QToolButton *cmdSelectTargetFile = nullptr;
    QToolButton *cmdSelectTargetFolder = nullptr;
    QToolButton *cmdLaunchOriginal = nullptr;
    QToolButton *cmdLaunchTarget = nullptr;

    // Special-process panel.
    QWidget *frameSpecializedAction = nullptr;
    QLabel *lblSpecialProcesses = nullptr;
    QComboBox *cbSpecialProcesses = nullptr;
    QWidget *frameSpecialFiles = nullptr; // what the launch frame covers
    QGroupBox *frameSelectFilesForSpecialProcessing = nullptr;
    QLabel *lblOriginalFileSpecialized = nullptr;
    QComboBox *cbOriginalFileSpecialized = nullptr;
    QLabel *lblFileTypeOriginalSpecialized = nullptr;
    QComboBox *cbFileTypeOriginalSpecialized = nullptr;
    QCheckBox *cbDoSubfoldersSpecialized = nullptr;
    QGroupBox *frameTargetFileSpecialized = nullptr;
    QLabel *lblTargetFileSpecialized = nullptr;
    QComboBox *cbTargetFileSpecialized = nullptr;
    QCheckBox *cbSaveToOriginalFolderSpecialized = nullptr;
    QToolButton *cmdSelectSourceFileSpecialized = nullptr;
    QToolButton *cmdSelectSourceFolderSpecialized = nullptr;
    QToolButton *cmdSelectTargetFileSpecialized = nullptr;
    QToolButton *cmdSelectTargetFolderSpecialized = nullptr;
    QToolButton *cmdLaunchOriginalSpecialized = nullptr;
    QToolButton *cmdLaunchTargetSpecialized = nullptr;

    QGroupBox *frameSearchAndReplace = nullptr;
    QLabel *lblFindString = nullptr;
    QComboBox *cbFindString = nullptr;
    QLabel *lblReplaceWithString = nullptr;
    QComboBox *cbReplacementString = nullptr;
    QLabel *lblCharacter1 = nullptr;
    QComboBox *cbCharacter1 = nullptr;
    QLabel *lblCharacter2 = nullptr;
    QComboBox *cbCharacter2 = nullptr;
    QCheckBox *cbCaseSensitive = nullptr;

    QGroupBox *frameCommandLine = nullptr;
    QLabel *lblCommandLine = nullptr;
    QComboBox *cbCommandLine = nullptr;
    QLabel *lblCommandLineArguments = nullptr;
    QComboBox *cbCommandLineArguments = nullptr;
    QLabel *lblCommandLineWindowState = nullptr;
    QComboBox *cbCommandLineWindowState = nullptr;
    QLabel *lblCommandLineThreadPriority = nullptr;
    QComboBox *cbCommandLineThreadPriority = nullptr;
    QLabel *lblCommandLineWaitTime = nullptr;
    QLineEdit *txtCommandLineWaitTimeInSeconds = nullptr;
    QToolButton *cmdCommandLineSelectApplication = nullptr;
    QToolButton *cmdLaunchCommandLine = nullptr;

    // The shown state of the controls the refresh decides.
    EditorPanelState panelState() const;
    void applyPanelState(const EditorPanelState &s);
    // Brings the shown controls into line with the editor's texts and the given action.
    void RefreshConvertOptions(const QString &sActionToDo);
    // The special panel's pickers for the chosen process alone.
    void RefreshFileFolderGUISpecialized();
    // The conversion panel's boxes and target picker by its original (wildcard or file).
    void RefreshConversionWildcard();
    // SpecialProcessId of the chosen entry of cbSpecialProcesses (0 when none).
    int selectedSpecialProcessId() const;

    // Fills a list with the choices' {text, item data} entries and selects list.selected (none
    // when it is out of range).
    static void FillList(QComboBox *cb, const ChoiceList &list);
    // The item data of the chosen entry as a code; none when no entry is chosen.
    static int itemCode(const QComboBox *cb, int none);
    // The accessible names of the icon buttons follow their (translated) tool tips.
    void syncAccessibleNames();

private:
    EditorPanelState m_state;
    QWidget *buildConversionPanel();
    QWidget *buildSpecialPanel();
    QWidget *buildSearchAndReplace();
    QWidget *buildCommandLine();
};
