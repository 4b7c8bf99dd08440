#include "frmPleaseWait.h"

#include "FramePictures.h"
#include "ui/support/FormTranslator.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

frmPleaseWait::frmPleaseWait(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmPleaseWait"));
    setWindowTitle(QStringLiteral("Please wait while updating."));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Raised);
    Frame1->setLineWidth(1);
    outer->addWidget(Frame1);

    auto *row = new QHBoxLayout(Frame1);
    row->setContentsMargins(18, 16, 24, 16);
    row->setSpacing(16);
    Image6 = new QLabel(Frame1);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->setPixmap(ProgramIcon().pixmap(QSize(48, 48), devicePixelRatioF()));
    Image6->setAlignment(Qt::AlignTop);
    row->addWidget(Image6);

    auto *lines = new QVBoxLayout;
    lines->setSpacing(4);
    lblHeader = new QLabel(QStringLiteral("Please wait while updating."), Frame1);
    lblHeader->setObjectName(QStringLiteral("lblHeader"));
    QFont big = lblHeader->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblHeader->setFont(big);
    lblLine1 = new QLabel(Frame1);
    lblLine1->setObjectName(QStringLiteral("lblLine1"));
    lblLine2 = new QLabel(Frame1);
    lblLine2->setObjectName(QStringLiteral("lblLine2"));
    // The version and the maker are names, not texts of the program's language.
    lblLine1->setProperty("Tag", QStringLiteral("TranslateFalse"));
    lblLine2->setProperty("Tag", QStringLiteral("TranslateFalse"));
    lines->addWidget(lblHeader);
    lines->addWidget(lblLine1);
    lines->addWidget(lblLine2);
    lines->addStretch(1);
    row->addLayout(lines, 1);

    TranslateForm(this);
}

QString SplashVersionText(int major, int minor, int revision)
{
    return QStringLiteral("V%1.%2%3").arg(major).arg(minor).arg(revision);
}

QString ProgramVersionText()
{
    return SplashVersionText(QV_VERSION_MAJOR, QV_VERSION_MINOR, QV_VERSION_PATCH);
}
