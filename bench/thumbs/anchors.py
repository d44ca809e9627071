"""Resampler against libvips, Pillow and ImageMagick, as ratios.

Every figure is a median over several runs, taken in this one run of the
script so that all programs see the same machine load. Figures are processor
time (user + system) of one thread, not wall time, so that other programs on a
shared machine do not distort them:
- ours: thumbs_bench's BM_ResampleLanczos3 (Google Benchmark, CPU time);
- Pillow: Image.resize(..., LANCZOS) called in this process on an in-memory
  picture (no file input or output);
- libvips: the operation behind `vips resize --kernel lanczos3 --gap 0`
  (vips_resize) called through libvips' C API on an in-memory picture, with
  one worker thread (as VIPS_CONCURRENCY=1) and the operation cache off, the
  result written to memory so the whole pipeline runs;
- ImageMagick: `convert -filter Lanczos -resize WxH!` with
  MAGICK_THREAD_LIMIT=1 on a .ppm file, minus the median of a crop to the
  output size (start-up, reading the input, writing the output).
A ratio is the anchor's time divided by ours: above 1 means we are faster.
"""

import argparse
import ctypes
import json
import os
import random
import resource
import statistics
import subprocess
import tempfile
import time

from PIL import Image

CASES = [(640, 480, 130, 100), (1024, 768, 130, 100), (1600, 1200, 130, 100), (800, 600, 400, 300)]
GOALS = {"libvips": 1.0, "Pillow": 2.0, "ImageMagick": 10.0}


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def median_seconds(command, env, runs):
    times = []
    for _ in range(runs):
        start = children_cpu()
        subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL)
        times.append(children_cpu() - start)
    return statistics.median(times)


class Vips:
    """vips_resize through the C library, no files and no process start."""

    LANCZOS3 = 5  # VipsKernel

    def __init__(self):
        self.lib = ctypes.CDLL("libvips.so.42")
        self.glib = ctypes.CDLL("libglib-2.0.so.0")
        self.gobject = ctypes.CDLL("libgobject-2.0.so.0")
        lib = self.lib
        lib.vips_init.argtypes = [ctypes.c_char_p]
        if lib.vips_init(b"anchors") != 0:
            raise RuntimeError("vips_init failed")
        lib.vips_concurrency_set(1)
        lib.vips_cache_set_max(0)
        lib.vips_image_new_from_memory.restype = ctypes.c_void_p
        lib.vips_image_new_from_memory.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_int, ctypes.c_int]
        lib.vips_image_write_to_memory.restype = ctypes.c_void_p
        lib.vips_image_get_width.restype = ctypes.c_int
        lib.vips_image_get_height.restype = ctypes.c_int

    def resize_seconds(self, pixels, sw, sh, dw, dh, runs):
        lib = self.lib
        buffer = ctypes.create_string_buffer(pixels, len(pixels))
        image = ctypes.c_void_p(lib.vips_image_new_from_memory(buffer, len(pixels), sw, sh, 3, 0))
        times = []
        for _ in range(runs):
            out = ctypes.c_void_p()
            size = ctypes.c_size_t()
            start = time.process_time()
            if lib.vips_resize(image, ctypes.byref(out), ctypes.c_double(dw / sw),
                               b"vscale", ctypes.c_double(dh / sh), b"kernel", ctypes.c_int(self.LANCZOS3),
                               b"gap", ctypes.c_double(0.0), None) != 0:
                raise RuntimeError("vips_resize failed")
            memory = ctypes.c_void_p(lib.vips_image_write_to_memory(out, ctypes.byref(size)))
            times.append(time.process_time() - start)
            if (lib.vips_image_get_width(out), lib.vips_image_get_height(out)) != (dw, dh):
                raise RuntimeError("vips made another size")
            self.glib.g_free(memory)
            self.gobject.g_object_unref(out)
        self.gobject.g_object_unref(image)
        return statistics.median(times)


def ours(bench, case, runs):
    name = "BM_ResampleLanczos3/%d/%d/%d/%d$" % case
    out = subprocess.run([bench, "--benchmark_filter=" + name, "--benchmark_repetitions=%d" % runs,
                          "--benchmark_format=json"], check=True, capture_output=True, text=True)
    for b in json.loads(out.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            assert b["time_unit"] == "ms"
            return b["cpu_time"] / 1000.0
    raise RuntimeError("no median for " + name)


def pillow(picture, size, runs):
    times = []
    for _ in range(runs):
        start = time.process_time()
        picture.resize(size, Image.LANCZOS)
        times.append(time.process_time() - start)
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", required=True)
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    env = dict(os.environ, VIPS_CONCURRENCY="1", MAGICK_THREAD_LIMIT="1", OMP_NUM_THREADS="1")
    rng = random.Random(1)
    vips = Vips()
    print("%-22s %9s %9s %9s %9s   %s" % ("case", "ours ms", "vips ms", "PIL ms", "IM ms",
                                         "ratios vips / PIL / IM (goals 1 / 2 / 10)"))
    with tempfile.TemporaryDirectory() as tmp:
        for case in CASES:
            sw, sh, dw, dh = case
            pixels = rng.randbytes(sw * sh * 3)
            picture = Image.frombytes("RGB", (sw, sh), pixels)
            ppm, out_ppm = os.path.join(tmp, "in.ppm"), os.path.join(tmp, "out.ppm")
            picture.save(ppm)

            t_ours = ours(args.bench, case, args.runs)
            t_pil = pillow(picture, (dw, dh), args.runs)
            t_vips = vips.resize_seconds(pixels, sw, sh, dw, dh, args.runs)
            im_resize = ["convert", ppm, "-filter", "Lanczos", "-resize", "%dx%d!" % (dw, dh), out_ppm]
            im_noop = ["convert", ppm, "-crop", "%dx%d+0+0" % (dw, dh), "+repage", out_ppm]
            t_im = median_seconds(im_resize, env, args.runs) - median_seconds(im_noop, env, args.runs)

            ratios = [t / t_ours for t in (t_vips, t_pil, t_im)]
            marks = ["ok" if r >= GOALS[n] else "MISSED" for r, n in zip(ratios, GOALS)]
            print("%-22s %9.2f %9.2f %9.2f %9.2f   %.2fx %s / %.2fx %s / %.2fx %s" % (
                "%dx%d->%dx%d" % case, t_ours * 1e3, t_vips * 1e3, t_pil * 1e3, t_im * 1e3,
                ratios[0], marks[0], ratios[1], marks[1], ratios[2], marks[2]))
            if case == (1600, 1200, 130, 100):
                print("%-22s 1600x1200->130x100 in %.2f ms (goal 10 ms): %s" % (
                    "", t_ours * 1e3, "ok" if t_ours <= 0.010 else "MISSED"))


if __name__ == "__main__":
    main()
