#include "FileLists.h"

#include "common/FileUtils.h"
#include "jobs/JobSession.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"

#include <QDir>
#include <QFileInfo>

bool CreateFileList(JobSession &session, clsConversionOptions &options, QStringList &colFiles)
{
    const qsizetype star = options.sOriginalFile.indexOf(u'*');
    if (star >= 0) {
        QString folder = options.sOriginalFile.left(star);
        const QString pattern = options.sOriginalFile.mid(star);
        if (AddFolderFilesToList(session, folder, pattern, colFiles, options.bDoSubfolders) == flFolderMissing) {
            options.sErr = Translate(QStringLiteral("Folder: ")) + folder + Translate(QStringLiteral(" does not exist"));
            return false;
        }
        return true;
    }
    if (bFileExists(options.sOriginalFile)) {
        colFiles.append(options.sOriginalFile);
        return true;
    }
    options.sErr = Translate(QStringLiteral("File: ")) + options.sOriginalFile + Translate(QStringLiteral(" does not exist"));
    return false;
}

int AddFolderFilesToList(JobSession &session, QString &sFolder, const QString &sPattern, QStringList &colFiles,
                         bool bRecurse)
{
    if (sFolder.isEmpty() || !bFolderExists(sFolder))
        return flFolderMissing;
    if (!sFolder.endsWith(u'/'))
        sFolder += u'/';
    session.panels()->setPanelText(StatusPanel::Message, Translate(QStringLiteral("Creating File List: ")) + sFolder);
    session.DoEvents();

    const QDir dir(sFolder);
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        session.DoEvents();
        if (!session.bRunning)
            return flPaused;
        if (bFileMatchesPattern(sPattern, file.suffix()))
            colFiles.append(sFolder + file.fileName());
    }
    if (bRecurse) {
        // Links to folders are not followed: they could lead back up the tree.
        const QFileInfoList folders =
            dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &sub : folders) {
            if (!session.bRunning)
                return flPaused;
            QString subFolder = sFolder + sub.fileName();
            AddFolderFilesToList(session, subFolder, sPattern, colFiles, true);
        }
        if (!session.bRunning)
            return flPaused;
    }
    return flDone;
}

bool bFileMatchesPattern(const QString &sPattern, const QString &sExtension)
{
    if (sPattern == QStringLiteral("*.*"))
        return true;
    return sPattern.compare(QStringLiteral("*.") + sExtension, Qt::CaseInsensitive) == 0;
}
