#!/usr/bin/env python3
"""Writes a small site with a broken local link of every kind the link check
knows, beside healthy links of the same kinds, into the folder given."""

import os
import sys

PAGES = {
    "index.html": """<html><head><link rel=stylesheet href="style.css">
<base href="./"></head><body id=top>
<a href="about.html">ok</a> <a href="missing.html">missing</a>
<a href="About.html">wrong case</a> <img src="img/Logo.gif">
<a href="sub/">folder with index</a> <a href="empty/">folder without index</a>
<a href="about.html#team">anchor ok</a> <a href="about.html#nobody">anchor missing</a>
<a href="#top">self</a> <a href="#gone">self anchor missing</a>
<a href="my%20page.html?x=1&amp;y=2">escaped</a> <a href="no%20page.html">escaped missing</a>
<a href="/sub/page.html">root ok</a> <a href="/nosuch/page.html">root missing</a>
<img srcset="img/logo.gif 1x, img/none@2x.gif 2x" src="img/logo.gif">
<iframe src="frame.html"></iframe><iframe src="noframe.html"></iframe>
<script src="js/app.js"></script><script src="js/gone.js"></script>
<table background="img/bg.gif"><tr><td background="img/nobg.gif">x</td></tr></table>
<object data="media/a.swf"></object><embed src="media/b.swf">
<video src="media/v.mp4" poster="media/poster.jpg"></video><audio src="media/a.mp3"></audio>
<input type=image src="img/button.gif">
<div style="background:url('img/nodiv.gif')">x</div>
<a href="../outside.html">outside</a>
<a href="http://example.com/x.html">external</a> <a href="mailto:a@b.c">mail</a>
</body></html>
""",
    "about.html": '<html><body><h2 id="team">Team</h2><a href="index.html">home</a></body></html>\n',
    "my page.html": '<html><body><a href="index.html">home</a></body></html>\n',
    "frame.html": '<html><body><a href="index.html#top">home</a></body></html>\n',
    "sub/index.html": '<html><body><a href="../index.html">home</a>'
                      '<a href="page.html">page</a></body></html>\n',
    "sub/page.html": '<html><body><meta http-equiv=refresh content="0; url=../gone.html">'
                     '<a href="../index.html">home</a></body></html>\n',
    "style.css": "body { background: url(img/bg.gif) }\nh1 { background: url(\"img/nocss.gif\") }\n"
                 "@import \"missing.css\";\n",
    "img/logo.gif": "GIF89a", "img/bg.gif": "GIF89a", "js/app.js": "//",
}


def main(folder):
    for name, text in PAGES.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
    os.makedirs(os.path.join(folder, "empty"), exist_ok=True)


if __name__ == "__main__":
    main(sys.argv[1])
