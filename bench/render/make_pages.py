#!/usr/bin/env python3
"""Writes N simple local pages for the capture benchmark, and a manifest.

Every page has a white background and one large block of its own colour in
the middle, so a thumbnail that missed the page's paint shows white (or the
wrong colour) at its centre. Every tenth page adds its block from a script
after the page has loaded (a page that paints late). Manifest lines:
"<page path> <r> <g> <b>".
"""
import colorsys
import os
import sys


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "manifest.txt"), "w") as manifest:
        for n in range(count):
            r, g, b = (int(c * 255) for c in colorsys.hsv_to_rgb((n * 0.137) % 1.0, 0.8, 0.85))
            colour = f"#{r:02x}{g:02x}{b:02x}"
            block = (f"<div style='position:absolute;left:10%;top:10%;width:80%;height:80%;"
                     f"background:{colour}'><h1>Page {n}</h1><p>Some text of page {n}.</p></div>")
            if n % 10 == 9:
                body = ("<body onload=\"setTimeout(function () { document.body.innerHTML = "
                        f"&quot;{block}&quot;; }}, 0)\"><p>loading</p></body>")
            else:
                body = f"<body>{block}</body>"
            path = os.path.join(folder, f"page{n:04d}.htm")
            with open(path, "w") as page:
                page.write(f"<html><head><title>Page {n}</title></head>{body}</html>\n")
            manifest.write(f"{path} {r} {g} {b}\n")


if __name__ == "__main__":
    main()
