#pragma once
// The status bar as the engine sees it: panel 3 task number, 6 progress and state, 8 current
// file or error, 11 elapsed seconds. The window implements it on its status bar; an unattended
// run keeps the texts (tests read them) and shows nothing.
#include <QMap>
#include <QString>

class StatusPanels
{
public:
    enum Picture { NoPicture, CompletePicture };
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) { m_text[panel] = text; }
    virtual void setPanelPicture(int panel, Picture p) { m_picture[panel] = p; }
    virtual void setPanelEnabled(int, bool) {}
    QString panelText(int panel) const { return m_text.value(panel); }
    Picture panelPicture(int panel) const { return m_picture.value(panel, NoPicture); }

private:
    QMap<int, QString> m_text;
    QMap<int, Picture> m_picture;
};
