// Outputs reach the disk whole before they take a target's place: a file the office saved cut
// short is told, and a write that the disk does not take fails its file and keeps the old outputs.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/TypeCatalogue.h"
#include "converter/worker/OutputCheck.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace convtest;

namespace {

// Every file below folder with a digest of its bytes.
QStringList contents(const QString &folder)
{
    QStringList list;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        list << path.mid(folder.size()) + u' '
                    + QCryptographicHash::hash(qvtest::readFile(path), QCryptographicHash::Md5).toHex();
    }
    list.sort();
    return list;
}

} // namespace

TEST(WholeOutput, OfficeFilesCutShortAreToldFromWholeOnes)
{
    resetOptions(control());
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("whole-office-files"));
    control().setCreateFileForEachSlide(true);
    ASSERT_EQ(convert(pptx, out + "/x.png", 18), 0);
    resetOptions(control());
    QString message;
    ASSERT_TRUE(qvtest::writeFile(out + "/letter.rtf", "{\\rtf1\\ansi Dear committee,\\par}"));
    ASSERT_EQ(control().convertDocument(out + "/letter.rtf", out + "/letter.doc", "MS Word 97", message), 0);
    ASSERT_EQ(control().convertDocument(out + "/letter.doc", out + "/again.rtf", "Rich Text Format", message), 0);
    using OutputCheck::Form;
    const QList<QPair<QString, Form>> files = {
        {"x.pdf", Form::Pdf}, {"x.pptx", Form::Zip}, {"x.odp", Form::Zip}, {"x.ppt", Form::Compound},
        {"letter.doc", Form::Compound}, {"x_1.png", Form::Png}, {"again.rtf", Form::Rtf}};
    ASSERT_EQ(convert(pptx, out + "/x.pdf", 32), 0);
    ASSERT_EQ(convert(pptx, out + "/x.pptx", 24), 0);
    ASSERT_EQ(convert(pptx, out + "/x.odp", 35), 0);
    ASSERT_EQ(convert(pptx, out + "/x.ppt", 1), 0);
    for (const auto &[name, form] : files) {
        const QByteArray whole = qvtest::readFile(out + u'/' + name);
        ASSERT_GT(whole.size(), 1024) << name.toStdString();
        EXPECT_TRUE(OutputCheck::isWhole(out + u'/' + name, form)) << name.toStdString();
        // Cut where a full disk cuts (at a page), halfway, and just before the end.
        for (const qsizetype length : {qMin<qsizetype>(4096, whole.size() / 3), whole.size() / 2, whole.size() - 8, qsizetype(0)}) {
            ASSERT_TRUE(qvtest::writeFile(out + "/cut", whole.left(length)));
            EXPECT_FALSE(OutputCheck::isWhole(out + "/cut", form)) << name.toStdString() << " cut at " << length;
        }
    }
    EXPECT_EQ(OutputCheck::formOf("PPTX"), Form::Zip);
    EXPECT_EQ(OutputCheck::formOf("pot"), Form::Compound);
    EXPECT_EQ(OutputCheck::formOf("txt"), std::nullopt);
}

// A file system that reports only at the sync that the bytes did not all reach the disk (NFS,
// FUSE, delayed allocation on a full disk): the worker runs under strace, which makes every
// fsync fail. Each output the worker writes itself (text, pages, pictures it encodes, pictures it
// copies from its work folder on another file system) then fails as a target that cannot be
// written, the outputs of the run before stay as they were, and nothing staged is left.
TEST(WholeOutput, AnOutputThatDoesNotReachTheDiskKeepsTheOldOnes)
{
    if (QStandardPaths::findExecutable("strace").isEmpty())
        GTEST_SKIP() << "strace is missing";
    resetOptions(control());
    const QString pptx = deck(QStringLiteral("pptx"));
    ASSERT_FALSE(pptx.isEmpty());
    const QString out = freshFolder(QStringLiteral("whole-unsynced"));
    QList<QPair<QString, int>> targets = {{"x.txt", 107}, {"x.rtf", 6}, {"x.html", 12}, {"x.jpg", 17}};
    // The worker's folder on another file system than the targets: its pictures arrive by a copy.
    struct stat shm {}, here {};
    const bool across = ::stat("/dev/shm", &shm) == 0 && ::stat(QFile::encodeName(out).constData(), &here) == 0
                        && shm.st_dev != here.st_dev && ::access("/dev/shm", W_OK) == 0;
    QTemporaryDir cache(QStringLiteral("/dev/shm/qv-cache-XXXXXX"));
    if (across && cache.isValid())
        targets << QPair<QString, int>{"x.png", 18};
    for (const auto &[name, type] : targets)
        ASSERT_EQ(convert(pptx, out + u'/' + name, type), 0) << name.toStdString();
    const QStringList before = contents(out);

    const QString wrapper = freshFolder(QStringLiteral("whole-unsynced-worker")) + "/worker.sh";
    // The worker checks that its parent is the one that started it: here strace, in the
    // script's place.
    QByteArray script = "#!/bin/sh\nexport QV_PARENT_PID=$$\n";
    if (targets.size() > 4)
        script += "export XDG_CACHE_HOME='" + QFile::encodeName(cache.path()) + "'\n";
    script += "exec strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:error=EIO '"
              + QFile::encodeName(QCoreApplication::applicationDirPath()) + "/quorvane-office'\n";
    ASSERT_TRUE(qvtest::writeFile(wrapper, script));
    ASSERT_TRUE(QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ConversionControl c;
    resetOptions(c);
    c.setWorkerProgram(wrapper);
    c.setMemoryLimitKb(0);
    for (const auto &[name, type] : targets) {
        c.setOriginalFile(pptx);
        c.setTargetFile(out + u'/' + name);
        c.setTargetFileType(type);
        EXPECT_EQ(c.convert(), TypeCatalogue::TargetNotWritable) << name.toStdString() << ": " << c.lastDetail().toStdString();
    }
    EXPECT_EQ(contents(out), before);
    EXPECT_TRUE(stagedLeftovers(out).isEmpty());
    if (targets.size() == 4)
        GTEST_SKIP() << "no second file system at /dev/shm: pictures copied across were not tried";
}
