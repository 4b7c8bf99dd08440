#include "DamagedTail.h"

qsizetype TextEndBeforeNulTail(const QByteArray &bytes)
{
    qsizetype start = bytes.size();
    while (start > 0 && bytes.at(start - 1) == '\0')
        --start;
    if (start == bytes.size())
        return bytes.size();
    if (start == 0 || bytes.at(start - 1) == '\n' || bytes.at(start - 1) == '\r')
        return start;
    return bytes.size();
}
