#include "textcontrol/PdfExporter.h"

// Only the shared-pointer interfaces of libqpdf are used.
#define POINTERHOLDER_TRANSITION 4

#include "platform/AtomicFile.h"
#include "textcontrol/PictureResources.h"
#include "textcontrol/TextProperties.h"
#include "textcontrol/TextUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QUrl>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// PDF pages may not exceed 14400 points (200 inches).
constexpr int kMaxPageTwips = 288000;

// Copies the picture resources into the clone (decoded) and scales pictures whose resolution on the
// page exceeds maxDpi.
void preparePictures(const QTextDocument &source, QTextDocument *clone, int maxDpi)
{
    const QList<PictureResources::Use> uses = PictureResources::uses(*clone);
    // Each picture is decoded once, and each scaled size made once: every place that shows it
    // then shares one PDF image object.
    QHash<QString, QImage> decoded;
    QHash<QString, QString> scaledNames; // picture name and size -> name of the scaled copy
    for (const PictureResources::Use &use : uses) {
        const QString name = use.format.name();
        auto it = decoded.find(name);
        if (it == decoded.end()) {
            const QImage img = PictureResources::imageOf(PictureResources::resourceOf(source, name));
            it = decoded.insert(name, img);
            if (!img.isNull())
                clone->addResource(QTextDocument::ImageResource, QUrl(name), img);
        }
        const QImage img = it.value();
        if (img.isNull() || maxDpi <= 0)
            continue;
        const double dpi = TextUnits::docDpi();
        const double shownW = use.format.width() > 0 ? use.format.width() : img.width();
        const double shownH = use.format.height() > 0 ? use.format.height() : img.height();
        const int maxW = std::max(1, int(std::ceil(shownW / dpi * maxDpi)));
        const int maxH = std::max(1, int(std::ceil(shownH / dpi * maxDpi)));
        if (img.width() <= maxW && img.height() <= maxH)
            continue;
        const QSize size(std::min(maxW, img.width()), std::min(maxH, img.height()));
        const QString key = name + QStringLiteral("@%1x%2").arg(size.width()).arg(size.height());
        QString scaledName = scaledNames.value(key);
        if (scaledName.isEmpty()) {
            scaledName = QStringLiteral("scaled://%1").arg(scaledNames.size() + 1);
            scaledNames.insert(key, scaledName);
            clone->addResource(QTextDocument::ImageResource, QUrl(scaledName),
                               img.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        QTextImageFormat f = use.format;
        f.setName(scaledName);
        f.setWidth(shownW);
        f.setHeight(shownH);
        QTextCursor c(clone);
        c.setPosition(use.position);
        c.setPosition(use.position + use.length, QTextCursor::KeepAnchor);
        c.setCharFormat(f);
    }
}

// Frame lines lie around the text, so they may reach into the page margins.
void drawParagraphFrames(QPainter &p, QTextDocument *doc, const QRectF &pageRect, const QMarginsF &margins)
{
    p.setClipRect(pageRect.marginsAdded(margins));
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        const int style = bf.intProperty(TextProperties::FrameStyle);
        if (!style)
            continue;
        const QRectF br = layout->blockBoundingRect(b);
        if (!br.intersects(pageRect))
            continue;
        const double dist = TextUnits::twipsToDoc(bf.intProperty(TextProperties::FrameDistance));
        int widthTwips = bf.intProperty(TextProperties::FrameLineWidth);
        if (widthTwips <= 0)
            widthTwips = 15;
        const double left = br.left() + bf.leftMargin() - dist;
        const double right = br.right() - bf.rightMargin() + dist;
        const double top = br.top() + bf.topMargin() - dist;
        const double bottom = br.bottom() - bf.bottomMargin() + dist;
        p.setPen(QPen(Qt::black, TextUnits::twipsToDoc(widthTwips)));
        if (style & 1) p.drawLine(QPointF(left, top), QPointF(left, bottom));
        if (style & 2) p.drawLine(QPointF(right, top), QPointF(right, bottom));
        if (style & 4) p.drawLine(QPointF(left, top), QPointF(right, top));
        if (style & 8) p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    }
}

bool printDocument(const QTextDocument &doc, const PdfExportOptions &o, QByteArray *pdf, QString *error)
{
    int w = o.pageWidth, h = o.pageHeight;
    if (w <= 0 || h <= 0 || w > kMaxPageTwips || h > kMaxPageTwips) {
        *error = QStringLiteral("Invalid page size: %1 x %2 twips").arg(w).arg(h);
        return false;
    }
    if (!PdfExporter::leavesRoom(o)) {
        *error = QStringLiteral("The page's margins leave no room for text");
        return false;
    }
    const int ml = std::max(0, o.marginLeft), mr = std::max(0, o.marginRight);
    const int mt = std::max(0, o.marginTop), mb = std::max(0, o.marginBottom);
    const bool landscape = w > h;
    const QPageSize size(QSizeF(landscape ? h : w, landscape ? w : h) / 20.0, QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    const QPageLayout pageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                 QMarginsF(ml, mt, mr, mb) / 20.0, QPageLayout::Point, QMarginsF());

    std::unique_ptr<QTextDocument> clone(doc.clone());
    preparePictures(doc, clone.get(), o.maxImageResolution);

    QBuffer buffer(pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    if (o.pdfA)
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setCreator(QStringLiteral("Quorvane"));
    writer.setTitle(o.title);
    if (!writer.setPageLayout(pageLayout)) {
        *error = QStringLiteral("The page layout cannot be used");
        return false;
    }
    const double scale = writer.resolution() / TextUnits::docDpi();
    const QSizeF pageDoc(writer.width() / scale, writer.height() / scale);
    clone->setDocumentMargin(0);
    clone->setPageSize(pageDoc);
    const int pages = std::max(1, clone->pageCount());

    QPainter p;
    if (!p.begin(&writer)) {
        *error = QStringLiteral("The PDF writer could not start");
        return false;
    }
    QAbstractTextDocumentLayout *layout = clone->documentLayout();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.save();
        p.scale(scale, scale);
        p.translate(0, -i * pageDoc.height());
        const QRectF clip(0, i * pageDoc.height(), pageDoc.width(), pageDoc.height());
        // A hair inside the page's lower edge: what starts on the next page leaves no trace.
        p.setClipRect(clip.adjusted(0, 0, 0, -0.5));
        QAbstractTextDocumentLayout::PaintContext ctx;
        // The layout draws every line that touches the clip, and the line that ends a page
        // touches the next page's top edge: clipped away, its text would still be in the PDF
        // twice. A hair inside both edges, each line is drawn on its own page only.
        ctx.clip = clip.adjusted(0, 0.5, 0, -0.5);
        ctx.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&p, ctx);
        drawParagraphFrames(p, clone.get(), clip, QMarginsF(ml, mt, mr, mb) / 20.0 * TextUnits::docDpi() / 72.0);
        p.restore();
    }
    p.end();
    return true;
}

QByteArray encodeJpeg(const QImage &img, int quality)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "jpeg");
    w.setQuality(std::clamp(quality, 1, 100));
    if (!w.write(img))
        return QByteArray();
    return bytes;
}

bool isSingleFilter(QPDFObjectHandle filter, const char *name)
{
    if (filter.isName())
        return filter.getName() == name;
    if (filter.isArray() && filter.getArrayNItems() == 1 && filter.getArrayItem(0).isName())
        return filter.getArrayItem(0).getName() == name;
    return false;
}

bool recompressImage(QPDFObjectHandle obj, int quality);

// A picture that cannot be re-encoded stays as it is; the others are still re-encoded.
void recompressImages(QPDF &pdf, int quality)
{
    for (QPDFObjectHandle obj : pdf.getAllObjects()) {
        try {
            recompressImage(obj, quality);
        } catch (const std::exception &) {
        }
    }
}

bool recompressImage(QPDFObjectHandle obj, int quality)
{
    if (!obj.isStream())
        return false;
    QPDFObjectHandle dict = obj.getDict();
    if (!dict.getKey("/Subtype").isNameAndEquals("/Image"))
        return false;
    if (dict.getKey("/ImageMask").isBool() && dict.getKey("/ImageMask").getBoolValue())
        return false;
    if (!dict.getKey("/BitsPerComponent").isInteger() || dict.getKey("/BitsPerComponent").getIntValue() != 8)
        return false;
    if (dict.hasKey("/Decode"))
        return false;
    QPDFObjectHandle cs = dict.getKey("/ColorSpace");
    int comps = 0;
    if (cs.isNameAndEquals("/DeviceRGB"))
        comps = 3;
    else if (cs.isNameAndEquals("/DeviceGray"))
        comps = 1;
    if (!comps || !dict.getKey("/Width").isInteger() || !dict.getKey("/Height").isInteger())
        return false;
    const long long width = dict.getKey("/Width").getIntValue();
    const long long height = dict.getKey("/Height").getIntValue();
    if (width <= 0 || height <= 0 || width > 30000 || height > 30000)
        return false;
    QImage img;
    if (isSingleFilter(dict.getKey("/Filter"), "/DCTDecode")) {
        const std::shared_ptr<Buffer> raw = obj.getRawStreamData();
        img = QImage::fromData(reinterpret_cast<const uchar *>(raw->getBuffer()), int(raw->getSize()));
    } else {
        std::shared_ptr<Buffer> data;
        data = obj.getStreamData(qpdf_dl_generalized);
        const qsizetype rowBytes = qsizetype(width) * comps;
        if (!data || qsizetype(data->getSize()) < rowBytes * height)
            return false;
        img = QImage(int(width), int(height), comps == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
        for (int y = 0; y < height; ++y)
            std::copy_n(data->getBuffer() + y * rowBytes, rowBytes, img.scanLine(y));
    }
    if (img.isNull())
        return false;
    if (comps == 1)
        img = img.convertToFormat(QImage::Format_Grayscale8);
    else
        img = img.convertToFormat(QImage::Format_RGB888);
    const QByteArray jpeg = encodeJpeg(img, quality);
    if (jpeg.isEmpty())
        return false;
    obj.replaceStreamData(std::string(jpeg.constData(), size_t(jpeg.size())),
                          QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());

    return true;
}

} // namespace

bool PdfExporter::leavesRoom(const PdfExportOptions &o)
{
    const int ml = std::max(0, o.marginLeft), mr = std::max(0, o.marginRight);
    const int mt = std::max(0, o.marginTop), mb = std::max(0, o.marginBottom);
    return ml + mr < o.pageWidth - 144 && mt + mb < o.pageHeight - 144;
}

bool PdfExporter::postProcess(const QByteArray &in, const PdfExportOptions &o, QByteArray *out, QString *error)
{
    const bool encrypt = !o.userPassword.isEmpty() || !o.ownerPassword.isEmpty();
    if (!encrypt && o.imageQuality <= 0) {
        *out = in;
        return true;
    }
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("document", in.constData(), size_t(in.size()));
        if (o.imageQuality > 0)
            recompressImages(pdf, o.imageQuality);
        QPDFWriter w(pdf);
        w.setOutputMemory();
        if (encrypt) {
            const QByteArray user = o.userPassword.toUtf8();
            // Without a permissions password nothing is restricted: the open password then
            // also grants every right.
            const bool restricted = !o.ownerPassword.isEmpty();
            const QByteArray owner = restricted ? o.ownerPassword.toUtf8() : user;
            const int m = restricted ? o.permissions : 0xFF;
            qpdf_r3_print_e print = qpdf_r3p_none;
            if (m & 64)
                print = qpdf_r3p_full;
            else if (m & 128)
                print = qpdf_r3p_low;
            w.setR6EncryptionParameters(user.constData(), owner.constData(),
                                        (m & 4) != 0,            // screen readers
                                        (m & 16) != 0,           // copy content
                                        (m & (8 | 32)) != 0,     // insert, delete, rotate pages
                                        (m & 1) != 0,            // comments, forms, signing
                                        (m & (1 | 2)) != 0,      // forms, signing
                                        (m & 32) != 0,           // any other change
                                        print, true);
        }
        w.write();
        const std::shared_ptr<Buffer> buf = w.getBufferSharedPointer();
        *out = QByteArray(reinterpret_cast<const char *>(buf->getBuffer()), qsizetype(buf->getSize()));
        return true;
    } catch (const std::exception &e) {
        *error = QStringLiteral("PDF security or compression failed: %1").arg(QString::fromUtf8(e.what()));
        return false;
    }
}

bool PdfExporter::exportPdf(const QTextDocument &doc, const PdfExportOptions &o, const QString &path, QString *error)
{
    QString localError;
    QString *err = error ? error : &localError;
    QByteArray printed;
    if (!printDocument(doc, o, &printed, err))
        return false;
    QByteArray finished;
    if (!postProcess(printed, o, &finished, err))
        return false;
    QString why;
    if (WriteFileAtomically(path, finished, &why))
        return true;
    *err = QStringLiteral("Cannot write %1: %2").arg(path, why);
    return false;
}
