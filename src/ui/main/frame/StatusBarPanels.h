#pragma once
// The frame's status bar sbMain: eleven panels numbered from 1, through which the engine shows
// a run (3 task number, 6 progress and pictures, 8 current file or error, 11 seconds). Panels
// 2, 5 and 10 are the labels of 3, 6 and 11; 1, 4, 7 and 9 are narrow spacers; 8 stretches.
#include "jobs/StatusPanels.h"

#include <QStatusBar>

class QFrame;
class QLabel;

class StatusBarPanels : public QStatusBar, public StatusPanels
{
    Q_OBJECT
public:
    static constexpr int kPanelCount = StatusPanel::Count;

    explicit StatusBarPanels(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text) override;
    void setPanelPicture(int panel, Picture p) override;
    void setPanelEnabled(int panel, bool enabled) override;

    // A panel (1..11) is a sunken frame holding a picture and a text, as the classic panel
    // does; nullptr outside that range.
    QFrame *panel(int index) const;
    QLabel *panelLabel(int index) const;
    QLabel *pictureLabel(int index) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A panel too narrow for its text shows the whole text as its tool tip.
    static void updateToolTip(QLabel *text);

    QFrame *m_panels[kPanelCount] = {};
    QLabel *m_texts[kPanelCount] = {};
    QLabel *m_pictures[kPanelCount] = {};
};
