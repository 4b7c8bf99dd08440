#include "SlideTextWriter.h"

#include "platform/TextCodec.h"

#include <QBuffer>

namespace {

// One line of output in a form every writer can render.
struct Line
{
    enum Kind { SlideLabel, ShapeLabel, Title, Body, NotesLabel, Note, Picture, SlideEnd };
    Kind kind;
    QString text;
    int level = 0;
    int slide = 0;
};

QList<Line> layout(const QList<DeckSlide> &slides, const SlideTextOptions &o, bool withPictures)
{
    QList<Line> lines;
    for (const DeckSlide &s : slides) {
        if (o.showSlideAndShape)
            lines.append({Line::SlideLabel, QStringLiteral("Slide %1").arg(s.number), 0, s.number});
        if (withPictures)
            lines.append({Line::Picture, QString(), 0, s.number});
        if (!o.notesOnly) {
            int shapeNo = 0;
            for (const DeckShape &sh : s.shapes) {
                ++shapeNo;
                if (o.showSlideAndShape) {
                    QString label = QStringLiteral("Shape %1").arg(shapeNo);
                    const QString what = !sh.presentationClass.isEmpty() ? sh.presentationClass : sh.name;
                    if (!what.isEmpty())
                        label += QStringLiteral(" (") + what + u')';
                    lines.append({Line::ShapeLabel, label, 0, s.number});
                }
                const bool isTitle = sh.presentationClass == QLatin1String("title");
                for (const DeckParagraph &p : sh.paragraphs) {
                    if (p.text.trimmed().isEmpty())
                        continue;
                    lines.append({isTitle ? Line::Title : Line::Body, p.text, p.level, s.number});
                }
            }
        }
        if ((o.notes || o.notesOnly) && !s.notes.isEmpty()) {
            if (!o.notesOnly)
                lines.append({Line::NotesLabel, QStringLiteral("Notes:"), 0, s.number});
            for (const DeckParagraph &p : s.notes)
                if (!p.text.trimmed().isEmpty())
                    lines.append({Line::Note, p.text, p.level, s.number});
        }
        lines.append({Line::SlideEnd, QString(), 0, s.number});
    }
    return lines;
}

QString plainText(const QList<DeckSlide> &slides, const SlideTextOptions &o)
{
    QString out;
    for (const Line &l : layout(slides, o, false)) {
        if (l.kind == Line::SlideEnd) {
            out += QStringLiteral("\r\n");
            continue;
        }
        if (l.level > 1)
            out += QString(l.level - 1, u'\t');
        out += l.text + QStringLiteral("\r\n");
    }
    return out;
}

QByteArray rtfEscape(const QString &s)
{
    QByteArray out;
    for (const QChar c : s) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // \uN takes a signed 16-bit value; '?' is what readers without Unicode show.
            out += "\\u" + QByteArray::number(static_cast<short>(u)) + '?';
        }
    }
    return out;
}

QByteArray rtfPicture(const QImage &img)
{
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    // Shown 6 inches wide (8640 twips); the height keeps the slide's proportions.
    const int wGoal = 8640;
    const int hGoal = img.width() > 0 ? wGoal * img.height() / img.width() : 0;
    QByteArray out = "{\\pict\\pngblip\\picw" + QByteArray::number(img.width()) + "\\pich"
                     + QByteArray::number(img.height()) + "\\picwgoal" + QByteArray::number(wGoal)
                     + "\\pichgoal" + QByteArray::number(hGoal) + "\n";
    const QByteArray hex = png.toHex();
    for (int i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + '\n';
    out += "}";
    return out;
}

} // namespace

namespace SlideTextWriter {

QByteArray rtf(const QList<DeckSlide> &slides, const SlideTextOptions &o, const QMap<int, QImage> &pictures)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n\\f0\\fs24\n";
    for (const Line &l : layout(slides, o, !pictures.isEmpty())) {
        switch (l.kind) {
        case Line::SlideLabel:
        case Line::ShapeLabel:
        case Line::NotesLabel:
            out += "\\pard\\b " + rtfEscape(l.text) + "\\b0\\par\n";
            break;
        case Line::Title:
            out += "\\pard\\b\\fs32 " + rtfEscape(l.text) + "\\b0\\fs24\\par\n";
            break;
        case Line::Body:
        case Line::Note:
            if (l.level > 0)
                out += "\\pard\\li" + QByteArray::number(360 * l.level) + "\\fi-360 \\bullet\\tab "
                       + rtfEscape(l.text) + "\\par\n";
            else
                out += "\\pard " + rtfEscape(l.text) + "\\par\n";
            break;
        case Line::Picture:
            if (pictures.contains(l.slide))
                out += "\\pard " + rtfPicture(pictures.value(l.slide)) + "\\par\n";
            break;
        case Line::SlideEnd:
            out += "\\pard\\par\n";
            break;
        }
    }
    out += "}\n";
    return out;
}

QByteArray ansiText(const QList<DeckSlide> &slides, const SlideTextOptions &o)
{
    return TextCodec::encodeWindows1252(plainText(slides, o));
}

QByteArray unicodeText(const QList<DeckSlide> &slides, const SlideTextOptions &o)
{
    const QString text = plainText(slides, o);
    QByteArray out("\xFF\xFE", 2);
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QString htmlBody(const QList<DeckSlide> &slides, const SlideTextOptions &o)
{
    QString out;
    for (const Line &l : layout(slides, o, false)) {
        const QString t = l.text.toHtmlEscaped();
        switch (l.kind) {
        case Line::SlideLabel:
            out += QStringLiteral("<h1>") + t + QStringLiteral("</h1>\n");
            break;
        case Line::ShapeLabel:
        case Line::NotesLabel:
            out += QStringLiteral("<h3>") + t + QStringLiteral("</h3>\n");
            break;
        case Line::Title:
            out += QStringLiteral("<h2>") + t + QStringLiteral("</h2>\n");
            break;
        case Line::Body:
        case Line::Note:
            if (l.level > 0)
                out += QStringLiteral("<p style=\"margin-left:%1em\">&bull; ").arg(2 * l.level) + t
                       + QStringLiteral("</p>\n");
            else
                out += QStringLiteral("<p>") + t + QStringLiteral("</p>\n");
            break;
        case Line::Picture:
            break;
        case Line::SlideEnd:
            out += QStringLiteral("<hr>\n");
            break;
        }
    }
    return out;
}

QByteArray html(const QList<DeckSlide> &slides, const SlideTextOptions &o, const QString &title)
{
    const QString out = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>")
                        + title.toHtmlEscaped() + QStringLiteral("</title>\n</head>\n<body>\n")
                        + htmlBody(slides, o) + QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace SlideTextWriter
