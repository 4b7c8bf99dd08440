#include "TaskEditor.h"

#include "ChoiceLists.h"

#include "ui/support/DropDownComboBox.h"
#include "ui/support/WidgetNaming.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QComboBox *makeCombo(QWidget *parent, const char *name, bool editable)
{
    auto *cb = named(new DropDownComboBox(parent), name);
    cb->setEditable(editable);
    if (editable) {
        // Paths and texts the user types are taken as typed; the recent entries stay a list.
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cb->setMinimumContentsLength(20);
    } else {
        cb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        cb->setMinimumContentsLength(12);
    }
    cb->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return cb;
}

QLabel *makeLabel(QWidget *parent, const char *name, const char *text, QWidget *buddy)
{
    auto *l = named(new QLabel(QString::fromLatin1(text), parent), name);
    l->setBuddy(buddy);
    return l;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const char *text)
{
    return named(new QCheckBox(QString::fromLatin1(text), parent), name);
}

// An icon button; its tool tip names its purpose and becomes its accessible name.
QToolButton *makeIconButton(QWidget *parent, const char *name, const char *icon, const char *purpose)
{
    auto *b = named(new QToolButton(parent), name);
    b->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(icon) + QStringLiteral(".png")));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(QString::fromLatin1(purpose));
    b->setAccessibleName(QString::fromLatin1(purpose));
    b->setAutoRaise(false);
    return b;
}

// One path row: label, path list (stretching), launch, folder and file pickers at the right.
void addPathRow(QGridLayout *g, int row, QLabel *label, QComboBox *path, QToolButton *launch,
                QToolButton *folder, QToolButton *file)
{
    g->addWidget(label, row, 0);
    auto *h = new QHBoxLayout;
    h->setSpacing(4);
    h->addWidget(path, 1);
    h->addWidget(launch);
    h->addWidget(folder);
    h->addWidget(file);
    g->addLayout(h, row, 1);
}

} // namespace

TaskEditor::TaskEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TaskEditor"));
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    auto *choice = new QHBoxLayout;
    grpActionToDo = new QButtonGroup(this);
    const char *captions[2] = {"Convert", "Special Process"};
    for (int i = 0; i < 2; ++i) {
        rbActionToDo[i] = named(new QRadioButton(QString::fromLatin1(captions[i]), this), "rbActionToDo");
        rbActionToDo[i]->setProperty("Index", i);
        grpActionToDo->addButton(rbActionToDo[i], i);
        choice->addWidget(rbActionToDo[i]);
    }
    rbActionToDo[0]->setChecked(true);
    choice->addStretch(1);
    v->addLayout(choice);

    stackPanels = named(new QStackedWidget(this), "stackPanels");
    stackPanels->addWidget(buildConversionPanel());
    stackPanels->addWidget(buildSpecialPanel());
    v->addWidget(stackPanels);

    // A target frame is hidden exactly while its save-in-original box is checked, whether the
    // user or a loaded task changed the box (a refresh sets both itself).
    for (QCheckBox *box : {cbSaveToOriginalFolder, cbSaveToOriginalFolderSpecialized})
        connect(box, &QCheckBox::toggled, this, [this] {
            EditorPanelState s = panelState();
            ApplySaveToOriginalRule(s);
            applyPanelState(s);
        });
    RefreshConvertOptions(QStringLiteral("C"));
}

QWidget *TaskEditor::buildConversionPanel()
{
    frameSelectAction = named(new QWidget, "frameSelectAction");
    auto *v = new QVBoxLayout(frameSelectAction);
    v->setContentsMargins(0, 0, 0, 0);

    frameSelectOriginal = named(new QGroupBox(frameSelectAction), "frameSelectOriginal");
    auto *g = new QGridLayout(frameSelectOriginal);
    g->setColumnStretch(1, 1);
    cbOriginalFile = makeCombo(frameSelectOriginal, "cbOriginalFile", true);
    lblOriginalFile = makeLabel(frameSelectOriginal, "lblOriginalFile", "Original File(s):", cbOriginalFile);
    cmdLaunchOriginal = makeIconButton(frameSelectOriginal, "cmdLaunchOriginal", "launch", "Open Original");
    cmdSelectSourceFolder =
        makeIconButton(frameSelectOriginal, "cmdSelectSourceFolder", "folder", "Select Source Folder");
    cmdSelectSourceFile = makeIconButton(frameSelectOriginal, "cmdSelectSourceFile", "file", "Select Source File");
    addPathRow(g, 0, lblOriginalFile, cbOriginalFile, cmdLaunchOriginal, cmdSelectSourceFolder, cmdSelectSourceFile);
    cbFileTypeOriginal = makeCombo(frameSelectOriginal, "cbFileTypeOriginal", false);
    lblFileTypeOriginal =
        makeLabel(frameSelectOriginal, "lblFileTypeOriginal", "Original File Type:", cbFileTypeOriginal);
    g->addWidget(lblFileTypeOriginal, 1, 0);
    g->addWidget(cbFileTypeOriginal, 1, 1);
    // The folder boxes get a row of their own below the type list, so that a long (translated)
    // type keeps the whole width; the row takes no room while a single file hides them.
    auto *folderRow = new QHBoxLayout;
    cbDoSubfolders = makeCheck(frameSelectOriginal, "cbDoSubfolders", "Include Sub-Folders");
    cbSaveToOriginalFolder = makeCheck(frameSelectOriginal, "cbSaveToOriginalFolder", "Save In Original Folder");
    folderRow->addWidget(cbDoSubfolders);
    folderRow->addWidget(cbSaveToOriginalFolder);
    folderRow->addStretch(1);
    g->addLayout(folderRow, 2, 1);
    v->addWidget(frameSelectOriginal);

    frameSelectTarget = named(new QGroupBox(frameSelectAction), "frameSelectTarget");
    auto *tg = new QGridLayout(frameSelectTarget);
    tg->setColumnStretch(1, 1);
    frameTargetFile = named(new QWidget(frameSelectTarget), "frameTargetFile");
    auto *fg = new QGridLayout(frameTargetFile);
    fg->setContentsMargins(0, 0, 0, 0);
    fg->setColumnStretch(1, 1);
    cbTargetFile = makeCombo(frameTargetFile, "cbTargetFile", true);
    lblTargetFile = makeLabel(frameTargetFile, "lblTargetFile", "Target File(s):", cbTargetFile);
    cmdLaunchTarget = makeIconButton(frameTargetFile, "cmdLaunchTarget", "launch", "Open Target");
    cmdSelectTargetFolder = makeIconButton(frameTargetFile, "cmdSelectTargetFolder", "folder", "Select Target Folder");
    cmdSelectTargetFile = makeIconButton(frameTargetFile, "cmdSelectTargetFile", "file", "Select Target File");
    addPathRow(fg, 0, lblTargetFile, cbTargetFile, cmdLaunchTarget, cmdSelectTargetFolder, cmdSelectTargetFile);
    tg->addWidget(frameTargetFile, 0, 0, 1, 2);

    cbFileTypeTarget = makeCombo(frameSelectTarget, "cbFileTypeTarget", false);
    lblFileTypeTarget = makeLabel(frameSelectTarget, "lblFileTypeTarget", "Convert To File Format:", cbFileTypeTarget);
    tg->addWidget(lblFileTypeTarget, 1, 0);
    auto *targetRow = new QHBoxLayout;
    targetRow->addWidget(cbFileTypeTarget, 1);
    cmdAdvancedPPTOptions = named(new QPushButton(QStringLiteral("Advanced Options..."), frameSelectTarget),
                                  "cmdAdvancedPPTOptions");
    targetRow->addWidget(cmdAdvancedPPTOptions);
    tg->addLayout(targetRow, 1, 1);

    auto *methods = new QHBoxLayout;
    auto *methodGroup = new QButtonGroup(frameSelectTarget);
    rbUseAmbrithConversion = named(new QRadioButton(QStringLiteral("Direct Conversion"), frameSelectTarget),
                                   "rbUseAmbrithConversion");
    rbUseMSWordConversion = named(new QRadioButton(QStringLiteral("Through a Word Document"), frameSelectTarget),
                                  "rbUseMSWordConversion");
    rbUsePDFConversion =
        named(new QRadioButton(QStringLiteral("From PDF"), frameSelectTarget), "rbUsePDFConversion");
    for (QRadioButton *rb : {rbUseAmbrithConversion, rbUseMSWordConversion, rbUsePDFConversion}) {
        methodGroup->addButton(rb);
        methods->addWidget(rb);
    }
    rbUseAmbrithConversion->setChecked(true);
    methods->addStretch(1);
    tg->addLayout(methods, 2, 1);
    v->addWidget(frameSelectTarget);
    v->addStretch(1);
    return frameSelectAction;
}

QWidget *TaskEditor::buildSpecialPanel()
{
    frameSpecializedAction = named(new QWidget, "frameSpecializedAction");
    auto *v = new QVBoxLayout(frameSpecializedAction);
    v->setContentsMargins(0, 0, 0, 0);

    auto *processRow = new QHBoxLayout;
    cbSpecialProcesses = makeCombo(frameSpecializedAction, "cbSpecialProcesses", false);
    lblSpecialProcesses = makeLabel(frameSpecializedAction, "lblSpecialProcesses", "Special Process:",
                                    cbSpecialProcesses);
    processRow->addWidget(lblSpecialProcesses);
    processRow->addWidget(cbSpecialProcesses, 1);
    v->addLayout(processRow);

    // The file frames and the search-and-replace frame; the launch frame covers them.
    frameSpecialFiles = named(new QWidget(frameSpecializedAction), "frameSpecialFiles");
    auto *fv = new QVBoxLayout(frameSpecialFiles);
    fv->setContentsMargins(0, 0, 0, 0);

    frameSelectFilesForSpecialProcessing =
        named(new QGroupBox(frameSpecialFiles), "frameSelectFilesForSpecialProcessing");
    auto *g = new QGridLayout(frameSelectFilesForSpecialProcessing);
    g->setColumnStretch(1, 1);
    QWidget *p = frameSelectFilesForSpecialProcessing;
    cbOriginalFileSpecialized = makeCombo(p, "cbOriginalFileSpecialized", true);
    lblOriginalFileSpecialized =
        makeLabel(p, "lblOriginalFileSpecialized", "Original File(s):", cbOriginalFileSpecialized);
    cmdLaunchOriginalSpecialized = makeIconButton(p, "cmdLaunchOriginalSpecialized", "launch", "Open Original");
    cmdSelectSourceFolderSpecialized =
        makeIconButton(p, "cmdSelectSourceFolderSpecialized", "folder", "Select Source Folder");
    cmdSelectSourceFileSpecialized =
        makeIconButton(p, "cmdSelectSourceFileSpecialized", "file", "Select Source File");
    addPathRow(g, 0, lblOriginalFileSpecialized, cbOriginalFileSpecialized, cmdLaunchOriginalSpecialized,
               cmdSelectSourceFolderSpecialized, cmdSelectSourceFileSpecialized);
    cbFileTypeOriginalSpecialized = makeCombo(p, "cbFileTypeOriginalSpecialized", false);
    lblFileTypeOriginalSpecialized = makeLabel(p, "lblFileTypeOriginalSpecialized", "Original File Type:",
                                               cbFileTypeOriginalSpecialized);
    g->addWidget(lblFileTypeOriginalSpecialized, 1, 0);
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(cbFileTypeOriginalSpecialized, 1);
    cbDoSubfoldersSpecialized = makeCheck(p, "cbDoSubfoldersSpecialized", "Include Sub-Folders");
    typeRow->addWidget(cbDoSubfoldersSpecialized);
    g->addLayout(typeRow, 1, 1);
    fv->addWidget(frameSelectFilesForSpecialProcessing);

    frameTargetFileSpecialized = named(new QGroupBox(frameSpecialFiles), "frameTargetFileSpecialized");
    auto *tg = new QGridLayout(frameTargetFileSpecialized);
    tg->setColumnStretch(1, 1);
    p = frameTargetFileSpecialized;
    cbTargetFileSpecialized = makeCombo(p, "cbTargetFileSpecialized", true);
    lblTargetFileSpecialized = makeLabel(p, "lblTargetFileSpecialized", "Target File(s):", cbTargetFileSpecialized);
    cmdLaunchTargetSpecialized = makeIconButton(p, "cmdLaunchTargetSpecialized", "launch", "Open Target");
    cmdSelectTargetFolderSpecialized =
        makeIconButton(p, "cmdSelectTargetFolderSpecialized", "folder", "Select Target Folder");
    cmdSelectTargetFileSpecialized =
        makeIconButton(p, "cmdSelectTargetFileSpecialized", "file", "Select Target File");
    addPathRow(tg, 0, lblTargetFileSpecialized, cbTargetFileSpecialized, cmdLaunchTargetSpecialized,
               cmdSelectTargetFolderSpecialized, cmdSelectTargetFileSpecialized);
    cbSaveToOriginalFolderSpecialized = makeCheck(p, "cbSaveToOriginalFolderSpecialized", "Save In Original Folder");
    tg->addWidget(cbSaveToOriginalFolderSpecialized, 1, 1);
    fv->addWidget(frameTargetFileSpecialized);
    fv->addWidget(buildSearchAndReplace());
    v->addWidget(frameSpecialFiles);
    v->addWidget(buildCommandLine());
    v->addStretch(1);
    return frameSpecializedAction;
}

QWidget *TaskEditor::buildSearchAndReplace()
{
    frameSearchAndReplace = named(new QGroupBox(frameSpecialFiles), "frameSearchAndReplace");
    QWidget *p = frameSearchAndReplace;
    auto *g = new QGridLayout(p);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    cbFindString = makeCombo(p, "cbFindString", true);
    lblFindString = makeLabel(p, "lblFindString", "Find:", cbFindString);
    cbReplacementString = makeCombo(p, "cbReplacementString", true);
    lblReplaceWithString = makeLabel(p, "lblReplaceWithString", "Replace With:", cbReplacementString);
    cbCharacter1 = makeCombo(p, "cbCharacter1", false);
    lblCharacter1 = makeLabel(p, "lblCharacter1", "Insert Character:", cbCharacter1);
    cbCharacter2 = makeCombo(p, "cbCharacter2", false);
    lblCharacter2 = makeLabel(p, "lblCharacter2", "Insert Character:", cbCharacter2);
    // The character lists are codes, never translated.
    cbCharacter1->setProperty("Tag", QStringLiteral("TranslateFalse"));
    cbCharacter2->setProperty("Tag", QStringLiteral("TranslateFalse"));
    cbCaseSensitive = makeCheck(p, "cbCaseSensitive", "Case Sensitive");
    g->addWidget(lblFindString, 0, 0);
    g->addWidget(cbFindString, 0, 1);
    g->addWidget(lblReplaceWithString, 0, 2);
    g->addWidget(cbReplacementString, 0, 3);
    g->addWidget(lblCharacter1, 1, 0);
    g->addWidget(cbCharacter1, 1, 1);
    g->addWidget(lblCharacter2, 1, 2);
    g->addWidget(cbCharacter2, 1, 3);
    g->addWidget(cbCaseSensitive, 2, 1);
    return frameSearchAndReplace;
}

QWidget *TaskEditor::buildCommandLine()
{
    frameCommandLine = named(new QGroupBox(frameSpecializedAction), "frameCommandLine");
    QWidget *p = frameCommandLine;
    auto *g = new QGridLayout(p);
    g->setColumnStretch(1, 1);
    cbCommandLine = makeCombo(p, "cbCommandLine", true);
    lblCommandLine = makeLabel(p, "lblCommandLine", "Program:", cbCommandLine);
    cmdLaunchCommandLine = makeIconButton(p, "cmdLaunchCommandLine", "launch", "Launch Program");
    cmdCommandLineSelectApplication =
        makeIconButton(p, "cmdCommandLineSelectApplication", "program", "Select Program");
    g->addWidget(lblCommandLine, 0, 0);
    auto *h = new QHBoxLayout;
    h->addWidget(cbCommandLine, 1);
    h->addWidget(cmdLaunchCommandLine);
    h->addWidget(cmdCommandLineSelectApplication);
    g->addLayout(h, 0, 1, 1, 3);
    cbCommandLineArguments = makeCombo(p, "cbCommandLineArguments", true);
    lblCommandLineArguments = makeLabel(p, "lblCommandLineArguments", "Arguments:", cbCommandLineArguments);
    g->addWidget(lblCommandLineArguments, 1, 0);
    g->addWidget(cbCommandLineArguments, 1, 1, 1, 3);
    cbCommandLineWindowState = makeCombo(p, "cbCommandLineWindowState", false);
    lblCommandLineWindowState =
        makeLabel(p, "lblCommandLineWindowState", "Window State:", cbCommandLineWindowState);
    cbCommandLineThreadPriority = makeCombo(p, "cbCommandLineThreadPriority", false);
    lblCommandLineThreadPriority =
        makeLabel(p, "lblCommandLineThreadPriority", "Priority:", cbCommandLineThreadPriority);
    txtCommandLineWaitTimeInSeconds = named(new QLineEdit(QStringLiteral("-1"), p), "txtCommandLineWaitTimeInSeconds");
    txtCommandLineWaitTimeInSeconds->setValidator(new QIntValidator(-1, 999999, txtCommandLineWaitTimeInSeconds));
    txtCommandLineWaitTimeInSeconds->setMaximumWidth(90);
    lblCommandLineWaitTime =
        makeLabel(p, "lblCommandLineWaitTime", "Wait (Seconds):", txtCommandLineWaitTimeInSeconds);
    g->addWidget(lblCommandLineWindowState, 2, 0);
    g->addWidget(cbCommandLineWindowState, 2, 1);
    g->addWidget(lblCommandLineThreadPriority, 2, 2);
    g->addWidget(cbCommandLineThreadPriority, 2, 3);
    g->addWidget(lblCommandLineWaitTime, 3, 0);
    g->addWidget(txtCommandLineWaitTimeInSeconds, 3, 1, Qt::AlignLeft);
    frameCommandLine->hide();
    return frameCommandLine;
}

EditorPanelState TaskEditor::panelState() const
{
    // The shown state is ours; only the check marks and the action choice can change by hand.
    EditorPanelState s = m_state;
    s.saveToOriginalChecked = cbSaveToOriginalFolder->isChecked();
    s.saveToOriginalSpecChecked = cbSaveToOriginalFolderSpecialized->isChecked();
    s.actionIndex = rbActionToDo[1]->isChecked() ? 1 : 0;
    return s;
}

void TaskEditor::applyPanelState(const EditorPanelState &s)
{
    m_state = s;
    {
        // The target frames follow s below; the boxes' own rule must not run again in between.
        const QSignalBlocker blockConversion(cbSaveToOriginalFolder);
        const QSignalBlocker blockSpecial(cbSaveToOriginalFolderSpecialized);
        cbSaveToOriginalFolder->setChecked(s.saveToOriginalChecked);
        cbSaveToOriginalFolderSpecialized->setChecked(s.saveToOriginalSpecChecked);
    }
    cbSaveToOriginalFolder->setVisible(s.saveToOriginalVisible);
    cbDoSubfolders->setVisible(s.doSubfoldersVisible);
    cmdSelectTargetFile->setVisible(s.selectTargetFileVisible);
    frameTargetFile->setVisible(s.frameTargetFileVisible);
    cbSaveToOriginalFolderSpecialized->setVisible(s.saveToOriginalSpecVisible);
    cbDoSubfoldersSpecialized->setVisible(s.doSubfoldersSpecVisible);
    // The target fields of the special panel: everything in its frame but the save box.
    for (QWidget *w : {static_cast<QWidget *>(lblTargetFileSpecialized), static_cast<QWidget *>(cbTargetFileSpecialized),
                       static_cast<QWidget *>(cmdLaunchTargetSpecialized)})
        w->setVisible(s.targetSpecFieldsVisible);
    cmdSelectTargetFileSpecialized->setVisible(s.targetSpecFieldsVisible && s.selectTargetFileSpecVisible);
    cmdSelectTargetFolderSpecialized->setVisible(s.targetSpecFieldsVisible && s.selectTargetFolderSpecVisible);
    cmdSelectSourceFileSpecialized->setVisible(s.selectSourceFileSpecVisible);
    cmdSelectSourceFolderSpecialized->setVisible(s.selectSourceFolderSpecVisible);
    rbActionToDo[s.actionIndex == 1 ? 1 : 0]->setChecked(true);
    stackPanels->setCurrentWidget(s.specialPanelVisible ? frameSpecializedAction : frameSelectAction);
    // The editor takes the height of the panel shown, not that of the tallest panel shown so
    // far: a hidden page counts for nothing in the stack's size.
    for (QWidget *page : {frameSelectAction, frameSpecializedAction})
        page->setSizePolicy(QSizePolicy::Preferred,
                            page == stackPanels->currentWidget() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    frameCommandLine->setVisible(s.commandLineFrameVisible);
    frameSpecialFiles->setVisible(!s.commandLineFrameVisible);
    frameSearchAndReplace->setVisible(s.searchReplaceFrameVisible);
}

int TaskEditor::selectedSpecialProcessId() const { return itemCode(cbSpecialProcesses, 0); }

void TaskEditor::RefreshConvertOptions(const QString &sActionToDo)
{
    EditorPanelState s = panelState();
    RefreshConvertOptionsRules(s, cbOriginalFile->currentText(), cbOriginalFileSpecialized->currentText(),
                               sActionToDo, selectedSpecialProcessId());
    applyPanelState(s);
}

void TaskEditor::RefreshFileFolderGUISpecialized()
{
    EditorPanelState s = panelState();
    RefreshFileFolderSpecializedRules(s, cbOriginalFileSpecialized->currentText(), selectedSpecialProcessId());
    applyPanelState(s);
}

void TaskEditor::RefreshConversionWildcard()
{
    EditorPanelState s = panelState();
    ApplyConversionWildcardRule(s, cbOriginalFile->currentText());
    applyPanelState(s);
}

void TaskEditor::FillList(QComboBox *cb, const ChoiceList &list)
{
    cb->clear();
    for (const ChoiceItem &i : list.items)
        cb->addItem(i.text, i.itemData);
    cb->setCurrentIndex(list.selected >= 0 && list.selected < cb->count() ? list.selected : -1);
}

int TaskEditor::itemCode(const QComboBox *cb, int none)
{
    const QVariant d = cb->currentData();
    return d.isValid() ? d.toInt() : none;
}

void TaskEditor::syncAccessibleNames()
{
    // The labels of each panel share one column width, so the boxes line up across its frames.
    const QList<QList<QLabel *>> columns = {
        {lblOriginalFile, lblFileTypeOriginal, lblTargetFile, lblFileTypeTarget},
        {lblOriginalFileSpecialized, lblFileTypeOriginalSpecialized, lblTargetFileSpecialized}};
    for (const QList<QLabel *> &labels : columns) {
        int width = 0;
        for (QLabel *l : labels)
            width = qMax(width, l->sizeHint().width());
        for (QLabel *l : labels)
            l->setMinimumWidth(width);
    }
    for (QToolButton *b : findChildren<QToolButton *>())
        if (!b->toolTip().isEmpty())
            b->setAccessibleName(b->toolTip());
}
