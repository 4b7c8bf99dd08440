// Time to open each option dialog: build it, load the settings, show it and let it lay out
// and paint once (offscreen platform unless QT_QPA_PLATFORM says otherwise).
#include "textcontrol/TextControl.h"
#include "ui/options/TextFontDialog.h"
#include "ui/options/TextParagraphDialog.h"
#include "ui/options/frmAdvancedOptions.h"
#include "ui/options/frmULKAdvancedOptions.h"
#include "ui/options/frmULKPDFOptions.h"
#include "ui/options/frmULKPageDlg.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

#include <cstdlib>

namespace {

ConversionSettings g_settings;
short g_unit = 1;
TextControl *g_output = nullptr;

DialogContext context()
{
    DialogContext ctx(g_settings, g_unit);
    ctx.TXTextControlOutput = g_output;
    return ctx;
}

void open(QDialog &d)
{
    d.show();
    d.grab(); // lays out and paints the whole window
    benchmark::DoNotOptimize(d.isVisible());
}

template <class D> void BM_Open(benchmark::State &state)
{
    for (auto _ : state) {
        DialogContext ctx = context();
        D d(ctx);
        d.Form_Load();
        open(d);
    }
}

void BM_OpenFont(benchmark::State &state)
{
    for (auto _ : state) {
        TextFontDialog d(*g_output, {});
        open(d);
    }
}

void BM_OpenParagraph(benchmark::State &state)
{
    for (auto _ : state) {
        TextParagraphDialog d(*g_output);
        open(d);
    }
}

} // namespace

BENCHMARK_TEMPLATE(BM_Open, frmAdvancedOptions)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Open, frmULKAdvancedOptions)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Open, frmULKPageDlg)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Open, frmULKPDFOptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFont)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenParagraph)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TextControl output;
    g_output = &output;
    // The first opening in a process also loads styles and fonts: timed once, before the
    // repeated (warm) runs below.
    {
        QElapsedTimer t;
        t.start();
        DialogContext ctx = context();
        frmAdvancedOptions d(ctx);
        d.Form_Load();
        open(d);
        const qint64 first = t.nsecsElapsed();
        t.restart();
        TextFontDialog f(output, {});
        open(f);
        std::printf("first open: frmAdvancedOptions %.1f ms, then TextFontDialog %.1f ms\n", first / 1e6,
                    t.nsecsElapsed() / 1e6);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
