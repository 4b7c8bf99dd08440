#include "EventPump.h"

#include <QCoreApplication>

void EventPump::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
