#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

The status and trigger messages come from the screens' golden tests (tests/golden/screens/), written
compactly; the BMP files are made here. Inputs that once found a fault are kept beside the seeds under
names starting with "finding-" and are left alone. Run again after changing the sources:

    tests/fuzz/make_corpus.py
"""
import json
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
CORPUS = HERE / "corpus"
SCREENS = ROOT / "tests" / "golden" / "screens"


def compact(obj):
    return json.dumps(obj, separators=(",", ":"), ensure_ascii=False).encode("utf-8")


def message(name):
    return json.loads((SCREENS / f"{name}.json").read_text(encoding="utf-8"))


def write(target, name, data):
    d = CORPUS / target
    d.mkdir(parents=True, exist_ok=True)
    (d / name).write_bytes(data)


def clear(target):
    d = CORPUS / target
    if d.is_dir():
        for f in d.iterdir():
            if not f.name.startswith("finding-"):
                f.unlink()


def datagrams():
    clear("fuzz_datagram")
    for f in sorted(SCREENS.glob("*.json")):
        write("fuzz_datagram", f.stem + ".json", compact(json.loads(f.read_text(encoding="utf-8"))))
    # Shapes the screens do not test: wrong types, an unknown command, numbers at the edges.
    write("fuzz_datagram", "trigger_unknown.json", b'{"Trigger":"Reboot","seconds":2}')
    write("fuzz_datagram", "trigger_number.json", b'{"trigger":7,"Msg":"x","percent":-1}')
    write("fuzz_datagram", "wrong_types.json",
          b'{"global":[1],"conns":{"m1768Info":{"runState":5}},"Conns":[null,{"x":1}]}')
    write("fuzz_datagram", "edges.json",
          b'{"global":{"userConfigInfo":{"swFunc":1e300,"language":-1},"sysconfigInfo":{"timezone":1e9}},'
          b'"conns":[{"meterInfo":{"voltage":[1e40,-2301,65537],"current":[-1e40,0,0],"Q":[0,0,0,-5]},'
          b'"m1768Info":{"runState":"S3_K1K2ON_Charging","connStatus":"Charging","errCode":-3},'
          b'"stateMngrInfo":{"runState":"iDLE"},"sessionConnInfo":{"ramData":{"_status":"Charging"},'
          b'"saveData":{"_meterStart":1e20,"_startTime":4102444800}}}]}')


    # Codes longer than a QR code holds, and text that is not UTF-8 where the screens show it.
    swipe = message("swipe_normal")
    swipe["conns"][0]["connConfig"] = {"connCode": "C" * 3000, "connQR": "https://pay.example.com/" + "q" * 2976}
    write("fuzz_datagram", "long_codes.json", compact(swipe))
    stopping = message("stopping")
    stopping["conns"][0]["sessionConnInfo"]["saveData"]["_stopReason"] = "@REASON@"
    stopping["conns"][0]["connConfig"] = {"connCode": "@CODE@", "connQR": "@CODE@"}
    text = compact(stopping).replace(b"@REASON@", b"\xff\xc3(\xe2\x82\xf0\x9f")
    write("fuzz_datagram", "bad_utf8.json", text.replace(b"@CODE@", b"\xc0\xaf\xed\xa0\x80"))


def sequences():
    clear("fuzz_sequence")

    def seq(name, steps):
        # steps: (message, pause in tenths of a second before the next one)
        out = b""
        for i, (msg, pause) in enumerate(steps):
            out += compact(msg) if not isinstance(msg, bytes) else msg
            if i + 1 < len(steps):
                out += b"\0" + bytes([pause])
        write("fuzz_sequence", name, out)

    idle, swipe = message("idle"), message("swipe_normal")
    c1, c3 = message("charging_1_phase"), message("charging_1_phase_rcd")
    stop, fin = message("stopping"), message("finishing")
    seq("session", [(idle, 10), (swipe, 10), (c1, 30), (message("charging_3_phase"), 30), (c3, 10),
                    (stop, 10), (fin, 20), (idle, 1)])
    seq("overlays_expire", [(c1, 1), (message("overlay_prompt"), 60), (message("overlay_auth"), 60),
                            (b'{"Trigger":"Downloading","percent":10}', 5),
                            (message("overlay_downloading"), 250), (message("overlay_test"), 5),
                            (b'{"Trigger":"Bogus"}', 1), (swipe, 1)])
    seq("languages", [(message("not_available_de"), 5), (message("stopping_el"), 5),
                      (message("swipe_normal_ru"), 5), (message("not_available"), 5), (idle, 1)])
    seq("faults", [(message("not_available"), 10), (message("suspended_ev"), 10),
                   (message("suspended_evse"), 10), (message("reservation"), 100), (message("welcome"), 1)])
    seq("swiping", [(message("swiping_card"), 20), (message("swiping_rfid"), 20),
                    (message("overlay_installing"), 5), (b"not json", 1), (b"", 1), (swipe, 1)])


def bmp(width, height, bpp, pixel_offset=54, rows=None, magic=b"BM", pad_to=None):
    """A BITMAPINFOHEADER file; height < 0 stores rows top-down."""
    row_size = ((bpp * width + 31) // 32) * 4
    n = abs(height)
    if rows is None:
        rows = b""
        for y in range(n):
            row = bytearray()
            for x in range(width):
                v = (x * 37 + y * 11) & 0xFF
                row += bytes([v] * (bpp // 8))
            rows += bytes(row) + b"\0" * (row_size - len(row))
    header = magic + struct.pack("<IHHI", (pixel_offset + len(rows)) & 0xFFFFFFFF, 0, 0, pixel_offset)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(rows), 2835, 2835, 0, 0)
    # An offset beyond any real file is only claimed, not padded to.
    gap = pixel_offset - len(header) if pixel_offset < 4096 else 0
    data = header + b"\0" * gap + rows
    if pad_to is not None:
        data = data[:pad_to]
    return data


def bmps():
    clear("fuzz_bmp")
    for bpp in (8, 16, 24, 32):
        write("fuzz_bmp", f"valid_{bpp}bpp.bmp", bmp(5, 3, bpp))
    write("fuzz_bmp", "top_down_24bpp.bmp", bmp(4, -3, 24))
    write("fuzz_bmp", "gap_before_pixels.bmp", bmp(3, 2, 32, pixel_offset=70))
    write("fuzz_bmp", "truncated_rows.bmp", bmp(6, 4, 24, pad_to=80))
    write("fuzz_bmp", "header_only.bmp", bmp(2, 2, 24, pad_to=54))
    write("fuzz_bmp", "short_header.bmp", bmp(2, 2, 24, pad_to=30))
    write("fuzz_bmp", "wrong_magic.bmp", bmp(2, 2, 24, magic=b"MB"))
    write("fuzz_bmp", "one_bit.bmp", bmp(8, 2, 1, rows=b"\xAA\0\0\0\x55\0\0\0"))
    write("fuzz_bmp", "huge_claim.bmp", bmp(2047, -2047, 32, rows=b"\1\2\3\4" * 4))
    write("fuzz_bmp", "zero_width.bmp", bmp(0, 2, 24, rows=b""))
    write("fuzz_bmp", "offset_past_end.bmp", bmp(2, 2, 24, pixel_offset=0xFFFFFFF0, rows=b""))


if __name__ == "__main__":
    datagrams()
    sequences()
    bmps()
