#include "Help.h"

#include "common/Globals.h"
#include "platform/ShellOpener.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QFileInfo>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cstdio>

namespace {

QString gsHelpFolder;
QString gsHelpGeneral;
ShellOpener *gHelpOpener = nullptr;
std::function<void(const QString &)> gHelpOutput;

constexpr int kTextWidth = 78;

ShellOpener *helpOpener() { return gHelpOpener ? gHelpOpener : &DesktopOpener(); }

void writeHelpText(const QString &text)
{
    if (gHelpOutput) {
        gHelpOutput(text);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString readPage(const QString &path)
{
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// Fills words into lines of at most `width` characters after `indent`; the first line starts
// with `first` (a list mark) in place of the indent. A no-break space keeps words together.
QStringList wrap(const QString &text, int indent, const QString &first = QString())
{
    QStringList lines;
    const QString pad(indent, QLatin1Char(' '));
    QString line = first.isEmpty() ? pad : first.leftJustified(indent, QLatin1Char(' '));
    bool empty = true;
    const int width = kTextWidth;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString w = QString(word).replace(QChar::Nbsp, QLatin1Char(' '));
        if (!empty && line.size() + 1 + w.size() > width) {
            lines << line;
            line = pad;
            empty = true;
        }
        if (!empty)
            line += QLatin1Char(' ');
        line += w;
        empty = false;
    }
    if (!empty || lines.isEmpty())
        lines << ((empty && first.isEmpty()) ? QString() : line);
    return lines;
}

bool isNumbered(QTextListFormat::Style s)
{
    return s == QTextListFormat::ListDecimal || s == QTextListFormat::ListLowerAlpha
        || s == QTextListFormat::ListUpperAlpha || s == QTextListFormat::ListLowerRoman
        || s == QTextListFormat::ListUpperRoman;
}

// Without a QGuiApplication a QTextDocument cannot lay out HTML (it needs fonts): the page
// loses its tags instead, block ends becoming line ends.
QString pageTextWithoutGui(QString html)
{
    using RE = QRegularExpression;
    html.remove(RE(QStringLiteral("<head.*</head>"), RE::DotMatchesEverythingOption | RE::CaseInsensitiveOption));
    html.replace(RE(QStringLiteral("<li[^>]*>"), RE::CaseInsensitiveOption), QStringLiteral("  - "));
    html.replace(RE(QStringLiteral("<dd[^>]*>"), RE::CaseInsensitiveOption), QStringLiteral("    "));
    html.replace(RE(QStringLiteral("</(h\\d|p|li|dt|dd|pre|ul|ol|dl)>|<br */?>"), RE::CaseInsensitiveOption),
                 QStringLiteral("\n"));
    html.remove(RE(QStringLiteral("<[^>]*>")));
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    html.replace(RE(QStringLiteral("\n\\s*\n(\\s*\n)+")), QStringLiteral("\n\n"));
    return html.trimmed() + QLatin1Char('\n');
}

} // namespace

void InitializeHelpFile()
{
    gsHelpFolder = GetProgramFolder() + QStringLiteral("/help");
    gsHelpGeneral = gsHelpFolder + QStringLiteral("/index.html");
}

QString HelpFolder()
{
    if (gsHelpFolder.isEmpty())
        InitializeHelpFile();
    return gsHelpFolder;
}

QString HelpTopicPath(int lContextID)
{
    QString name;
    switch (lContextID) {
    case hcCommandLine:
        name = QStringLiteral("command-line.html");
        break;
    case hcContents:
        name = QStringLiteral("index.html");
        break;
    case hcQuickStart:
        name = QStringLiteral("quick-start.html");
        break;
    case hcLanguages:
        name = QStringLiteral("languages.html");
        break;
    default:
        return QString();
    }
    return HelpFolder() + QLatin1Char('/') + name;
}

bool bHasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void SetHelpOpener(ShellOpener *opener) { gHelpOpener = opener; }

void SetHelpTextOutput(std::function<void(const QString &)> output)
{
    gHelpOutput = std::move(output);
}

bool ShowHelpTopic(int lContextID, int /*iShowCmd*/, const QString &sURL)
{
    HelpFolder();
    QString page = HelpTopicPath(lContextID);
    if (!QFileInfo(page).isFile())
        page.clear();
    if (bHasDisplay()) {
        if (!page.isEmpty() && helpOpener()->open(page))
            return true;
        const QString fallback = sURL.isEmpty() ? gsHelpGeneral : sURL;
        if (!fallback.isEmpty() && helpOpener()->open(fallback))
            return true;
    }
    // No display, or nothing could be opened: the page as text.
    const QString text = HelpPageText(readPage(page.isEmpty() ? gsHelpGeneral : page));
    if (text.isEmpty())
        return false;
    writeHelpText(text);
    return true;
}

QString HelpTopicText(int lContextID)
{
    return HelpPageText(readPage(HelpTopicPath(lContextID)));
}

QString HelpPageText(const QString &html)
{
    if (html.trimmed().isEmpty())
        return QString();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return pageTextWithoutGui(html);
    QTextDocument doc;
    doc.setHtml(html);

    QStringList out;
    bool previousIndented = false;
    const QTextList *previousList = nullptr;
    bool previousPre = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat fmt = b.blockFormat();
        QString text = b.text();
        QTextList *list = b.textList();
        const bool pre = fmt.nonBreakableLines();
        const bool indented = !list && fmt.leftMargin() > 0;
        if (text.trimmed().isEmpty() && !pre)
            continue;

        // A blank line between blocks, except inside one list, one preformatted text, and
        // between a term and its definition.
        const bool together = (list && list == previousList) || (pre && previousPre)
            || (indented && !previousIndented && !out.isEmpty()) || (indented && previousIndented);
        if (!out.isEmpty() && !together)
            out << QString();

        const int heading = fmt.headingLevel();
        if (heading > 0) {
            const QString h = text.simplified();
            out << h;
            out << QString(h.size(), heading == 1 ? QLatin1Char('=') : QLatin1Char('-'));
        } else if (pre) {
            for (const QString &line : text.split(QChar::LineSeparator))
                out << QStringLiteral("    ") + QString(line).replace(QChar::Nbsp, QLatin1Char(' '));
        } else if (list) {
            const QTextListFormat lf = list->format();
            const int level = qMax(1, lf.indent());
            const QString mark = isNumbered(lf.style()) ? list->itemText(b) : QStringLiteral("-");
            const int indent = 2 * level + mark.size() + 1;
            QString lead = QString(2 * level, QLatin1Char(' ')) + mark;
            const QStringList parts = text.split(QChar::LineSeparator);
            for (int i = 0; i < parts.size(); ++i)
                out << wrap(parts[i].simplified(), indent, i == 0 ? lead : QString());
        } else {
            const int indent = indented ? 4 : 0;
            for (const QString &part : text.split(QChar::LineSeparator))
                out << wrap(part.simplified(), indent);
        }
        previousIndented = indented;
        previousList = list;
        previousPre = pre;
    }
    for (QString &line : out) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
