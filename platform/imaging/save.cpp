// Saving a bitmap to a file with one of the encoders.

#include <new>
#include <string>
#include <vector>

#include "platform/imaging/codec_info.h"
#include "platform/imaging/encoder_table.h"
#include "platform/imaging/file_name.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/safe_file_writer.h"
#include "platform/imaging/startup.h"

namespace gdiplus {

Status GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                           const EncoderParameters* encoderParams) {
    if (!IsStarted()) return GdiplusNotInitialized;
    BitmapObject* bitmap = LiveBitmap(image);
    if (bitmap == nullptr || filename == nullptr || clsidEncoder == nullptr) return InvalidParameter;
    const EncoderEntry* encoder = FindEncoder(*clsidEncoder);
    if (encoder == nullptr) return InvalidParameter;
    if (encoderParams != nullptr && encoderParams->Count != 0) return NotImplemented;
    if (bitmap->lock.active) return WrongState;

    std::string name;
    if (!FileSystemName(filename, &name)) return FileNotFound;
    std::vector<BYTE> bytes;
    if (Status s = encoder->encode(bitmap->raster, &bytes); s != Ok) return s;
    return WriteFileWhole(name, bytes.data(), bytes.size());
}

}  // namespace gdiplus
