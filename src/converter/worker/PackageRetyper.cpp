#include "PackageRetyper.h"

#include <QByteArray>
#include <QFile>

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace {
const QByteArray kPrefix = "application/vnd.openxmlformats-officedocument.presentationml.";
const QByteArray kMainTypes[] = {"presentation.main+xml", "slideshow.main+xml", "template.main+xml"};

QByteArray readEntry(zip_t *z, const char *name)
{
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return {};
    zip_file_t *f = zip_fopen(z, name, 0);
    if (!f)
        return {};
    QByteArray data(static_cast<qsizetype>(st.size), '\0');
    const zip_int64_t n = zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    if (n != static_cast<zip_int64_t>(st.size))
        return {};
    return data;
}
} // namespace

namespace PackageRetyper {

bool retype(const QString &path, PresentationKind kind)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), 0, &err);
    if (!z)
        return false;
    static const char *kName = "[Content_Types].xml";
    QByteArray types = readEntry(z, kName);
    bool found = false;
    for (const QByteArray &t : kMainTypes) {
        const QByteArray from = kPrefix + t;
        if (types.contains(from)) {
            types.replace(from, kPrefix + kMainTypes[static_cast<int>(kind)]);
            found = true;
            break;
        }
    }
    if (!found) {
        zip_discard(z);
        return false;
    }
    // libzip takes the buffer over (freep = 1) and frees it when the archive is written.
    void *copy = std::malloc(static_cast<size_t>(types.size()));
    if (!copy) {
        zip_discard(z);
        return false;
    }
    memcpy(copy, types.constData(), static_cast<size_t>(types.size()));
    zip_source_t *src = zip_source_buffer(z, copy, static_cast<zip_uint64_t>(types.size()), 1);
    if (!src) {
        std::free(copy);
        zip_discard(z);
        return false;
    }
    const zip_int64_t idx = zip_name_locate(z, kName, 0);
    if (idx < 0 || zip_file_replace(z, static_cast<zip_uint64_t>(idx), src, 0) != 0) {
        zip_source_free(src);
        zip_discard(z);
        return false;
    }
    if (zip_close(z) != 0) {
        // A failed close leaves the archive open: only zip_discard frees it and its file.
        zip_discard(z);
        return false;
    }
    return true;
}

} // namespace PackageRetyper
