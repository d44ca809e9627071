#include "pictures/jpeg_codec.h"

#include "foundation/atomic_file.h"
#include "foundation/file_reader.h"

#include <QFile>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace velmora {
namespace {

using namespace Qt::StringLiterals;

// Progressive files may hold any number of scans; real ones have about ten.
// The bound keeps a crafted file from taking minutes.
constexpr int kMaxScans = 200;

// libjpeg reports errors through this structure. The functions that call
// setjmp below hold no C++ objects, so the long jump back skips no destructor.
struct ErrorTrap {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWithMessage(j_common_ptr cinfo) {
    auto *trap = reinterpret_cast<ErrorTrap *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    std::longjmp(trap->jump, 1);
}

void ErrorExit(j_common_ptr cinfo) {
    FailWithMessage(cinfo);
}

// Level -1 is a warning about corrupt data (truncation, bad markers): it
// fails the call. Trace messages (levels 0 and up) are ignored.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0)
        FailWithMessage(cinfo);
}

void OutputMessage(j_common_ptr) {}

void InstallTrap(ErrorTrap &trap) {
    jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = ErrorExit;
    trap.mgr.emit_message = EmitMessage;
    trap.mgr.output_message = OutputMessage;
    trap.message[0] = '\0';
}

struct ScanLimit {
    jpeg_progress_mgr mgr;
    ErrorTrap *trap;
};

void CheckScanCount(j_common_ptr cinfo) {
    auto *decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans) {
        auto *limit = reinterpret_cast<ScanLimit *>(cinfo->progress);
        std::snprintf(limit->trap->message, sizeof limit->trap->message,
                      "More than %d scans in one JPEG file", kMaxScans);
        std::longjmp(limit->trap->jump, 1);
    }
}

// --- encoding -------------------------------------------------------------

struct EncodeJob {
    const uchar *bits;
    qsizetype stride;
    int width, height, quality;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
};

bool RunEncode(jpeg_compress_struct &cinfo, EncodeJob &job, ErrorTrap &trap) {
    cinfo.err = &trap.mgr;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job.buffer, &job.size);
    cinfo.image_width = static_cast<JDIMENSION>(job.width);
    cinfo.image_height = static_cast<JDIMENSION>(job.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job.bits + job.stride * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// --- decoding -------------------------------------------------------------

struct DecodeJob {
    const unsigned char *data;
    unsigned long size;
    bool quantize;
    int width = 0, height = 0;
};

// Reads the header and sets the output parameters; cinfo stays open for
// ReadPixels unless this fails.
bool ReadHeader(jpeg_decompress_struct &cinfo, ScanLimit &limit, DecodeJob &job, ErrorTrap &trap) {
    cinfo.err = &trap.mgr;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    limit.mgr.progress_monitor = CheckScanCount;
    limit.trap = &trap;
    cinfo.progress = &limit.mgr;
    jpeg_mem_src(&cinfo, job.data, job.size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = FALSE;
    if (job.quantize) {
        cinfo.out_color_space = JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
        cinfo.desired_number_of_colors = 256;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    jpeg_calc_output_dimensions(&cinfo);
    job.width = static_cast<int>(cinfo.output_width);
    job.height = static_cast<int>(cinfo.output_height);
    return true;
}

// Decodes into width x height pixels of blue, green, red bytes at bits.
bool ReadPixels(jpeg_decompress_struct &cinfo, uchar *bits, qsizetype stride, ErrorTrap &trap) {
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.quantize_colors) {
        JSAMPARRAY index = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                      JPOOL_IMAGE, cinfo.output_width, 1);
        const JSAMPARRAY map = cinfo.colormap;
        const bool gray = cinfo.out_color_components == 1;
        while (cinfo.output_scanline < cinfo.output_height) {
            uchar *out = bits + stride * cinfo.output_scanline;
            jpeg_read_scanlines(&cinfo, index, 1);
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
                const int c = index[0][x];
                out[3 * x + 0] = map[gray ? 0 : 2][c];
                out[3 * x + 1] = map[gray ? 0 : 1][c];
                out[3 * x + 2] = map[0][c];
            }
        }
    } else {
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = bits + stride * cinfo.output_scanline;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

void SetError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

} // namespace

bool EncodeJpeg(const QImage &picture, int quality, QByteArray *out, QString *error) {
    if (picture.isNull()) {
        SetError(error, u"No picture to encode"_s);
        return false;
    }
    const Picture source = ToPicture(picture);
    ErrorTrap trap;
    InstallTrap(trap);
    EncodeJob job{source.constBits(), source.bytesPerLine(), source.width(), source.height(),
                  qBound(1, quality, 100)};
    jpeg_compress_struct cinfo{};
    const bool ok = RunEncode(cinfo, job, trap);
    if (ok)
        *out = QByteArray(reinterpret_cast<const char *>(job.buffer), qsizetype(job.size));
    std::free(job.buffer);
    if (!ok)
        SetError(error, QString::fromLocal8Bit(trap.message));
    return ok;
}

bool SaveJpeg(const QImage &picture, int quality, const QString &path, QString *error,
              LinkPolicy links) {
    QByteArray data;
    if (!EncodeJpeg(picture, quality, &data, error))
        return false;
    return WriteFileAtomically(path, data, error, links);
}

bool DecodeJpeg(QByteArrayView data, Picture *picture, QString *error,
                const JpegDecodeOptions &options) {
    ErrorTrap trap;
    InstallTrap(trap);
    jpeg_decompress_struct cinfo{};
    ScanLimit limit{};
    DecodeJob job{reinterpret_cast<const unsigned char *>(data.data()),
                  static_cast<unsigned long>(data.size()), options.quantize};
    if (!ReadHeader(cinfo, limit, job, trap)) {
        SetError(error, QString::fromLocal8Bit(trap.message));
        return false;
    }
    if (qint64(job.width) * job.height > options.maxPixels) {
        jpeg_destroy_decompress(&cinfo);
        SetError(error, u"JPEG picture too large: %1 x %2"_s.arg(job.width).arg(job.height));
        return false;
    }
    Picture result(job.width, job.height, kPictureFormat);
    if (result.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        SetError(error,
                 u"Not enough memory for a %1 x %2 picture"_s.arg(job.width).arg(job.height));
        return false;
    }
    if (!ReadPixels(cinfo, result.bits(), result.bytesPerLine(), trap)) {
        SetError(error, QString::fromLocal8Bit(trap.message));
        return false;
    }
    *picture = std::move(result);
    return true;
}

bool LoadJpeg(const QString &path, Picture *picture, QString *error,
              const JpegDecodeOptions &options) {
    const FileRead read = ReadRegularFile(path, kMaxThumbnailFileBytes);
    if (read.status == ReadStatus::TooLarge) {
        SetError(error, u"File too large for a JPEG picture: %1"_s.arg(path));
        return false;
    }
    if (!read.ok()) {
        SetError(error, read.error);
        return false;
    }
    return DecodeJpeg(read.bytes, picture, error, options);
}

} // namespace velmora
