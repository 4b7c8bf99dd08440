// Turns a 200-page RTF with pictures into a PDF with options, as the "PDF - with options" road
// does after the conversion control has written the RTF: load into the text control, apply the
// enforced settings (page, paragraph, font, PDF security, image quality and resolution), save
// as PDF. Also times the pieces: RTF load alone and a plain PDF save.
// Run: build/bin/quorvane-pdf-options-bench [--benchmark_repetitions=3]
#include "jobs/JobSession.h"
#include "jobs/PdfWithOptions.h"
#include "jobs/clsConversionOptions.h"
#include "textcontrol/TextControl.h"

#include <benchmark/benchmark.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QByteArray pictureHex(quint32 seed)
{
    QImage img(640, 400, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x / 3 + int(seed) * 40) & 0xFF, (y / 2) & 0xFF, int(rng.bounded(64)) + 96));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG", 90);
    return bytes.toHex();
}

// Sections of a heading, three paragraphs and a picture of its own (640 x 400 pixels shown
// 6 x 3.75 inches) each: one page per section, 200 pages.
constexpr int kSections = 200;

QString sourceRtf()
{
    const QString path = workDir().filePath(QStringLiteral("source.rtf"));
    if (QFileInfo::exists(path))
        return path;
    const QByteArray words = "The quarterly figures show steady growth across all regions, with costs held flat "
                             "and travel spending lower than planned; the board asks for a review of the plant "
                             "schedule before the next meeting. ";
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
                     "{\\colortbl;\\red0\\green0\\blue128;}\\paperw12240\\paperh15840\n";
    for (int s = 0; s < kSections; ++s) {
        rtf += "\\pard\\sb240\\sa120{\\f0\\fs32\\b\\cf1 Section " + QByteArray::number(s + 1) + "}\\par\n";
        for (int p = 0; p < 3; ++p)
            rtf += "\\pard\\qj\\fi360{\\f1\\fs22 " + words.repeated(3) + "}\\par\n";
        rtf += "\\pard\\qc{\\pict\\jpegblip\\picw640\\pich400\\picwgoal8640\\pichgoal5400\n" + pictureHex(quint32(s))
               + "}\\par\n";
    }
    rtf += "}";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(rtf);
    return path;
}

int pageCount(const QString &pdf, const char *password)
{
    try {
        QPDF q;
        q.processFile(QFile::encodeName(pdf).constData(), password);
        return int(QPDFPageDocumentHelper(q).getAllPages().size());
    } catch (...) {
        return -1;
    }
}

void enforceEverything(ConversionSettings &s)
{
    s.bOverridePageSettings = true;
    s.lULKPageWidth = 11906;
    s.lULKPageHeight = 16838;
    s.bOverrideParagraphSettings = true;
    s.lULKAlignment = 3;
    s.lULKLineSpacing = 115;
    s.bOverrideFontSettings = true;
    s.sULKFontName = QStringLiteral("Liberation Serif");
    s.lULKFontSize = 11;
    s.lULKForeColor = 0;
    s.lULKBaseLine = 0;
    s.bOverridePDFSettings = true;
    s.sULKPDFUserPassword = QStringLiteral("open");
    s.sULKPDFMasterPassword = QStringLiteral("owner");
    s.lDocAccessPermissions = 128 | 16;
    s.bOverrideImageSettings = true;
    s.lImageComparessionQuality = 60;
    s.lImageMaxResolution = 96;
}

// Argument 0: every group enforced; 1: the same without the image group (no picture scaling
// or re-encoding); 2: without the image and PDF security groups.
void BM_PdfWithOptions(benchmark::State &state)
{
    const QString rtf = sourceRtf();
    const QString pdf = workDir().filePath(QStringLiteral("options.pdf"));
    JobSession session;
    enforceEverything(session.settings);
    session.settings.bOverrideImageSettings = state.range(0) < 1;
    session.settings.bOverridePDFSettings = state.range(0) < 2;
    for (auto _ : state) {
        clsConversionOptions o;
        o.sOriginalFile = rtf;
        o.lOriginalFileType = 5;
        o.sTargetFile = pdf;
        o.lTargetFileType = 12;
        if (ConvertRTFToPDFWithTextControl(session, o) != 0)
            state.SkipWithError(o.sErr.toUtf8().constData());
    }
    state.counters["pages"] = pageCount(pdf, state.range(0) < 2 ? "open" : nullptr);
    state.counters["pdf_MB"] = QFileInfo(pdf).size() / 1e6;
    state.counters["rtf_MB"] = QFileInfo(rtf).size() / 1e6;
}

void BM_RtfLoadOnly(benchmark::State &state)
{
    const QString rtf = sourceRtf();
    TextControl tc;
    for (auto _ : state)
        if (tc.Load(rtf, 0, 5) != 0)
            state.SkipWithError("load failed");
}

void BM_PlainPdfSave(benchmark::State &state)
{
    const QString rtf = sourceRtf();
    const QString pdf = workDir().filePath(QStringLiteral("plain.pdf"));
    TextControl tc;
    tc.Load(rtf, 0, 5);
    for (auto _ : state)
        if (tc.Save(pdf, 0, 12) != 0)
            state.SkipWithError("save failed");
    state.counters["pages"] = pageCount(pdf, nullptr);
    state.counters["pdf_MB"] = QFileInfo(pdf).size() / 1e6;
}

} // namespace

BENCHMARK(BM_PdfWithOptions)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RtfLoadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainPdfSave)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
