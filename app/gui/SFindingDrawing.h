// The check view's marks over the canvas: each finding's pixels hatched in a pattern no paint can
// have and its box framed, the one the view was last moved to framed more heavily.
#pragma once

#include "SBitmap.h"
#include "SCelCheck.h"
#include "SGeometry.h"

#include <cstdint>
#include <vector>

class QPainter;

// Draws the findings that reach into `document` (the document rectangle being repainted) at zoom
// step z, reading the paint and trace layers for which pixels of a box are the finding's.
void DrawFindings(QPainter& painter, const std::vector<SFinding>& findings, std::int32_t current,
                  const ulib::SRect& document, std::int32_t zoom, const ulib::SBitmap& paint, const ulib::SBitmap& trace);
