// Text-control file input and output: the RTF/DOC swap, retries, messages, save types.
#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/TextControlFileIO.h"
#include "language/Translator.h"
#include "textcontrol/TextControl.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct RetryPause
{
    explicit RetryPause(int ms) { SetTXLoadRetryPause(ms); }
    ~RetryPause() { SetTXLoadRetryPause(100); }
};

} // namespace

TEST(TextControlFileIO, RtfNamedDocLoadsOnTheSwap)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("letter.doc"));
    ASSERT_TRUE(qvtest::writeFile(doc, "{\\rtf1\\ansi hello\\par}"));
    TextControl tc;
    int type = 9;
    QString message;
    EXPECT_EQ(TXControlLoadFile(doc, type, &tc, message), 0);
    EXPECT_EQ(type, 5);
    EXPECT_TRUE(message.isEmpty());
    EXPECT_EQ(tc.Text(), QStringLiteral("hello\n"));
    EXPECT_TRUE(tc.OutputOption(37).toBool());
}

TEST(TextControlFileIO, LoadFailuresAndTheirMessages)
{
    QTemporaryDir dir;
    TextControl tc;
    QString message;

    // Missing: at once, with the path.
    const QString missing = dir.filePath(QStringLiteral("TXmissing.rtf"));
    int type = 5;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(TXControlLoadFile(missing, type, &tc, message), -1234);
    EXPECT_LT(t.elapsed(), 5000); // not a hundred retries of a tenth of a second
    EXPECT_EQ(message, QStringLiteral("File Load Error. Could be sharing violation or Invalid File Type specified for "
                                      "the Original File:  ") + missing);

    // Not RTF and not Word either: both types tried, then the invalid-type message; in
    // command-line mode the path stands on its own line.
    const QString bad = dir.filePath(QStringLiteral("bad.rtf"));
    ASSERT_TRUE(qvtest::writeFile(bad, "{\\rtf1 broken"));
    gbCommandLineMode = true;
    type = 5;
    EXPECT_EQ(TXControlLoadFile(bad, type, &tc, message), 321);
    gbCommandLineMode = false;
    EXPECT_EQ(type, 9);
    EXPECT_EQ(message, QStringLiteral("Invalid File Type or password specified for the Input File:\n\n") + bad);

    // A type the control cannot read.
    type = 12;
    EXPECT_EQ(TXControlLoadFile(bad, type, &tc, message), 380);
    EXPECT_TRUE(message.contains(QStringLiteral("Invalid File Format/Type specified")));

    // Exists but cannot be read (a folder stands in for a locked file): retried 100 times.
    RetryPause pause(3);
    const QString locked = dir.filePath(QStringLiteral("locked.rtf"));
    QDir().mkpath(locked);
    type = 5;
    t.restart();
    EXPECT_EQ(TXControlLoadFile(locked, type, &tc, message), TextControl::errFileAccess);
    EXPECT_GE(t.elapsed(), 99 * 3);
    EXPECT_TRUE(message.startsWith(QStringLiteral("File Load Error 75\r\r") + locked + QStringLiteral("\r\r")));
}

TEST(TextControlFileIO, AnUnreadableFileLeavesNoPathInTheLanguageFile)
{
    QTemporaryDir dir;
    // English again afterwards, with the data folder and settings file the other tests had.
    struct Restore
    {
        QString data = gsDataFolder, ini = G_IniFilePath;
        ~Restore()
        {
            SaveIniLanguageCode(QStringLiteral("English"));
            InitializeTranslator(true);
            gsDataFolder = data;
            G_IniFilePath = ini;
        }
    } restore;
    gsDataFolder = dir.path() + QStringLiteral("/");
    G_IniFilePath = dir.filePath(QStringLiteral("settings.ini"));
    const QString german = dir.filePath(QStringLiteral("Languages/German-Quorvane.txt"));
    const QByteArray known = "\"File Load Error \",\"Fehler beim Laden der Datei \"\r\n";
    ASSERT_TRUE(qvtest::writeFile(german, known));
    SaveIniLanguageCode(QStringLiteral("German"));
    InitializeTranslator(true);
    ASSERT_EQ(sLanguage, QStringLiteral("German"));

    RetryPause pause(1);
    const QString locked = dir.filePath(QStringLiteral("locked.rtf"));
    QDir().mkpath(locked);
    TextControl tc;
    QString message;
    int type = 5;
    EXPECT_EQ(TXControlLoadFile(locked, type, &tc, message), TextControl::errFileAccess);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Fehler beim Laden der Datei 75"))) << message.toStdString();
    EXPECT_EQ(qvtest::readFile(german), known);
}

TEST(TextControlFileIO, SaveTypesAndMessages)
{
    QTemporaryDir dir;
    TextControl tc;
    tc.document()->setPlainText(QStringLiteral("x"));
    QString message;
    for (int bad : {2, 3, 7, 8}) {
        int type = bad;
        EXPECT_EQ(TXControlSaveFile(dir.filePath(QStringLiteral("o.txt")), type, &tc, message), -1);
        EXPECT_EQ(message, QStringLiteral("Corvask.FileSave: Error: -1"));
    }
    EXPECT_FALSE(tc.Visible()); // shown for the second attempt, hidden again after

    int type = 5;
    EXPECT_EQ(TXControlSaveFile(dir.filePath(QStringLiteral("no/such/folder/o.rtf")), type, &tc, message),
              TextControl::errWriteFailed);
    EXPECT_EQ(message, QStringLiteral("Corvask.FileSave: Error: %1").arg(TextControl::errWriteFailed));

    // The PDF setting is set for the save and given back afterwards.
    tc.setPDFSaveSetting(5);
    type = 14;
    message.clear();
    EXPECT_EQ(TXControlSaveFile(dir.filePath(QStringLiteral("a.pdf")), type, &tc, message), 0);
    EXPECT_EQ(tc.PDFSaveSetting(), 5);
    type = 1;
    EXPECT_EQ(TXControlSaveFile(dir.filePath(QStringLiteral("a.txt")), type, &tc, message), 0);
    EXPECT_TRUE(message.isEmpty());
}

TEST(TextControlFileIO, ErrorDescriptionsAreKeptAsTheyAre)
{
    bool cancel = false;
    TXTextControl1_Error(321, QStringLiteral("Cannot read /data/TX/text.rtf (tx)"), cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(gTXErrNumber, 321);
    EXPECT_EQ(gTXErrDescription, QStringLiteral("Cannot read /data/TX/text.rtf (tx)"));
    bool cancel2 = false;
    TXTextControlOutput_Error(5, QStringLiteral("other"), cancel2);
    EXPECT_TRUE(cancel2);
    EXPECT_EQ(gTXErrNumber, 321);
}

// DOC goes through the office worker: RTF to DOC on save, DOC to RTF on load, and a Word
// file named .rtf loads on the swap.
TEST(TextControlFileIO, WordDocumentsThroughTheOfficeWorker)
{
    if (!QFileInfo(qvtest::binDir() + QStringLiteral("/quorvane-office")).isExecutable())
        GTEST_SKIP() << "office worker not built";
    QTemporaryDir dir;
    JobSession session;
    TextControl *tc = session.TXTextControl1();
    AttachOfficeWorker(session, tc);
    tc->document()->setPlainText(QStringLiteral("Word text café\nsecond paragraph"));
    tc->setSelStart(0);
    tc->setSelLength(4);
    tc->setFontBold(1);

    const QString doc = dir.filePath(QStringLiteral("out.doc"));
    int type = 9;
    QString message;
    ASSERT_EQ(TXControlSaveFile(doc, type, tc, message), 0) << message.toStdString();
    EXPECT_TRUE(qvtest::readFile(doc).startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)));

    TextControl back;
    AttachOfficeWorker(session, &back);
    type = 9;
    ASSERT_EQ(TXControlLoadFile(doc, type, &back, message), 0) << message.toStdString();
    EXPECT_EQ(type, 9);
    EXPECT_TRUE(back.Text().startsWith(QStringLiteral("Word text café\nsecond paragraph")));
    back.setSelStart(0);
    back.setSelLength(4);
    EXPECT_EQ(back.FontBold(), 1);

    const QString misnamed = dir.filePath(QStringLiteral("really-word.rtf"));
    ASSERT_TRUE(QFile::copy(doc, misnamed));
    type = 5;
    ASSERT_EQ(TXControlLoadFile(misnamed, type, &back, message), 0) << message.toStdString();
    EXPECT_EQ(type, 9);
    EXPECT_TRUE(back.Text().startsWith(QStringLiteral("Word text")));

    // Without the worker a Word file cannot be read, and the message says why.
    TextControl lonely;
    type = 9;
    EXPECT_EQ(TXControlLoadFile(doc, type, &lonely, message), TextControl::errNoConverter);
    EXPECT_TRUE(message.startsWith(QStringLiteral("OpenFile")));
}

TEST(TextControlFileIO, LoadRetriesPumpEventsAndStopAtAPause)
{
    // A Pause pressed while a locked file is retried ends the waits at once.
    class PausingPump : public EventPump
    {
    public:
        explicit PausingPump(JobSession &s) : s(s) {}
        void processEvents() override
        {
            if (++calls == 5)
                s.bRunning = false;
        }
        JobSession &s;
        int calls = 0;
    };
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.rtf"));
    QDir().mkpath(locked);
    JobSession session;
    PausingPump pump(session);
    session.setPump(&pump);
    session.bRunning = true;
    RetryPause pause(600);
    TextControl tc;
    QString message;
    int type = 5;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(TXControlLoadFile(locked, type, &tc, message, &session), TextControl::errFileAccess);
    EXPECT_EQ(pump.calls, 5);
    EXPECT_LT(t.elapsed(), 30000); // not the hundred attempts of a minute
    EXPECT_TRUE(message.startsWith(QStringLiteral("File Load Error 75")));
    session.setPump(nullptr);
}
