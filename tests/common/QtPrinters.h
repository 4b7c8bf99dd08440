#pragma once
// Readable Qt values in GoogleTest failure messages.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { *os << l.join(u'|').toStdString(); }
inline void PrintTo(const QDateTime &d, std::ostream *os)
{
    *os << (d.isValid() ? d.toString(Qt::ISODateWithMs).toStdString() : std::string("(invalid)"));
}
