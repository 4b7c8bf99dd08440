#include "TestEnv.h"
#include "jobs/FileLists.h"
#include "jobs/JobSession.h"
#include "jobs/TypeExtensions.h"
#include "jobs/clsConversionOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Clears bRunning at its n-th call, as a Pause clicked while the list is built would.
class PausingPump : public EventPump
{
public:
    PausingPump(JobSession &s, int pauseAt) : m_session(s), m_pauseAt(pauseAt) {}
    void processEvents() override
    {
        if (++calls == m_pauseAt)
            m_session.bRunning = false;
    }
    int calls = 0;

private:
    JobSession &m_session;
    int m_pauseAt;
};

class FileListsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path() + "/In";
        for (const char *f : {"b.PPT", "a.ppt", "c.pptx", "noext", "Z.ppt", ".hidden.ppt", "sub/d.ppt",
                              "Sub2/e.PPT", "sub/deeper/f.ppt", "sub/g.txt"})
            ASSERT_TRUE(qvtest::writeFile(root + "/" + f, "x"));
        // A link back up the tree is not followed.
        ASSERT_TRUE(QFile::link(root, root + "/sub/loop"));
        session.bRunning = true;
        session.setPanels(&panels);
    }
    QStringList relative(const QStringList &files) const
    {
        QStringList out;
        for (const QString &f : files)
            out.append(f.mid(root.size() + 1));
        return out;
    }

    QTemporaryDir tmp;
    QString root;
    RecordingStatusPanels panels;
    JobSession session;
};

} // namespace

TEST(FileLists, PatternMatching)
{
    EXPECT_TRUE(bFileMatchesPattern("*.PPT", "ppt"));
    EXPECT_TRUE(bFileMatchesPattern("*.ppt", "PPT"));
    EXPECT_FALSE(bFileMatchesPattern("*.ppt", "pptx"));
    EXPECT_FALSE(bFileMatchesPattern("*.pptx", "ppt"));
    EXPECT_TRUE(bFileMatchesPattern("*.*", ""));
    EXPECT_TRUE(bFileMatchesPattern("*.", ""));
    EXPECT_FALSE(bFileMatchesPattern("*.", "ppt"));
    EXPECT_FALSE(bFileMatchesPattern("a*.ppt", "ppt"));
}

TEST_F(FileListsTest, WildcardListsFolderFirstThenSubFoldersSortedByName)
{
    clsConversionOptions o;
    o.sOriginalFile = root + "/*.ppt";
    o.bDoSubfolders = true;
    QStringList files;
    ASSERT_TRUE(CreateFileList(session, o, files));
    EXPECT_EQ(relative(files), QStringList({"a.ppt", "b.PPT", "Z.ppt", "sub/d.ppt", "sub/deeper/f.ppt", "Sub2/e.PPT"}));
    EXPECT_EQ(panels.panelText(StatusPanel::Message), "Creating File List: " + root + "/Sub2/");

    o.bDoSubfolders = false;
    o.sOriginalFile = root + "/*.*";
    files.clear();
    ASSERT_TRUE(CreateFileList(session, o, files));
    EXPECT_EQ(relative(files), QStringList({"a.ppt", "b.PPT", "c.pptx", "noext", "Z.ppt"}));

    QString folder = root; // the folder gets its trailing "/" in place
    files.clear();
    EXPECT_EQ(AddFolderFilesToList(session, folder, "*.", files, false), flDone);
    EXPECT_EQ(folder, root + "/");
    EXPECT_EQ(relative(files), QStringList({"noext"}));
}

TEST_F(FileListsTest, MissingOriginalsAreReported)
{
    clsConversionOptions o;
    QStringList files;
    o.sOriginalFile = root + "/nowhere/*.ppt";
    EXPECT_FALSE(CreateFileList(session, o, files));
    EXPECT_EQ(o.sErr, "Folder: " + root + "/nowhere/ does not exist");

    o.sOriginalFile = root + "/missing.ppt";
    EXPECT_FALSE(CreateFileList(session, o, files));
    EXPECT_EQ(o.sErr, "File: " + root + "/missing.ppt does not exist");
    o.sOriginalFile = root + "/sub"; // a folder is not a file
    EXPECT_FALSE(CreateFileList(session, o, files));
    EXPECT_TRUE(files.isEmpty());

    o.sOriginalFile = root + "/a.ppt";
    EXPECT_TRUE(CreateFileList(session, o, files));
    EXPECT_EQ(files, QStringList({root + "/a.ppt"}));
}

TEST_F(FileListsTest, PauseStopsTheWalkWithWhatWasCollected)
{
    // Call 1 is the folder's own; calls 2 and 3 come before the first and second file.
    PausingPump pump(session, 3);
    session.setPump(&pump);
    clsConversionOptions o;
    o.sOriginalFile = root + "/*.ppt";
    o.bDoSubfolders = true;
    QStringList files;
    EXPECT_TRUE(CreateFileList(session, o, files));
    EXPECT_EQ(relative(files), QStringList({"a.ppt"}));
    EXPECT_FALSE(session.bRunning);

    QString folder = root;
    files.clear();
    EXPECT_EQ(AddFolderFilesToList(session, folder, "*.ppt", files, true), flPaused);
    EXPECT_TRUE(files.isEmpty());
    session.setPump(nullptr);
}

TEST(TypeExtensions, ConverterTextControlAndModes)
{
    EXPECT_EQ(GetConverterTypeExtension(32, false), "pdf");
    EXPECT_EQ(GetConverterTypeExtension(24, true), "*.pptx");
    EXPECT_EQ(GetConverterTypeExtension(3, false), "ppt"); // original-type group
    EXPECT_EQ(GetConverterTypeExtension(300, false), "pdf");
    // The wildcard form of "PDF - with options" must be a pattern, or a target folder built
    // from it ("folder/" & it) would never be a valid wildcard target.
    EXPECT_EQ(GetConverterTypeExtension(300, true), "*.pdf");
    EXPECT_EQ(GetTypeExtension(300, true, cmAmbrith), "*.pdf");

    EXPECT_EQ(GetTextControlTypeExtension(5, false), "rtf");
    EXPECT_EQ(GetTextControlTypeExtension(5, true), "*.rtf");
    EXPECT_EQ(GetTextControlTypeExtension(7, false), "");
    EXPECT_EQ(GetTextControlTypeExtension(7, true), "*.");
    EXPECT_EQ(GetTypeExtension(6, false, cmSpecialProcess), "txt");
    EXPECT_EQ(GetTypeExtension(6, false, cmAmbrith), "rtf");
    for (int mode : {cmMSWord, cmFromPDF}) {
        EXPECT_EQ(GetTypeExtension(32, false, mode), "");
        EXPECT_EQ(GetTypeExtension(5, true, mode), "");
    }
}
