// libFuzzer target for one decoder, chosen when building with
// FUZZ_DECODER set to its function (DecodeJpeg, DecodePng, ...). Decoded
// pixels are read back through the format conversion, so that a bitmap
// whose rows are shorter than its description claims is caught too.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/decoders.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/pixel_convert.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Half of the memory libFuzzer is run with (-rss_limit_mb=512): a decode
    // that takes more than its budget is reported as a finding.
    gdiplus::SetDecodeMemoryLimit(256u << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gdiplus::Raster raster;
    if (gdiplus::FUZZ_DECODER(data, size, &raster) != gdiplus::Ok) return 0;
    std::vector<gdiplus::Pixel64> line(raster.Width());
    for (UINT y = 0; y < raster.Height(); ++y) {
        gdiplus::UnpackRow(raster.Row(y), 0, raster.Width(), raster.Format(), raster.palette.data(),
                           static_cast<UINT>(raster.palette.size()), line.data());
    }
    return 0;
}
