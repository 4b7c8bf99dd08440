#include "DialogFilePicker.h"

#include "common/Pickers.h"

#include <QDir>
#include <QFileDialog>

QString DialogFilePicker::pickFile(const QString &title, const QString &filter, int &filterIndex,
                                   const QString &initDir, bool save)
{
    QFileDialog dlg(m_parent, title, initDir);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An open dialog still takes a name that does not exist yet, as the classic one did: the
    // editor's target pickers are open dialogs for files a run is going to write.
    dlg.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        if (filterIndex >= 1 && filterIndex <= filters.size())
            dlg.selectNameFilter(filters.at(filterIndex - 1));
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const int chosen = static_cast<int>(filters.indexOf(dlg.selectedNameFilter()));
    if (chosen >= 0)
        filterIndex = chosen + 1;
    return QDir::fromNativeSeparators(dlg.selectedFiles().constFirst());
}

QString DialogFilePicker::browseForFolder(const QString &title, const QString &startPath)
{
    QString dir = QFileDialog::getExistingDirectory(m_parent, title, startPath);
    if (dir.isEmpty())
        return QString();
    // cleanPath also drops a trailing "/" (not the root's).
    return QDir::cleanPath(QDir::fromNativeSeparators(dir));
}
