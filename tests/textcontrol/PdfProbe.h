#pragma once
// Reads a PDF back with libqpdf for tests: pages, page size, encryption and permissions.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QByteArray>
#include <QList>
#include <QFile>
#include <QString>

#include <exception>

struct PdfInfo
{
    bool opened = false;
    QString error;
    int pages = 0;
    double width = 0;  // points, first page
    double height = 0;
    bool encrypted = false;
    bool printHigh = false, printLow = false, extract = false, accessibility = false;
    bool modifyOther = false, assembly = false, annotate = false, forms = false;
    int images = 0;
    bool allImagesJpeg = true;
    // Each page's drawing, decoded.
    QList<QByteArray> pageContents;
};

inline PdfInfo probePdf(const QString &path, const QString &password = QString())
{
    PdfInfo info;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        const QByteArray p = password.toUtf8();
        pdf.processFile(QFile::encodeName(path).constData(), password.isEmpty() ? nullptr : p.constData());
        info.opened = true;
        info.encrypted = pdf.isEncrypted();
        info.printHigh = pdf.allowPrintHighRes();
        info.printLow = pdf.allowPrintLowRes();
        info.extract = pdf.allowExtractAll();
        info.accessibility = pdf.allowAccessibility();
        info.modifyOther = pdf.allowModifyOther();
        info.assembly = pdf.allowModifyAssembly();
        info.annotate = pdf.allowModifyAnnotation();
        info.forms = pdf.allowModifyForm();
        auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
        info.pages = int(pages.size());
        for (QPDFPageObjectHelper &page : pages) {
            const std::shared_ptr<Buffer> data = page.getObjectHandle().getKey("/Contents").getStreamData();
            info.pageContents.append(QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize())));
        }
        if (!pages.empty()) {
            QPDFObjectHandle box = pages.front().getObjectHandle().getKey("/MediaBox");
            if (box.isArray() && box.getArrayNItems() == 4) {
                info.width = box.getArrayItem(2).getNumericValue() - box.getArrayItem(0).getNumericValue();
                info.height = box.getArrayItem(3).getNumericValue() - box.getArrayItem(1).getNumericValue();
            }
        }
        for (QPDFObjectHandle obj : pdf.getAllObjects()) {
            if (!obj.isStream() || !obj.getDict().getKey("/Subtype").isNameAndEquals("/Image"))
                continue;
            if (obj.getDict().getKey("/ColorSpace").isNameAndEquals("/DeviceGray") && obj.getDict().hasKey("/Decode"))
                continue;
            ++info.images;
            QPDFObjectHandle f = obj.getDict().getKey("/Filter");
            if (!f.isNameAndEquals("/DCTDecode"))
                info.allImagesJpeg = false;
        }
    } catch (const std::exception &e) {
        info.error = QString::fromUtf8(e.what());
    }
    return info;
}
