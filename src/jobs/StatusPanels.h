#pragma once
// The status bar as the engine sees it: eleven panels numbered from 1. The window
// implements StatusPanels on its status bar; an unattended run uses RecordingStatusPanels, which
// shows nothing and keeps the texts (tests read them).
#include <QMap>
#include <QString>

// The panels of the status bar, by their numbers. The engine writes Task, Progress,
// Message and Time; the labels and spacers hold design texts only.
namespace StatusPanel {
enum {
    Lead = 1,      // narrow empty panel
    TaskLabel,     // "#"
    Task,          // number of the task being run; "-" when the run ends
    Spacer4,
    ProgressLabel, // " Progress:"
    Progress,      // progress texts and percentages, "Pause", the completion picture
    Spacer7,
    Message,       // current file, file-list and loading texts, the last error
    Spacer9,
    TimeLabel,     // "Total Time (Sec):"
    Time,          // elapsed seconds of the run or of a launched program
    Count = Time
};
}

class StatusPanels
{
public:
    // The ninth and tenth pictures of the toolbar's list: run complete, and its attention sign.
    enum Picture { NoPicture, CompletePicture, AttentionPicture };
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;
    virtual void setPanelPicture(int panel, Picture p) = 0;
    virtual void setPanelEnabled(int panel, bool enabled) = 0;
};

// Keeps what the engine wrote; shows nothing.
class RecordingStatusPanels : public StatusPanels
{
public:
    void setPanelText(int panel, const QString &text) override { m_text[panel] = text; }
    void setPanelPicture(int panel, Picture p) override { m_picture[panel] = p; }
    void setPanelEnabled(int panel, bool enabled) override { m_enabled[panel] = enabled; }
    QString panelText(int panel) const { return m_text.value(panel); }
    Picture panelPicture(int panel) const { return m_picture.value(panel, NoPicture); }
    bool panelEnabled(int panel) const { return m_enabled.value(panel, true); }

private:
    QMap<int, QString> m_text;
    QMap<int, Picture> m_picture;
    QMap<int, bool> m_enabled;
};
