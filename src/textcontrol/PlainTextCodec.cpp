#include "textcontrol/PlainTextCodec.h"

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace PlainTextCodec {

QString decode(const QByteArray &bytes, PlainTextForm *form)
{
    PlainTextForm f;
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        f.encoding = PlainTextForm::Utf16LE;
        text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        f.encoding = PlainTextForm::Utf16BE;
        text = QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF") && TextCodec::isValidUtf8(bytes)) {
        f.encoding = PlainTextForm::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (TextCodec::isValidUtf8(bytes)) {
        f.encoding = PlainTextForm::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        f.encoding = PlainTextForm::Windows1252;
        text = TextCodec::decodeWindows1252(bytes);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r') {
            f.lineEnd = (i + 1 < text.size() && text.at(i + 1) == u'\n') ? QStringLiteral("\r\n") : QStringLiteral("\r");
            break;
        }
        if (text.at(i) == u'\n') {
            f.lineEnd = QStringLiteral("\n");
            break;
        }
    }
    if (form)
        *form = f;
    return text;
}

QByteArray encode(const QString &text, const PlainTextForm &form)
{
    switch (form.encoding) {
    case PlainTextForm::Utf16LE:
        return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
    case PlainTextForm::Utf16BE:
        return QByteArray("\xFE\xFF", 2) + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    case PlainTextForm::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case PlainTextForm::Windows1252:
        return TextCodec::encodeWindows1252(text);
    case PlainTextForm::Utf8:
        break;
    }
    return text.toUtf8();
}

QString withLineEnds(const QString &text, const QString &lineEnd)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += lineEnd;
        } else if (c == u'\n') {
            out += lineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace PlainTextCodec
