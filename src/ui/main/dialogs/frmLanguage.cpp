#include "frmLanguage.h"

#include "ui/main/frame/FramePictures.h"
#include "ui/main/ProductLinks.h"
#include "common/Help.h"
#include "platform/ShellOpener.h"
#include "ui/support/FormTranslator.h"

#include <QFontDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmLanguage::frmLanguage(QWidget *parent, ShellOpener *opener)
    : QDialog(parent)
    , m_opener(opener ? opener : &DesktopOpener())
{
    setObjectName(QStringLiteral("frmLanguage"));
    setWindowTitle(QStringLiteral("Language"));
    setWindowIcon(ProgramIcon());
    setModal(true);

    auto *row = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    Label1 = new QLabel(QStringLiteral("Select a Language:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(List1);
    left->addWidget(Label1);
    left->addWidget(List1, 1);
    row->addLayout(left, 1);

    auto *buttons = new QVBoxLayout;
    auto makeButton = [&](QPushButton *&b, const char *name, const char *text) {
        b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
    };
    makeButton(cmdDone, "cmdDone", "&Done");
    makeButton(cmdCancel, "cmdCancel", "&Cancel");
    buttons->addSpacing(12);
    makeButton(cmdEditLanguageFile, "cmdEditLanguageFile", "&Edit Language");
    makeButton(cmdSelectFont, "cmdSelectFont", "&Font");
    buttons->addSpacing(12);
    makeButton(cmdHelpLanguage, "cmdHelpLanguage", "&Help");
    buttons->addStretch(1);
    cmdDone->setDefault(true);
    row->addLayout(buttons);

    connect(cmdDone, &QPushButton::clicked, this, &frmLanguage::cmdDone_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLanguage::cmdCancel_Click);
    connect(cmdEditLanguageFile, &QPushButton::clicked, this, &frmLanguage::cmdEditLanguageFile_Click);
    connect(cmdSelectFont, &QPushButton::clicked, this, &frmLanguage::cmdSelectFont_Click);
    connect(cmdHelpLanguage, &QPushButton::clicked, this, &frmLanguage::cmdHelpLanguage_Click);
    connect(List1, &QListWidget::itemClicked, this, &frmLanguage::List1_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &frmLanguage::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &frmLanguage::cmdDone_Click);

    TranslateForm(this);
    // A list reports no label of its own to a screen reader: it carries its caption as its name.
    List1->setAccessibleName(Label1->text().remove(u'&'));
    resize(sizeHint().expandedTo(QSize(360, 240)));
}

void frmLanguage::showEvent(QShowEvent *e)
{
    // Centred in the screen's work area, the size unchanged (a larger window overlaps both
    // edges equally).
    if (!parentWidget()) {
        if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QRect area = s->availableGeometry();
            move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
        }
    }
    QDialog::showEvent(e);
}

void frmLanguage::cmdDone_Click()
{
    const QListWidgetItem *item = List1->currentItem();
    Language = item ? item->text() : QString();
    accept();
}

void frmLanguage::cmdCancel_Click()
{
    Language.clear();
    sFontName.clear();
    reject();
}

void frmLanguage::List1_Click()
{
    const QListWidgetItem *item = List1->currentItem();
    cmdEditLanguageFile->setEnabled(!item || item->text() != QStringLiteral("English"));
}

void frmLanguage::cmdEditLanguageFile_Click()
{
    const QListWidgetItem *item = List1->currentItem();
    if (!item || item->text() == QStringLiteral("English"))
        return;
    // The file the translator reads; the desktop opens it with its handler for text files.
    m_opener->open(GetLanguageFilePath(item->text()));
}

void frmLanguage::cmdSelectFont_Click()
{
    QString family;
    bool ok = false;
    if (fontPicker) {
        ok = fontPicker(cmdSelectFont->font(), family);
    } else {
        const QFont f = QFontDialog::getFont(&ok, cmdSelectFont->font(), this);
        family = f.family();
    }
    if (ok && !family.isEmpty())
        sFontName = family;
}

void frmLanguage::cmdHelpLanguage_Click()
{
    ShowHelpTopic(hcLanguages, 4, ProductLinks::languagesHelp());
}

void frmLanguage::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F1) {
        cmdHelpLanguage_Click();
        return;
    }
    // Esc is handled on release, like the rest of the program's windows.
    if (e->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(e);
}

void frmLanguage::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyReleaseEvent(e);
}

LanguageChooserDialog::LanguageChooserDialog(QWidget *parent, ShellOpener *opener)
    : m_parent(parent)
    , m_opener(opener)
{
}

bool LanguageChooserDialog::choose(const QString &, QString &language, QString &font)
{
    frmLanguage dlg(m_parent, m_opener);
    if (fontPicker)
        dlg.fontPicker = fontPicker;
    FillInLanguageList(dlg.List1);
    dlg.List1_Click();
    if (run)
        run(dlg);
    else
        dlg.exec();
    language = dlg.Language;
    font = dlg.sFontName;
    return !language.isEmpty() || !font.isEmpty();
}
