"""Reading prg.ini as a person reading the file would: sections and keys in
the order they stand, whatever else the file holds."""

import re

_LINE_BREAK = re.compile(r"\r\n|\r|\n")


def _decode(data):
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("latin-1")


def read_sections(path):
    """[(section, [(key, value), ...]), ...] in file order. Lines before the
    first section and lines that are neither section nor key are skipped."""
    with open(path, "rb") as f:
        text = _decode(f.read())
    sections = []
    for line in _LINE_BREAK.split(text):
        stripped = line.strip(" \t")
        if stripped.startswith("["):
            end = stripped.find("]")
            sections.append((stripped[1:end if end >= 0 else None].strip(), []))
        elif sections and not stripped.startswith(";") and stripped.find("=") > 0:
            key, value = stripped.split("=", 1)
            sections[-1][1].append((key.strip(" \t"), value.strip(" \t")))
    return sections


def read_values(path):
    """{section: {key: value}}; of repeated names the first counts, as for
    the program."""
    values = {}
    for section, keys in read_sections(path):
        entries = values.setdefault(section, {})
        for key, value in keys:
            entries.setdefault(key, value)
    return values
