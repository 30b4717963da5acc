#pragma once
// The whole drawing service.

#include "platform/gdi/alpha_blend.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/clipping.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/memory_surface.h"
#include "platform/gdi/pattern_blt.h"
#include "platform/gdi/plg_blt.h"
#include "platform/gdi/records.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/screen.h"
#include "platform/gdi/surfaces.h"
