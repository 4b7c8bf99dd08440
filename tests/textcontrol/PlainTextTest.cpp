// Plain text through the control (encodings and line ends kept) and the two plain-text file
// tools, on real files.
#include "textcontrol/PlainTextFiles.h"
#include "textcontrol/TextControl.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QByteArray utf16le(const QString &s)
{
    return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE).encode(s);
}

} // namespace

TEST(PlainText, ControlKeepsEncodingAndLineEnds)
{
    QTemporaryDir dir;
    const QList<QByteArray> samples = {
        QByteArray("caf\xe9 \x80 one\r\ntwo\r\n"),          // Windows-1252, CRLF
        QByteArray("caf\xc3\xa9 \xe2\x82\xac\nx\n"),           // UTF-8, LF
        QByteArray("\xEF\xBB\xBFmark\rcr\r"),                  // UTF-8 with mark, CR
        utf16le(QStringLiteral("wide ✓\r\nsecond")),           // UTF-16LE
    };
    int i = 0;
    for (const QByteArray &bytes : samples) {
        const QString in = dir.filePath(QStringLiteral("in%1.txt").arg(i));
        const QString out = dir.filePath(QStringLiteral("out%1.txt").arg(i++));
        ASSERT_TRUE(qvtest::writeFile(in, bytes));
        TextControl tc;
        ASSERT_EQ(tc.Load(in, 0, 1), 0);
        ASSERT_EQ(tc.Save(out, 0, 1, false), 0);
        EXPECT_EQ(qvtest::readFile(out), bytes) << i;
    }
    TextControl tc;
    ASSERT_EQ(tc.Load(dir.filePath(QStringLiteral("in0.txt")), 0, 1), 0);
    EXPECT_EQ(tc.Text(), QStringLiteral("café € one\ntwo\n"));
    // Offset loads skip the first bytes (type 3).
    ASSERT_EQ(tc.Load(dir.filePath(QStringLiteral("in0.txt")), 5, 3), 0);
    EXPECT_TRUE(tc.Text().startsWith(QStringLiteral("€ one")));
}

TEST(PlainText, ConcatenateKeepsTheTargetEncoding)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "\xEF\xBB\xBFstra\xc3\x9f" "e\r\n")); // UTF-8 with mark
    ASSERT_TRUE(qvtest::writeFile(b, "alt\xe9\r\n"));                      // Windows-1252
    EXPECT_EQ(ConcatenateTwoTextFiles(a, b), 0);
    EXPECT_EQ(qvtest::readFile(b), QByteArray("alt\xe9\r\nstra\xdf" "e\r\n"));

    // Missing target: created, with its folder; the original's bytes unchanged.
    const QString c = dir.filePath(QStringLiteral("new/deep/c.txt"));
    EXPECT_EQ(ConcatenateTwoTextFiles(a, c), 0);
    EXPECT_EQ(qvtest::readFile(c), qvtest::readFile(a));
    // Same encoding: the mark is not repeated in the middle.
    EXPECT_EQ(ConcatenateTwoTextFiles(a, c), 0);
    EXPECT_EQ(qvtest::readFile(c), QByteArray("\xEF\xBB\xBFstra\xc3\x9f" "e\r\nstra\xc3\x9f" "e\r\n"));

    // UTF-16 target receives UTF-16 text without a second mark.
    const QString w = dir.filePath(QStringLiteral("w.txt"));
    ASSERT_TRUE(qvtest::writeFile(w, utf16le(QStringLiteral("x\r\n"))));
    EXPECT_EQ(ConcatenateTwoTextFiles(b, w), 0);
    EXPECT_EQ(qvtest::readFile(w), utf16le(QStringLiteral("x\r\nalté\r\nstraße\r\n")));

    // The same file through another spelling or a link: refused, nothing written.
    const QByteArray before = qvtest::readFile(a);
    EXPECT_EQ(ConcatenateTwoTextFiles(a, dir.path() + QStringLiteral("/./sub/../a.txt")), -6);
    QFile::link(a, dir.filePath(QStringLiteral("link.txt")));
    EXPECT_EQ(ConcatenateTwoTextFiles(dir.filePath(QStringLiteral("link.txt")), a), -6);
    EXPECT_EQ(qvtest::readFile(a), before);

    EXPECT_EQ(ConcatenateTwoTextFiles(dir.filePath(QStringLiteral("none.txt")), b), -3);
    QDir().mkpath(dir.filePath(QStringLiteral("adir")));
    EXPECT_EQ(ConcatenateTwoTextFiles(a, dir.filePath(QStringLiteral("adir"))), -2);
}

TEST(PlainText, DeleteEmptyLinesKeepsLineEndsAndEncoding)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString t = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_TRUE(qvtest::writeFile(a, "first\r\n\r\n \t \r\n\x0b\r\nsecond \xe9\n\nthird\r\n\t"));
    EXPECT_EQ(DeleteEmptyLinesFromTextFile(a, t), 0);
    EXPECT_EQ(qvtest::readFile(t), QByteArray("first\r\nsecond \xe9\nthird\r\n"));

    const QString u = dir.filePath(QStringLiteral("u.txt"));
    ASSERT_TRUE(qvtest::writeFile(u, utf16le(QStringLiteral("a\r\n\r\nb"))));
    EXPECT_EQ(DeleteEmptyLinesFromTextFile(u, u), 0); // in place
    EXPECT_EQ(qvtest::readFile(u), utf16le(QStringLiteral("a\r\nb")));

    EXPECT_EQ(DeleteEmptyLinesFromTextFile(dir.filePath(QStringLiteral("none.txt")), t), -3);
}
