#include "ProfileIni.h"

#include "AtomicFile.h"
#include "TextCodec.h"

#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList readLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return TextCodec::splitLines(TextCodec::decode(f.readAll()));
}

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype end = t.indexOf(u']');
    if (end < 0)
        return false;
    if (name)
        *name = t.mid(1, end - 1).trimmed();
    return true;
}

// Key of a "key=value" line, or a null string for comments and other lines.
QString keyOf(const QString &line, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return {};
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return {};
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return t.left(eq).trimmed();
}

bool writeLines(const QString &file, const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    // These files are the user's own, and the settings file holds the PDF passwords: whatever
    // mode an older file had, the file written is owner-only.
    return WriteFileAtomically(file, out, nullptr, true);
}

// Sets key=value the way a single write always has: in place of the key's line, else after
// the section's last non-blank line, else in a new section at the end of the file. Returns the
// index of the line set.
int putKey(QStringList &lines, const QString &section, const QString &key, const QString &value)
{
    const QString newLine = key + u'=' + value;
    int sectionStart = -1;
    int lastContent = -1; // last non-blank line of the section
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            if (sectionStart >= 0)
                break;
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionStart = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            lastContent = i;
        const QString k = keyOf(lines[i], nullptr);
        if (!k.isNull() && k.compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = newLine;
            return i;
        }
    }
    if (sectionStart >= 0) {
        lines.insert(lastContent + 1, newLine);
        return lastContent + 1;
    }
    lines.append(u'[' + section + u']');
    lines.append(newLine);
    return static_cast<int>(lines.size()) - 1;
}

// The lines as reading the written file back gives them: line breaks in the value just set split
// its line, and the first line is decoded again (byte-order marks at the start go). A batch reads
// its lines back between its keys so that it writes the bytes of writing them one by one.
void readBack(QStringList &lines, int changed)
{
    const QString line = lines.at(changed);
    if (line.contains(u'\r') || line.contains(u'\n')) {
        lines.remove(changed);
        for (const QString &part : TextCodec::splitLines(line + QStringLiteral("\r\n")))
            lines.insert(changed++, part);
    }
    lines.first() = TextCodec::decode(lines.first().toUtf8());
}

} // namespace

QString ProfileIni::readString(const QString &file, const QString &section, const QString &key,
                               const QString &defaultValue)
{
    if (file.isEmpty())
        return defaultValue;
    bool inSection = false;
    for (const QString &line : readLines(file)) {
        QString name;
        if (isSectionLine(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        QString value;
        const QString k = keyOf(line, &value);
        if (!k.isNull() && k.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return defaultValue;
}

int ProfileIni::readInt(const QString &file, const QString &section, const QString &key,
                        int defaultValue)
{
    const QString v = readString(file, section, key, QString());
    if (v.isNull())
        return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+'))
        negative = v[i++] == u'-';
    const qsizetype digitsStart = i;
    long long n = 0;
    while (i < v.size() && v[i].isDigit() && n < 0x7fffffffLL)
        n = n * 10 + (v[i++].unicode() - u'0');
    if (i == digitsStart)
        return defaultValue;
    return static_cast<int>(negative ? -n : n);
}

bool ProfileIni::writeString(const QString &file, const QString &section, const QString &key,
                             const QString &value)
{
    return writeStrings(file, section, {{key, value}});
}

bool ProfileIni::writeStrings(const QString &file, const QString &section, const KeyValues &keyValues)
{
    if (file.isEmpty())
        return false;
    if (keyValues.isEmpty())
        return true;
    QStringList lines = readLines(file);
    int changed = -1;
    for (const auto &[key, value] : keyValues) {
        if (changed >= 0)
            readBack(lines, changed);
        changed = putKey(lines, section, key, value);
    }
    return writeLines(file, lines);
}

bool ProfileIni::deleteKey(const QString &file, const QString &section, const QString &key)
{
    QStringList lines = readLines(file);
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (isSectionLine(lines[i], &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const QString k = keyOf(lines[i], nullptr);
        if (inSection && !k.isNull() && k.compare(key, Qt::CaseInsensitive) == 0) {
            lines.removeAt(i);
            return writeLines(file, lines);
        }
    }
    return true;
}

bool ProfileIni::makeOwnerOnly(const QString &file)
{
    // Opened without following a FIFO's wait; changed through the descriptor, so that the file
    // looked at is the file changed.
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && (st.st_mode & 077) != 0)
        ok = st.st_uid == ::geteuid() && ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return ok;
}
