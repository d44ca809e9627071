// JPEG wrappers against a bare libjpeg loop with the same settings, and the
// thumbnail cache's decode rate. Single thread, in-memory data (the cache
// benchmark reads its files from the page cache, as the program does).

#include "foundation/settings.h"
#include "pictures/jpeg_codec.h"
#include "pictures/resample.h"
#include "thumbs/thumbnail_cache.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace {

using velmora::Picture;

// Something like a page: smooth areas, edges and noise, resampled from a
// larger capture as a thumbnail would be.
Picture PagelikePicture(int w, int h) {
    std::mt19937 rng(9);
    QImage big(w * 2, h * 2, velmora::kPictureFormat);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) {
            uchar *px = big.scanLine(y) + 3 * x;
            const bool text = (y / 6) % 3 == 0 && (x / 4) % 5 != 0 && (rng() & 3) != 0;
            px[0] = text ? 40 : uchar(200 + (x * 50) / big.width());
            px[1] = text ? 40 : uchar(220 - (y * 80) / big.height());
            px[2] = text ? 60 : uchar(250 - (x + y) % 30);
        }
    return velmora::ResampleImage(big, w, h);
}

// --- bare libjpeg ----------------------------------------------------------

std::vector<unsigned char> BareEncode(const Picture &p, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = p.width();
    cinfo.image_height = p.height();
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(p.constScanLine(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void BareDecode(const QByteArray &data, bool quantize, std::vector<unsigned char> &out) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.data()), data.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = FALSE;
    if (quantize) {
        cinfo.out_color_space = JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
        cinfo.desired_number_of_colors = 256;
    } else {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    jpeg_start_decompress(&cinfo);
    const int rowBytes = cinfo.output_width * cinfo.output_components;
    out.resize(std::size_t(rowBytes) * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + std::size_t(rowBytes) * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

// --- encode ------------------------------------------------------------------

void BM_EncodeWrapper(benchmark::State &state) {
    const Picture p = PagelikePicture(state.range(0), state.range(1));
    QByteArray out;
    for (auto _ : state) {
        velmora::EncodeJpeg(p, int(state.range(2)), &out);
        benchmark::DoNotOptimize(out.data());
    }
}
void BM_EncodeBare(benchmark::State &state) {
    const Picture p = PagelikePicture(state.range(0), state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(BareEncode(p, int(state.range(2))).data());
}
BENCHMARK(BM_EncodeWrapper)
    ->Args({130, 100, 70})
    ->Args({1024, 768, 75})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeBare)
    ->Args({130, 100, 70})
    ->Args({1024, 768, 75})
    ->Unit(benchmark::kMicrosecond);

// --- decode of a thumbnail ---------------------------------------------------

QByteArray ThumbnailData() {
    QByteArray data;
    velmora::EncodeJpeg(PagelikePicture(130, 100), velmora::kThumbnailQuality, &data);
    return data;
}

void BM_DecodeWrapper(benchmark::State &state) {
    const QByteArray data = ThumbnailData();
    Picture p;
    for (auto _ : state) {
        velmora::DecodeJpeg(data, &p, nullptr, {.quantize = state.range(0) != 0});
        benchmark::DoNotOptimize(p.constBits());
    }
}
void BM_DecodeBare(benchmark::State &state) {
    const QByteArray data = ThumbnailData();
    std::vector<unsigned char> out;
    for (auto _ : state) {
        BareDecode(data, state.range(0) != 0, out);
        benchmark::DoNotOptimize(out.data());
    }
}
// Argument 0: plain decode, 1: quantised to 256 colours.
BENCHMARK(BM_DecodeWrapper)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeBare)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// --- thumbnail cache -----------------------------------------------------------

void BM_LoadCachedThumb(benchmark::State &state) {
    constexpr int kFiles = 200;
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < kFiles; ++i) {
        paths << dir.filePath(QStringLiteral("p%1.htm.jpg").arg(i));
        Picture p = PagelikePicture(130, 100);
        p.setPixel(i % 130, 0, qRgb(i, 0, 0)); // not all files the same
        velmora::SaveJpeg(p, velmora::kThumbnailQuality, paths.last());
    }
    velmora::Settings settings;
    settings.CacheMax = kFiles;
    for (auto _ : state) {
        velmora::ThumbnailCache cache(settings.CacheMax);
        for (const QString &path : paths)
            cache.LoadCachedThumb(path);
        if (cache.PictureCount() != kFiles)
            state.SkipWithError("not every thumbnail was cached");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_LoadCachedThumb)->Unit(benchmark::kMillisecond);

} // namespace
