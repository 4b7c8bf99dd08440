#include "HtmlPages.h"

#include <QFileInfo>
#include <QUrl>

namespace {

// A file name as a relative link: blanks, "#", "%", "?" and non-ASCII names stay one path step.
QString href(const QString &name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}

QString head(const QString &title)
{
    return QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>")
           + title.toHtmlEscaped()
           + QStringLiteral("</title>\n<style>\n"
                            "body { font-family: sans-serif; margin: 1em 2em; }\n"
                            "img { max-width: 100%; height: auto; border: 0; }\n"
                            ".slides { list-style: none; padding: 0; }\n"
                            ".slides li { display: inline-block; vertical-align: top; width: 250px; margin: 0 1em 1em 0; }\n"
                            ".picture img { box-shadow: 0 0 4px #888; }\n"
                            "</style>\n</head>\n<body>\n");
}

QString imageTag(const QString &src, const QSize &size, int width, const QString &alt)
{
    QString tag = QStringLiteral("<img src=\"") + src + u'"';
    if (size.isValid() && width > 0)
        tag += QStringLiteral(" width=\"%1\" height=\"%2\"").arg(width).arg(size.height() * width / qMax(1, size.width()));
    return tag + QStringLiteral(" alt=\"") + alt.toHtmlEscaped() + QStringLiteral("\">");
}

const QString kFoot = QStringLiteral("</body>\n</html>\n");

} // namespace

HtmlPages::HtmlPages(const QString &indexFileName, const QString &title, const QList<DeckSlide> &slides,
                     const SlideTextOptions &o)
    : m_index(indexFileName), m_stem(QFileInfo(indexFileName).completeBaseName()), m_title(title), m_slides(slides),
      m_options(o)
{
}

QString HtmlPages::pageName(int slide) const { return m_stem + QStringLiteral("_%1.html").arg(slide); }

QString HtmlPages::pictureName(int slide) const { return m_stem + QStringLiteral("_%1.png").arg(slide); }

QString HtmlPages::slideCaption(const DeckSlide &s) const
{
    const QString title = s.title().simplified();
    return title.isEmpty() ? QStringLiteral("Slide %1").arg(s.number)
                           : QStringLiteral("Slide %1: %2").arg(s.number).arg(title);
}

QString HtmlPages::navigation(int i) const
{
    // The first and last pages name the missing neighbour without a link, so the bar keeps its shape.
    auto link = [this](int j, const QString &text, const char *rel) {
        if (j < 0 || j >= m_slides.size())
            return QStringLiteral("<span>") + text + QStringLiteral("</span>");
        return QStringLiteral("<a href=\"%1\" rel=\"%2\">").arg(href(pageName(m_slides.at(j).number)), QLatin1String(rel))
               + text + QStringLiteral("</a>");
    };
    return QStringLiteral("<p class=\"nav\">") + link(i - 1, QStringLiteral("Previous"), "prev")
           + QStringLiteral(" | <a href=\"../") + href(m_index) + QStringLiteral("\" rel=\"index\">Index</a> | ")
           + link(i + 1, QStringLiteral("Next"), "next") + QStringLiteral("</p>\n");
}

QByteArray HtmlPages::index() const
{
    QString out = head(m_title) + QStringLiteral("<h1>") + m_title.toHtmlEscaped() + QStringLiteral("</h1>\n<ul class=\"slides\">\n");
    const QString folder = href(folderName()) + u'/';
    for (const DeckSlide &s : m_slides) {
        const QString caption = slideCaption(s).toHtmlEscaped();
        out += QStringLiteral("<li><a href=\"") + folder + href(pageName(s.number)) + QStringLiteral("\">")
               + imageTag(folder + href(pictureName(s.number)), m_sizes.value(s.number), 240, QString())
               + QStringLiteral("<br>") + caption + QStringLiteral("</a></li>\n");
    }
    return (out + QStringLiteral("</ul>\n") + kFoot).toUtf8();
}

QByteArray HtmlPages::page(int i) const
{
    const DeckSlide &s = m_slides.at(i);
    const QSize size = m_sizes.value(s.number);
    const QString nav = navigation(i);
    const QString out = head(m_title + QStringLiteral(" - ") + slideCaption(s)) + nav
                        + QStringLiteral("<p class=\"picture\">")
                        + imageTag(href(pictureName(s.number)), size, size.width(), slideCaption(s))
                        + QStringLiteral("</p>\n") + SlideTextWriter::htmlBody({s}, m_options) + nav + kFoot;
    return out.toUtf8();
}
