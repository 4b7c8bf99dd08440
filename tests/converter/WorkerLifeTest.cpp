// A worker's life beyond one conversion: the road a whole presentation takes, and when a kept
// worker is replaced for its memory.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/OfficeWorker.h"

#include <gtest/gtest.h>

#include <QJsonObject>

#include <functional>

using namespace convtest;

namespace {

// A worker of our own, driven one request at a time.
class Worker
{
public:
    bool start()
    {
        if (!m_w.launch(control().workerProgram()))
            return false;
        while (m_w.state() == OfficeWorker::Starting)
            m_w.poll(50);
        return m_w.state() == OfficeWorker::Idle;
    }
    void send(const QJsonObject &request) { m_w.send(request); }
    // The answer, polling meanwhile (each turn calls watch).
    QJsonObject answer(const std::function<void()> &watch = {})
    {
        while (m_w.state() == OfficeWorker::Busy && !m_w.hasAnswer()) {
            m_w.poll(20);
            if (watch)
                watch();
        }
        return m_w.takeAnswer();
    }
    QJsonObject convert(const ConversionRequest &r)
    {
        send(r.toJson());
        return answer();
    }
    void quit() { m_w.quit(); }

private:
    OfficeWorker m_w;
};

ConversionRequest pdfOf(const QString &original, const QString &target)
{
    ConversionRequest r;
    r.originalFile = original;
    r.targetFile = target;
    r.targetFileType = 32;
    return r;
}

} // namespace

// A whole presentation to PDF takes the hidden load once the office has named its language.
TEST(WorkerLife, TheAnswerNamesTheRoadAConversionTook)
{
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("Roads"));
    Worker w;
    ASSERT_TRUE(w.start());
    ConversionRequest r = pdfOf(pptx, out + QStringLiteral("/first.pdf"));
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular") << "the first load names the language";
    r.targetFile = out + QStringLiteral("/whole.pdf");
    QJsonObject a = w.convert(r);
    EXPECT_EQ(a.value("result").toInt(-1), 0);
    EXPECT_EQ(a.value("road").toString(), "hidden");
    r.includeNotesPage = true;
    r.targetFile = out + QStringLiteral("/notes.pdf");
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular");
    r.includeNotesPage = false;
    r.fromSlide = 2;
    r.targetFile = out + QStringLiteral("/range.pdf");
    EXPECT_EQ(w.convert(r).value("road").toString(), "regular");
    w.quit();
    EXPECT_EQ(pdfFacts(out + QStringLiteral("/whole.pdf")).pages, kDeckSlides);
}

// The memory limit holds for the growth of a kept worker, not for what it needs at rest.
TEST(WorkerLife, AKeptWorkerIsReplacedForGrowthOnly)
{
    ConversionControl &c = control();
    resetOptions(c);
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("MemoryLimit"));
    const qint64 limit = c.memoryLimitKb();
    // A worker that has converted nothing yet; then a limit far below what it holds at rest.
    c.shutDown();
    c.setMemoryLimitKb(32 * 1024);
    ASSERT_EQ(convert(pptx, out + QStringLiteral("/1.pdf"), 32), 0);
    const qint64 pid = c.workerProcessId();
    EXPECT_NE(pid, 0);
    for (int i = 2; i <= 4; ++i) {
        ASSERT_EQ(convert(pptx, out + QStringLiteral("/%1.pdf").arg(i), 32), 0);
        EXPECT_EQ(c.workerProcessId(), pid) << "replaced after file " << i;
    }
    // A limit that any growth passes still replaces it.
    c.setMemoryLimitKb(1);
    bool replaced = false;
    for (int i = 5; i <= 12 && !replaced; ++i) {
        ASSERT_EQ(convert(pptx, out + QStringLiteral("/%1.pdf").arg(i), 32), 0);
        replaced = c.workerProcessId() != pid;
    }
    c.setMemoryLimitKb(limit);
    EXPECT_TRUE(replaced);
}
