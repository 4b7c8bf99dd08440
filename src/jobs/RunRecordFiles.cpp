#include "RunRecordFiles.h"

#include "converter/TypeCatalogue.h"

#include <QFileInfo>

void RunRecordFiles::hold(const QString &sLogFile, const QString &sResultsFile)
{
    clear();
    for (const QString &name : {sLogFile, sResultsFile})
        if (!name.trimmed().isEmpty())
            m_held.append({name, FileIdentityOf(name)});
}

void RunRecordFiles::clear()
{
    m_held.clear();
    m_touched.clear();
}

QString RunRecordFiles::heldAs(const FileIdentity &id) const
{
    for (const Held &h : m_held)
        // A held file that did not exist when it was taken may exist now under its resolved path.
        if (h.id == id || (!h.id.exists && h.id.path == id.path))
            return h.name;
    return QString();
}

QString RunRecordFiles::heldAt(const QString &path) const
{
    return m_held.isEmpty() || path.isEmpty() ? QString() : heldAs(FileIdentityOf(path));
}

QString RunRecordFiles::heldAtBytes(const QByteArray &path) const
{
    return m_held.isEmpty() || path.isEmpty() ? QString() : heldAs(FileIdentityOfBytes(path));
}

QString RunRecordFiles::heldByOutputsOf(const QString &target, int lTargetFileType, bool bEachSlide) const
{
    if (m_held.isEmpty() || target.isEmpty())
        return QString();
    if (const QString held = heldAt(target); !held.isEmpty())
        return held;
    // Further outputs are named from the target's name in its real folder.
    const QFileInfo fi(target);
    const QString folder = CanonicalPathForCompare(fi.absolutePath());
    const QString named = JoinFolder(folder, fi.fileName());
    const SaveAsType *type = TypeCatalogue::find(lTargetFileType);
    const bool perSlide = bEachSlide || (type && type->perSlideImage);
    const QString pages = JoinFolder(folder, fi.completeBaseName() + QStringLiteral("_files/"));
    for (const Held &h : m_held) {
        if (perSlide && TypeCatalogue::perSlideNumber(named, h.id.path) > 0)
            return h.name;
        if (lTargetFileType == TypeCatalogue::tHtmlPages && h.id.path.startsWith(pages))
            return h.name;
    }
    return QString();
}

void RunRecordFiles::noteRead(const QString &path)
{
    if (!m_held.isEmpty())
        m_touched.append(FileIdentityOf(path));
}

void RunRecordFiles::noteWritten(const QString &path)
{
    if (!m_held.isEmpty())
        m_touched.append(FileIdentityOf(path));
}

bool RunRecordFiles::readOrWritten(const QString &path) const
{
    const FileIdentity id = FileIdentityOf(path);
    for (const FileIdentity &t : m_touched)
        if (t == id || (id.exists && t.path == id.path))
            return true;
    return false;
}
