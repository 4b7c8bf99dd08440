#include "TestEnv.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>

namespace qvtest {

QString homeDir() { return qEnvironmentVariable("HOME"); }

QString sourceDir()
{
    QString s = qEnvironmentVariable("QV_SOURCE_DIR");
    if (s.isEmpty())
        s = QStringLiteral(QV_TEST_SOURCE_DIR);
    return s;
}

QString buildDir()
{
    QString s = qEnvironmentVariable("QV_BUILD_DIR");
    if (s.isEmpty())
        s = QStringLiteral(QV_TEST_BUILD_DIR);
    return s;
}

QString binDir() { return buildDir() + QStringLiteral("/bin"); }

QString dataDir() { return sourceDir() + QStringLiteral("/tests/data"); }

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

BlockingCaller::BlockingCaller()
    : m_thread([this] {
          while (!m_stop) {
              QMetaObject::invokeMethod(&m_here, [this] { ++m_answered; }, Qt::BlockingQueuedConnection);
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
          m_ended = true;
      })
{
}

BlockingCaller::~BlockingCaller()
{
    m_stop = true;
    while (!m_ended)
        QCoreApplication::processEvents();
    m_thread.join();
}

QString accessibleLabels(QObject *control)
{
    QStringList names;
    if (QAccessibleInterface *i = QAccessible::queryAccessibleInterface(control))
        for (const auto &r : i->relations(QAccessible::Label))
            names << r.first->text(QAccessible::Name);
    return names.join(u'|');
}

} // namespace qvtest
