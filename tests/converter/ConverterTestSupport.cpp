#include "ConverterTestSupport.h"

#include "TestEnv.h"
#include "converter/TypeCatalogue.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <zip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace convtest {

ConversionControl &control()
{
    static ConversionControl *c = [] {
        auto *control = new ConversionControl; // lives until the process ends
        // Tests follow the one worker from file to file: it is never replaced for its size.
        control->setMemoryLimitKb(0);
        return control;
    }();
    return *c;
}

void resetOptions(ConversionControl &c)
{
    c.setFromSlide(0);
    c.setToSlide(0);
    c.setCreateFileForEachSlide(false);
    c.setIncludeNotesPage(false);
    c.setIncludeNotesOnly(false);
    c.setShowSlideAndShape(false);
    c.setOptimizeForSpeed(true);
    c.setTimeLimitMs(120000);
}

QString freshFolder(const QString &name)
{
    const QString path = qvtest::homeDir() + QStringLiteral("/work/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

int convert(const QString &original, const QString &target, int type)
{
    ConversionControl &c = control();
    c.setOriginalFile(original);
    c.setTargetFile(target);
    c.setTargetFileType(type);
    return c.convert();
}

QString deck(const QString &ext)
{
    const QString folder = qvtest::homeDir() + QStringLiteral("/decks");
    const QString path = folder + QStringLiteral("/quarterly-review.") + ext;
    if (QFileInfo::exists(path))
        return path;
    QDir().mkpath(folder);
    const int type = ext == QLatin1String("pptx") ? 24 : ext == QLatin1String("ppt") ? 1 : 35;
    resetOptions(control());
    const int rc = convert(qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp"), path, type);
    return rc == 0 ? path : QString();
}

PdfFacts pdfFacts(const QString &path)
{
    PdfFacts f;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(path).constData());
        auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
        f.pages = static_cast<int>(pages.size());
        if (!pages.empty()) {
            QPDFObjectHandle box = pages.front().getObjectHandle().getKey("/MediaBox");
            if (box.isArray() && box.getArrayNItems() == 4)
                f.size = QSizeF(box.getArrayItem(2).getNumericValue() - box.getArrayItem(0).getNumericValue(),
                                box.getArrayItem(3).getNumericValue() - box.getArrayItem(1).getNumericValue());
        }
        QPDFObjectHandle lang = pdf.getRoot().getKey("/Lang");
        if (lang.isString())
            f.language = QByteArray::fromStdString(lang.getUTF8Value());
        for (QPDFPageObjectHelper &page : pages) {
            const std::shared_ptr<Buffer> data = page.getObjectHandle().getKey("/Contents").getStreamData();
            f.pageContents.append(QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize())));
        }
    } catch (const std::exception &) {
        f.pages = -1;
    }
    return f;
}

QByteArray contentTypes(const QString &path)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray data;
    zip_stat_t st;
    if (zip_stat(z, "[Content_Types].xml", 0, &st) == 0) {
        if (zip_file_t *f = zip_fopen(z, "[Content_Types].xml", 0)) {
            data.resize(static_cast<qsizetype>(st.size));
            if (zip_fread(f, data.data(), st.size) != static_cast<zip_int64_t>(st.size))
                data.clear();
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return data;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList stagedLeftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".qvpart-*"), QStringLiteral(".qvprev-*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace convtest
