#pragma once
// A small notice window; start-up shows it as its splash while the main window loads.
#include <QWidget>

class QFrame;
class QLabel;

class frmPleaseWait : public QWidget
{
    Q_OBJECT
public:
    explicit frmPleaseWait(QWidget *parent = nullptr);

    QFrame *Frame1 = nullptr;
    QLabel *Image6 = nullptr;
    QLabel *lblHeader = nullptr;
    QLabel *lblLine1 = nullptr;
    QLabel *lblLine2 = nullptr;
};

// The version line of the splash: "V" major "." minor revision, no dot before the revision
// (10, 0, 6532 gives "V10.06532").
QString SplashVersionText(int major, int minor, int revision);
// The program's own version as that line shows it.
QString ProgramVersionText();
