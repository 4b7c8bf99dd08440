// The language files the program ships: every line ends as the program's own appends end
// (CRLF), so that a user's copy never mixes line ends, and every line is one the reader takes.
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>

TEST(ShippedLanguageFiles, EveryLineEndsWithCrLfAndIsQuoted)
{
    const QDir dir(qvtest::sourceDir() + QStringLiteral("/data/Languages"));
    const QStringList files = dir.entryList({QStringLiteral("*-Quorvane.txt")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << dir.path().toStdString();
    for (const QString &name : files) {
        const QByteArray bytes = qvtest::readFile(dir.filePath(name));
        ASSERT_TRUE(bytes.endsWith("\r\n")) << name.toStdString();
        const QList<QByteArray> lines = bytes.chopped(1).split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            const QByteArray &line = lines[i];
            const std::string where = name.toStdString() + ":" + std::to_string(i + 1);
            EXPECT_TRUE(line.endsWith('\r')) << where << " ends with LF alone";
            EXPECT_LE(line.count('\r'), 1) << where << " holds a CR alone";
            EXPECT_TRUE(line.startsWith('"') && line.chopped(1).endsWith('"')) << where << " is not quoted";
        }
    }
}
