// The runtime folder a start without XDG_RUNTIME_DIR makes for Qt: only a real folder of ours
// that nobody else may enter is used.
#include "TestEnv.h"
#include "platform/RuntimeFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class RuntimeFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
        m_tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime);
        if (m_tmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_tmp);
    }
    // The folder a start picks with XDG_RUNTIME_DIR unset.
    QString pick()
    {
        qunsetenv("XDG_RUNTIME_DIR");
        EnsureRuntimeFolder();
        return qEnvironmentVariable("XDG_RUNTIME_DIR");
    }
    QString named() const { return tmp.filePath(QStringLiteral("quorvane-runtime-%1").arg(::getuid())); }

    QTemporaryDir tmp;

private:
    QByteArray m_runtime, m_tmp;
};

struct stat statOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A folder this process may use alone: a real folder, ours, mode 0700.
bool isOursAlone(const QString &path)
{
    const struct stat st = statOf(path);
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0777) == 0700;
}

} // namespace

TEST_F(RuntimeFolderTest, OnlyAPrivateFolderOfOursIsUsed)
{
    // None yet: the named one is made, private; then ours but open to others: closed again and used.
    for (const bool opened : {false, true}) {
        if (opened) {
            ASSERT_EQ(::chmod(QFile::encodeName(named()).constData(), 0777), 0);
        }
        EXPECT_EQ(pick(), named()) << opened;
        EXPECT_TRUE(isOursAlone(named())) << opened;
    }

    // The name taken by a link to a private folder of ours, or by a file: another folder.
    ASSERT_TRUE(QDir(named()).removeRecursively());
    const QString elsewhere = tmp.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkdir(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    for (const bool link : {true, false}) {
        ASSERT_TRUE(link ? QFile::link(elsewhere, named()) : QFile::remove(named()) && qvtest::writeFile(named(), "x"));
        const QString picked = pick();
        EXPECT_NE(picked, named()) << link;
        EXPECT_NE(picked, elsewhere) << link;
        EXPECT_TRUE(isOursAlone(picked)) << link;
    }

    // Set already: left as it is.
    qputenv("XDG_RUNTIME_DIR", "/somewhere/else");
    EnsureRuntimeFolder();
    EXPECT_EQ(qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/somewhere/else"));
}

TEST_F(RuntimeFolderTest, AFolderOfAnotherUserIsNotUsed)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    // Prepared by another user with the name ours would have, even private to that user, or
    // open to all so that we could write into it.
    for (const mode_t mode : {0700, 0777}) {
        QDir(named()).removeRecursively();
        ASSERT_TRUE(QDir().mkdir(named()));
        const QByteArray path = QFile::encodeName(named());
        ASSERT_EQ(::chmod(path.constData(), mode), 0);
        ASSERT_EQ(::chown(path.constData(), 65534, 65534), 0);
        const QString picked = pick();
        EXPECT_NE(picked, named()) << mode;
        EXPECT_TRUE(isOursAlone(picked)) << mode;
        EXPECT_EQ(statOf(named()).st_uid, 65534u) << "another user's folder is left alone";
        EXPECT_EQ(statOf(named()).st_mode & 0777, mode);
    }
}
