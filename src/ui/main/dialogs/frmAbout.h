#pragma once
// The about box: product, version, maker, the support address, and a small animation of
// sixteen pictures. Double-clicking the picture opens the settings file in the desktop's
// editor for such files.
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
class ShellOpener;

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // opener: how files and addresses are opened (nullptr: the desktop's).
    explicit frmAbout(QWidget *parent = nullptr, ShellOpener *opener = nullptr);

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblMaker = nullptr;
    QLabel *lblSettingsFile = nullptr;
    // One picture label shows the current picture of ImageArray.
    QLabel *ImageArray = nullptr;
    QPushButton *cmdMailToProductName = nullptr;
    QPushButton *cmdOK = nullptr;
    QTimer *Timer1 = nullptr;

    // The picture shown (1..16) and the one hidden last.
    int currentPicture() const { return m_shown; }
    int previousPicture() const { return m_previous; }

public slots:
    // One animation step: shows the current picture and moves on; after picture 16 the timer
    // waits 10 seconds, otherwise 200 ms.
    void Timer1_Timer();
    void ImageArray_DblClick();
    void cmdMailToProductName_Click();

protected:
    void keyReleaseEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    ShellOpener *m_opener;
    int m_current = 1;
    int m_previous = 16;
    int m_shown = 0;
};
