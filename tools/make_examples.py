#!/usr/bin/env python3
"""Writes the example documents in examples/ (run from anywhere)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "examples")

EXPLICIT, PARAMETRIC, POLAR, IMPLICIT = 1, 2, 3, 4
RED, BLUE, GREEN, MAGENTA, ORANGE = 0x0000FF, 0xFF0000, 0x008000, 0xC000C0, 0x0080FF
DEFAULT_VIEW = (-10, 10, -10, 10, 100, 3, 2, 0x000000, 2, 0x808080)


def text_field(text):
    units = text.encode("utf-16-le")
    assert len(units) // 2 < 255
    return units + b"\0" * (512 - len(units))


def entry(kind, f, g="", domain=(-10.0, 10.0), colour=RED, density=5):
    record = struct.pack("<iI", kind, 1) + text_field(f) + text_field(g)
    record += struct.pack("<ddIi", domain[0], domain[1], colour, density)
    return record + b"\0" * 64


def document(entries, view=DEFAULT_VIEW):
    header = b"KVDF" + struct.pack("<I", 0x00010001)
    header += struct.pack("<iiiiIHHIiI", *view)
    header += struct.pack("<I", len(entries)) + b"\0" * 64
    assert len(header) == 112
    return header + b"".join(entries)


TWO_PI = (0.0, 6.2832)
EXAMPLES = {
    "sine.kvn": [entry(EXPLICIT, "5*sin(x)", colour=RED, density=6)],
    "lissajous.kvn": [
        entry(PARAMETRIC, "8*sin(3*t)", "8*sin(2*t)", TWO_PI, BLUE, 6)],
    "rose.kvn": [entry(POLAR, "8*abs(sin(2*t))", domain=TWO_PI, colour=MAGENTA,
                       density=6)],
    "circle.kvn": [entry(IMPLICIT, "x^2+y^2-25", colour=GREEN, density=6)],
    "folium.kvn": [entry(IMPLICIT, "x^3+y^3-9*x*y", colour=ORANGE, density=6)],
}
EXAMPLES["waves.kvn"] = [
    entry(IMPLICIT, "sin(x*y)-cos(x+y)", colour=BLUE, density=6)]
EXAMPLES["gallery.kvn"] = [
    entry(EXPLICIT, "5*sin(x)", colour=RED, density=6),
    entry(PARAMETRIC, "8*sin(3*t)", "8*sin(2*t)", TWO_PI, BLUE, 6),
    entry(IMPLICIT, "x^2+y^2-25", colour=GREEN, density=6),
]

for name, entries in EXAMPLES.items():
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(document(entries))
