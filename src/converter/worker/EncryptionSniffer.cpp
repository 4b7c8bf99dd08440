#include "EncryptionSniffer.h"

#include <QByteArray>
#include <QFile>

#include <zip.h>

namespace {

constexpr qint64 kMaxScan = 64 * 1024 * 1024;

bool zipManifestEncrypted(const QString &path)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        return false;
    bool encrypted = false;
    zip_stat_t st;
    if (zip_stat(z, "META-INF/manifest.xml", 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && st.size < 16u * 1024 * 1024) {
        if (zip_file_t *f = zip_fopen(z, "META-INF/manifest.xml", 0)) {
            QByteArray data(static_cast<qsizetype>(st.size), '\0');
            if (zip_fread(f, data.data(), st.size) == static_cast<zip_int64_t>(st.size))
                encrypted = data.contains("encryption-data");
            zip_fclose(f);
        }
    }
    zip_discard(z);
    return encrypted;
}

} // namespace

namespace EncryptionSniffer {

bool isEncrypted(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.peek(8);
    if (head.startsWith("%PDF")) {
        const QByteArray all = f.read(kMaxScan);
        return all.contains("/Encrypt");
    }
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        // Compound file: an encrypted OOXML package keeps an "EncryptionInfo" stream.
        static const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
        return f.read(kMaxScan).contains(name);
    }
    if (head.startsWith("PK\x03\x04")) {
        f.close();
        return zipManifestEncrypted(path);
    }
    return false;
}

} // namespace EncryptionSniffer
