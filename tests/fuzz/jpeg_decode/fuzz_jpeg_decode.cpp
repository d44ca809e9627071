// Feeds arbitrary bytes to the thumbnail decoder, both quantised (as the
// thumbnail cache decodes) and full colour. Any input must give a picture or
// an error: no crash, no abort, no sanitizer report.

#include "pictures/jpeg_codec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Keep pictures small enough that one input cannot exhaust memory.
    velmora::JpegDecodeOptions options;
    options.maxPixels = 2048 * 2048;
    for (bool quantize : {true, false}) {
        options.quantize = quantize;
        velmora::Picture picture;
        QString error;
        if (velmora::DecodeJpeg(bytes, &picture, &error, options)) {
            if (picture.isNull() || !velmora::IsPicture(picture))
                __builtin_trap();
        } else if (error.isEmpty()) {
            __builtin_trap();
        }
    }
    return 0;
}
