#include "StatusBarPanels.h"

#include "FramePictures.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace {

struct PanelDesign
{
    const char *text;  // label panels only; translated with the frame
    int minWidthChars; // 0: as wide as its text
    int stretch;
};

// Panel 8 takes the room that is left; the spacers stay narrow.
const PanelDesign kDesign[StatusBarPanels::kPanelCount] = {
    {"", 1, 0},                  // 1
    {"#", 0, 0},                 // 2
    {"", 4, 0},                  // 3 task number
    {"", 1, 0},                  // 4
    {" Progress:", 0, 0},        // 5
    {"", 18, 0},                 // 6 progress and pictures
    {"", 1, 0},                  // 7
    {"", 30, 1},                 // 8 current file, summaries, errors
    {"", 1, 0},                  // 9
    {"Total Time (Sec):", 0, 0}, // 10
    {"", 7, 0},                  // 11 seconds
};

} // namespace

StatusBarPanels::StatusBarPanels(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbMain"));
    const int charWidth = fontMetrics().averageCharWidth();
    for (int i = 0; i < kPanelCount; ++i) {
        const PanelDesign &d = kDesign[i];
        const bool isLabelPanel = d.text[0] != '\0';
        auto *frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("sbMainPanel%1").arg(i + 1));
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        auto *row = new QHBoxLayout(frame);
        row->setContentsMargins(2, 0, 2, 0);
        row->setSpacing(3);
        auto *picture = new QLabel(frame);
        picture->hide();
        auto *text = new QLabel(QString::fromLatin1(d.text), frame);
        text->setTextFormat(Qt::PlainText);
        // Only the label panels hold design texts that the frame's translation may touch.
        if (!isLabelPanel)
            text->setProperty("Tag", QStringLiteral("TranslateFalse"));
        row->addWidget(picture);
        row->addWidget(text, 1);
        text->installEventFilter(this);
        if (d.minWidthChars > 0)
            frame->setMinimumWidth(d.minWidthChars * charWidth + 8);
        // A long path in the file panel must not widen the window: it is clipped instead.
        if (d.stretch > 0) {
            frame->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        addPermanentWidget(frame, d.stretch);
        m_panels[i] = frame;
        m_texts[i] = text;
        m_pictures[i] = picture;
    }
}

QFrame *StatusBarPanels::panel(int index) const
{
    return index >= 1 && index <= kPanelCount ? m_panels[index - 1] : nullptr;
}

QLabel *StatusBarPanels::panelLabel(int index) const
{
    return index >= 1 && index <= kPanelCount ? m_texts[index - 1] : nullptr;
}

QLabel *StatusBarPanels::pictureLabel(int index) const
{
    return index >= 1 && index <= kPanelCount ? m_pictures[index - 1] : nullptr;
}

void StatusBarPanels::setPanelText(int panel, const QString &text)
{
    if (QLabel *l = panelLabel(panel)) {
        l->setText(text);
        updateToolTip(l);
    }
}

bool StatusBarPanels::eventFilter(QObject *watched, QEvent *event)
{
    // Other widgets of the bar (the size grip) may pass through here too: only panel texts count.
    if (event->type() == QEvent::Resize)
        for (QLabel *text : m_texts)
            if (text == watched)
                updateToolTip(text);
    return QStatusBar::eventFilter(watched, event);
}

void StatusBarPanels::updateToolTip(QLabel *text)
{
    const bool cut = text->fontMetrics().horizontalAdvance(text->text()) > text->contentsRect().width();
    text->setToolTip(cut ? text->text() : QString());
}

void StatusBarPanels::setPanelPicture(int panel, Picture p)
{
    QLabel *l = pictureLabel(panel);
    if (!l)
        return;
    const QPixmap pixmap = StatusPicture(p, 16);
    l->setPixmap(pixmap);
    l->setVisible(!pixmap.isNull());
}

void StatusBarPanels::setPanelEnabled(int panel, bool enabled)
{
    if (QFrame *f = this->panel(panel))
        f->setEnabled(enabled);
}
