#include "textcontrol/PlainTextFiles.h"

#include "common/PathUtils.h"
#include "platform/AtomicFile.h"
#include "textcontrol/PlainTextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool readAll(const QString &path, QByteArray *bytes)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return f.error() == QFile::NoError;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    return WriteFileAtomically(path, bytes);
}

bool isBlankLine(const QString &line)
{
    for (const QChar c : line) {
        if (c != u' ' && c != u'\t' && c != u'\v' && c != u'\f' && c != u'\r' && c != u'\n')
            return false;
    }
    return true;
}

} // namespace

int ConcatenateTwoTextFiles(const QString &sOriginalFile, const QString &sTargetFile)
{
    if (bIsSamePath(sOriginalFile, sTargetFile))
        return -6;
    QByteArray original;
    if (!readAll(sOriginalFile, &original))
        return -3;
    QByteArray target;
    const bool targetExists = QFileInfo::exists(sTargetFile);
    if (targetExists && !readAll(sTargetFile, &target))
        return -2;
    if (target.isEmpty())
        return writeAll(sTargetFile, original) ? 0 : -2;

    PlainTextForm originalForm, targetForm;
    const QString originalText = PlainTextCodec::decode(original, &originalForm);
    PlainTextCodec::decode(target, &targetForm);
    QByteArray tail;
    if (originalForm.encoding == targetForm.encoding) {
        tail = original;
        if (originalForm.encoding == PlainTextForm::Utf8Bom)
            tail.remove(0, 3);
        else if (originalForm.encoding == PlainTextForm::Utf16LE || originalForm.encoding == PlainTextForm::Utf16BE)
            tail.remove(0, 2);
    } else {
        PlainTextForm noMark = targetForm;
        // The target's mark is already at its start.
        if (noMark.encoding == PlainTextForm::Utf8Bom)
            noMark.encoding = PlainTextForm::Utf8;
        tail = PlainTextCodec::encode(originalText, noMark);
        if (targetForm.encoding == PlainTextForm::Utf16LE || targetForm.encoding == PlainTextForm::Utf16BE)
            tail.remove(0, 2);
    }
    return writeAll(sTargetFile, target + tail) ? 0 : -2;
}

int DeleteEmptyLinesFromTextFile(const QString &sOriginalFile, const QString &sTargetFile)
{
    QByteArray original;
    if (!readAll(sOriginalFile, &original))
        return -3;
    PlainTextForm form;
    const QString text = PlainTextCodec::decode(original, &form);
    QString kept;
    kept.reserve(text.size());
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        qsizetype next = end;
        if (next < n && text.at(next) == u'\r')
            ++next;
        if (next < n && text.at(next) == u'\n' && (next == end || text.at(end) == u'\r'))
            ++next;
        if (!isBlankLine(text.mid(start, end - start)))
            kept += text.mid(start, next - start);
        start = next;
    }
    return writeAll(sTargetFile, PlainTextCodec::encode(kept, form)) ? 0 : -2;
}
