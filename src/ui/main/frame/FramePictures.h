#pragma once
// The frame's pictures from the program's own resource: the program picture of the captions and
// the status bar's pictures. Nothing here depends on a desktop icon theme.
#include "jobs/StatusPanels.h"

#include <QIcon>
#include <QPixmap>

// The program picture (window captions, about box, please-wait window).
QIcon ProgramIcon();
// A picture of a status panel at the given logical size; a null pixmap for NoPicture.
QPixmap StatusPicture(StatusPanels::Picture picture, int size = 16);
