#pragma once
// Counts of the imaging library's live objects, so that tests can prove
// every image and graphics they caused to be made was deleted again.

#include <cstddef>

namespace gdiplus {

size_t LiveImageCount();
size_t LiveGraphicsCount();

}  // namespace gdiplus
