#!/usr/bin/env python3
"""Writes the seed corpus for refresh_fuzz (format described at the top of refresh_fuzz.cpp)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def printer(name, offline=False, brand=False, raw=None):
    out = bytearray()
    if len(name) >= 255:
        out += bytes([255]) + struct.pack("<H", len(name))
    else:
        out.append(len(name))
    out += name
    flags = (1 if offline else 0) | (2 if brand else 0) | (0x80 if raw is not None else 0)
    out.append(flags)
    if raw is not None:
        out += struct.pack("<I", raw)
    return bytes(out)


def round_(printers, mode=0, detail=0):
    return bytes([mode, detail]) + struct.pack("<H", len(printers)) + b"".join(printers)


def write(name, rounds):
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(bytes([len(rounds) - 1]) + b"".join(rounds))


os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
write("few", [round_([printer(b"Kelvo A"), printer(b" B", offline=True, brand=True),
                      printer(b"HP LaserJet"), printer(b"kelvo lower")])])
write("many", [round_([printer(b" %03d" % i, brand=True, offline=i % 2 == 1)
                       for i in range(260)])])
write("long_names", [round_([printer(b"\r\n\xe4\xb8\xad" * 1000, brand=True),
                             printer(b"", brand=True), printer(b"Kelv"),
                             printer(b"\xff" * 300)])])
write("raw_attributes", [round_([printer(b"X", brand=True, raw=0x400),
                                 printer(b"Y", brand=True, raw=0xFFFFFBFF),
                                 printer(b"Z", brand=True, raw=0xFFFFFFFF)])])
write("faults", [round_([printer(b" 1", brand=True), printer(b" 2", brand=True)]),
                 round_([printer(b" 3", brand=True)], mode=1),
                 round_([printer(b" 4", brand=True)], mode=2, detail=1)])
write("growth", [round_([printer(b" 1", brand=True)], mode=3, detail=3)
                 + printer(b" g1", brand=True) + printer(b" g2", brand=True)
                 + printer(b" g3", brand=True) + printer(b" g4", brand=True),
                 round_([printer(b" 5", brand=True)], mode=4 | 3, detail=1)
                 + printer(b" g5", brand=True) + printer(b" g6", brand=True)])
write("unchanged", [round_([printer(b" A", brand=True), printer(b" B", brand=True)]),
                    round_([printer(b" A", brand=True), printer(b" B", brand=True)]),
                    round_([printer(b"Q")], mode=4 | 2, detail=0)])
