#include "frmAbout.h"

#include "AboutPictures.h"
#include "ui/main/frame/FramePictures.h"
#include "ui/main/ProductLinks.h"
#include "ui/main/frame/frmPleaseWait.h"
#include "common/FileUtils.h"
#include "common/Globals.h"
#include "language/Translator.h"
#include "platform/ShellOpener.h"
#include "ui/support/FormTranslator.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kPictureSize = 64;
constexpr int kStepMs = 200;
constexpr int kRestMs = 10000;
} // namespace

frmAbout::frmAbout(QWidget *parent, ShellOpener *opener)
    : QDialog(parent)
    , m_opener(opener ? opener : &DesktopOpener())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quorvane"));
    setWindowIcon(ProgramIcon());
    setModal(true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(6);

    ImageArray = new QLabel(this);
    ImageArray->setObjectName(QStringLiteral("ImageArray"));
    ImageArray->setFixedSize(kPictureSize, kPictureSize);
    ImageArray->setAccessibleName(Translate(QStringLiteral("Open the settings file")));
    ImageArray->installEventFilter(this);
    grid->addWidget(ImageArray, 0, 0, 4, 1, Qt::AlignTop);

    lblTitle = new QLabel(GetProgramTitle(), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setProperty("Tag", QStringLiteral("TranslateFalse"));
    QFont big = lblTitle->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    lblTitle->setFont(big);
    auto *lblPurpose = new QLabel(QStringLiteral("Batch conversion of presentations"), this);
    lblPurpose->setObjectName(QStringLiteral("lblPurpose"));
    lblVersion = new QLabel(ProgramVersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setProperty("Tag", QStringLiteral("TranslateFalse"));
    lblMaker = new QLabel(QStringLiteral("Ornwell, Inc."), this);
    lblMaker->setObjectName(QStringLiteral("lblMaker"));
    lblMaker->setProperty("Tag", QStringLiteral("TranslateFalse"));
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblPurpose, 1, 1);
    grid->addWidget(lblVersion, 2, 1);
    grid->addWidget(lblMaker, 3, 1);

    auto *lblSettingsCaption = new QLabel(QStringLiteral("Settings File:"), this);
    lblSettingsCaption->setObjectName(QStringLiteral("lblSettingsCaption"));
    lblSettingsFile = new QLabel(G_IniFilePath, this);
    lblSettingsFile->setObjectName(QStringLiteral("lblSettingsFile"));
    lblSettingsFile->setProperty("Tag", QStringLiteral("TranslateFalse"));
    lblSettingsFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSettingsFile->setWordWrap(true);
    lblSettingsCaption->setBuddy(lblSettingsFile);
    grid->addWidget(lblSettingsCaption, 4, 0, 1, 2);
    grid->addWidget(lblSettingsFile, 5, 0, 1, 2);

    auto *lblSupport = new QLabel(QStringLiteral("Support:"), this);
    lblSupport->setObjectName(QStringLiteral("lblSupport"));
    cmdMailToProductName = new QPushButton(ProductLinks::supportMail(), this);
    cmdMailToProductName->setObjectName(QStringLiteral("cmdMailToProductName"));
    cmdMailToProductName->setProperty("Tag", QStringLiteral("TranslateFalse"));
    cmdMailToProductName->setAutoDefault(false);
    lblSupport->setBuddy(cmdMailToProductName);
    auto *supportRow = new QHBoxLayout;
    supportRow->addWidget(lblSupport);
    supportRow->addWidget(cmdMailToProductName);
    supportRow->addStretch(1);
    grid->addLayout(supportRow, 6, 0, 1, 2);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    grid->addLayout(buttons, 7, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdMailToProductName, &QPushButton::clicked, this, &frmAbout::cmdMailToProductName_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kStepMs);
    connect(Timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    ImageArray->setPixmap(AboutPicture(1, kPictureSize, devicePixelRatioF()));
    m_shown = 1;
    Timer1->start();

    TranslateForm(this);
    setMinimumWidth(420);
}

void frmAbout::Timer1_Timer()
{
    // The pictures lie on top of each other; showing one hides the one before.
    ImageArray->setPixmap(AboutPicture(m_current, kPictureSize, devicePixelRatioF()));
    m_shown = m_current;
    m_previous = m_current;
    ++m_current;
    if (m_current >= kAboutPictureCount + 1) {
        m_current = 1;
        Timer1->setInterval(kRestMs);
    } else {
        Timer1->setInterval(kStepMs);
    }
}

void frmAbout::ImageArray_DblClick()
{
    if (!G_IniFilePath.isEmpty() && bFileExists(G_IniFilePath))
        m_opener->open(G_IniFilePath);
}

void frmAbout::cmdMailToProductName_Click()
{
    m_opener->open(QStringLiteral("mailto:") + ProductLinks::supportMail());
}

void frmAbout::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyReleaseEvent(e);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == ImageArray && e->type() == QEvent::MouseButtonDblClick) {
        ImageArray_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}
