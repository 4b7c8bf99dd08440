#include "FlatOdpDeck.h"

#include <QXmlStreamReader>

namespace {
const QString kDrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kPresNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:presentation:1.0");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

// Reads one text:p or text:h (reader on its start element) into plain text.
QString readParagraph(QXmlStreamReader &r)
{
    QString out;
    int depth = 1;
    while (depth > 0 && !r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (r.namespaceUri() == kTextNs) {
                const auto n = r.name();
                if (n == QLatin1String("s"))
                    out += QString(qMax(1, r.attributes().value(kTextNs, QStringLiteral("c")).toInt()), u' ');
                else if (n == QLatin1String("tab"))
                    out += u'\t';
                else if (n == QLatin1String("line-break"))
                    out += u' ';
                else if (n == QLatin1String("note")) {
                    r.skipCurrentElement(); // footnote bodies are not paragraph text
                    --depth;
                }
            } else if (r.namespaceUri() == kOfficeNs && r.name() == QLatin1String("annotation")) {
                r.skipCurrentElement();
                --depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            out += r.text();
            break;
        default:
            break;
        }
    }
    return out;
}
} // namespace

QString DeckSlide::title() const
{
    for (const DeckShape &s : shapes)
        if (s.presentationClass == QLatin1String("title")) {
            QStringList parts;
            for (const DeckParagraph &p : s.paragraphs)
                parts << p.text;
            return parts.join(u' ').trimmed();
        }
    return QString();
}

namespace FlatOdpDeck {

QList<DeckSlide> readSlides(const QByteArray &xml)
{
    QList<DeckSlide> slides;
    QXmlStreamReader r(xml);
    // Element stack below the current page: [0] is the page's direct child (the shape).
    int depthInPage = -1;   // -1: outside any page
    int notesDepth = -1;    // depth of presentation:notes, -1 outside
    int listDepth = 0;
    DeckShape *shape = nullptr;
    while (!r.atEnd()) {
        const auto tok = r.readNext();
        if (tok == QXmlStreamReader::StartElement) {
            if (depthInPage < 0) {
                if (r.namespaceUri() == kDrawNs && r.name() == QLatin1String("page")) {
                    DeckSlide s;
                    s.number = static_cast<int>(slides.size()) + 1;
                    s.name = r.attributes().value(kDrawNs, QStringLiteral("name")).toString();
                    slides.append(s);
                    depthInPage = 0;
                    shape = nullptr;
                }
                continue;
            }
            ++depthInPage;
            DeckSlide &slide = slides.last();
            if (r.namespaceUri() == kPresNs && r.name() == QLatin1String("notes") && depthInPage == 1) {
                notesDepth = depthInPage;
                continue;
            }
            const bool shapeLevel = (notesDepth < 0 && depthInPage == 1) || (notesDepth > 0 && depthInPage == notesDepth + 1);
            if (shapeLevel) {
                if (notesDepth < 0) {
                    DeckShape sh;
                    sh.name = r.attributes().value(kDrawNs, QStringLiteral("name")).toString();
                    sh.presentationClass = r.attributes().value(kPresNs, QStringLiteral("class")).toString();
                    slide.shapes.append(sh);
                    shape = &slide.shapes.last();
                } else {
                    shape = nullptr;
                }
                listDepth = 0;
            }
            if (r.namespaceUri() == kTextNs) {
                if (r.name() == QLatin1String("list")) {
                    ++listDepth;
                } else if (r.name() == QLatin1String("p") || r.name() == QLatin1String("h")) {
                    DeckParagraph p;
                    p.level = listDepth;
                    p.text = readParagraph(r);
                    --depthInPage; // readParagraph consumed the end element
                    if (notesDepth > 0)
                        slide.notes.append(p);
                    else if (shape)
                        shape->paragraphs.append(p);
                }
            }
        } else if (tok == QXmlStreamReader::EndElement && depthInPage >= 0) {
            if (depthInPage == 0) {
                depthInPage = -1;
                shape = nullptr;
                continue;
            }
            if (r.namespaceUri() == kTextNs && r.name() == QLatin1String("list"))
                --listDepth;
            if (depthInPage == notesDepth)
                notesDepth = -1;
            --depthInPage;
        }
    }
    if (r.hasError())
        return {};
    return slides;
}

QByteArray keepSlides(const QByteArray &xml, int first, int last)
{
    static const QByteArray open = "<draw:page";
    static const QByteArray close = "</draw:page>";
    QByteArray out;
    out.reserve(xml.size());
    int pos = 0;
    int number = 0;
    for (;;) {
        int start = xml.indexOf(open, pos);
        // Skip other elements whose names start the same (draw:page-thumbnail).
        while (start >= 0) {
            const char next = start + open.size() < xml.size() ? xml.at(start + open.size()) : '\0';
            if (next == ' ' || next == '>' || next == '/' || next == '\n' || next == '\r' || next == '\t')
                break;
            start = xml.indexOf(open, start + 1);
        }
        if (start < 0)
            break;
        const int tagEnd = xml.indexOf('>', start);
        if (tagEnd < 0)
            return {};
        int end;
        if (xml.at(tagEnd - 1) == '/') {
            end = tagEnd + 1;
        } else {
            const int c = xml.indexOf(close, tagEnd);
            if (c < 0)
                return {};
            end = c + close.size();
        }
        ++number;
        out += xml.mid(pos, start - pos);
        if (number >= first && number <= last)
            out += xml.mid(start, end - start);
        pos = end;
    }
    if (number == 0)
        return {};
    out += xml.mid(pos);
    return out;
}

} // namespace FlatOdpDeck
