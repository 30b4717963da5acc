#pragma once
// The property items a picture is saved with.

#include "image/property_item_list.h"
#include "platform/types.h"

// The items the picture's photo came with, made true of the picture saved:
// upright (orientation 1: a raster image's rows are always stored as
// shown), width x height wherever the items give a size, and without the
// photo's thumbnail, which would show the photo as it was. Everything else
// is kept as it is.
CPropertyItemList ItemsOfSavedPicture(const CPropertyItemList& items, LONG width, LONG height);
