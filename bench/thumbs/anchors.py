"""Resampler against libvips, Pillow and ImageMagick, as ratios.

Every figure is a median over several runs, taken in this one run of the
script so that all programs see the same machine load:
- ours: thumbs_bench's BM_ResampleLanczos3 (Google Benchmark, wall time);
- Pillow: Image.resize(..., LANCZOS) called in this process on an in-memory
  picture (no file input or output);
- libvips: `vips resize --kernel lanczos3 --gap 0` with VIPS_CONCURRENCY=1 on
  a .v file, minus the median of `vips avg` on the same file (start-up and
  reading every input pixel), so mostly the resize itself is left;
- ImageMagick: `convert -filter Lanczos -resize WxH!` with
  MAGICK_THREAD_LIMIT=1 on a .ppm file, minus the median of a crop to the
  output size (start-up, reading the input, writing the output).
A ratio is the anchor's time divided by ours: above 1 means we are faster.
"""

import argparse
import json
import os
import random
import statistics
import subprocess
import tempfile
import time

from PIL import Image

CASES = [(640, 480, 130, 100), (1024, 768, 130, 100), (1600, 1200, 130, 100), (800, 600, 400, 300)]
GOALS = {"libvips": 1.0, "Pillow": 2.0, "ImageMagick": 10.0}


def median_seconds(command, env, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def ours(bench, case, runs):
    name = "BM_ResampleLanczos3/%d/%d/%d/%d$" % case
    out = subprocess.run([bench, "--benchmark_filter=" + name, "--benchmark_repetitions=%d" % runs,
                          "--benchmark_format=json"], check=True, capture_output=True, text=True)
    for b in json.loads(out.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            assert b["time_unit"] == "ms"
            return b["real_time"] / 1000.0
    raise RuntimeError("no median for " + name)


def pillow(picture, size, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        picture.resize(size, Image.LANCZOS)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", required=True)
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    env = dict(os.environ, VIPS_CONCURRENCY="1", MAGICK_THREAD_LIMIT="1", OMP_NUM_THREADS="1")
    rng = random.Random(1)
    print("%-22s %9s %9s %9s %9s   %s" % ("case", "ours ms", "vips ms", "PIL ms", "IM ms",
                                         "ratios vips / PIL / IM (goals 1 / 2 / 10)"))
    with tempfile.TemporaryDirectory() as tmp:
        for case in CASES:
            sw, sh, dw, dh = case
            picture = Image.frombytes("RGB", (sw, sh), bytes(rng.getrandbits(8) for _ in range(sw * sh * 3)))
            ppm, native = os.path.join(tmp, "in.ppm"), os.path.join(tmp, "in.v")
            picture.save(ppm)
            subprocess.run(["vips", "copy", ppm, native], check=True)
            out_v, out_ppm = os.path.join(tmp, "out.v"), os.path.join(tmp, "out.ppm")

            t_ours = ours(args.bench, case, args.runs)
            t_pil = pillow(picture, (dw, dh), args.runs)
            vips_resize = ["vips", "resize", native, out_v, repr(dw / sw), "--vscale", repr(dh / sh),
                           "--kernel", "lanczos3", "--gap", "0"]
            t_vips = (median_seconds(vips_resize, env, args.runs)
                      - median_seconds(["vips", "avg", native], env, args.runs))
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
