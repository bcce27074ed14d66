// A small picture of the core (a thumbnail, a preview) as a pixmap the windows can show.
#pragma once

#include "SBitmap.h"

#include <QPixmap>

// An empty picture gives a null pixmap.
QPixmap ToPixmap(const ulib::SBitmap& picture);
