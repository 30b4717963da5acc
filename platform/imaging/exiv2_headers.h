#pragma once
// Library-internal: exiv2, whose 0.27 headers still use std::auto_ptr.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>
#pragma GCC diagnostic pop
