#pragma once
// A file or folder that the test process cannot change: "chattr +i" when running as root
// (root ignores permission bits), otherwise the write permission taken away. Restored on
// destruction so that the temporary folders can be removed.
#include <QFile>
#include <QProcess>
#include <QString>

#include <unistd.h>

class Unchangeable
{
public:
    explicit Unchangeable(const QString &path)
        : m_path(path)
    {
        if (::geteuid() == 0) {
            m_immutable = true;
            m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
        } else {
            m_permissions = QFile::permissions(m_path);
            m_ok = QFile::setPermissions(m_path, m_permissions & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser
                                                                    | QFileDevice::WriteGroup
                                                                    | QFileDevice::WriteOther));
        }
    }
    ~Unchangeable()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        else
            QFile::setPermissions(m_path, m_permissions);
    }
    Unchangeable(const Unchangeable &) = delete;
    Unchangeable &operator=(const Unchangeable &) = delete;
    // False where the file system cannot do it (tmpfs has no immutable flag): skip the test.
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_ok = false;
    QFileDevice::Permissions m_permissions;
};
