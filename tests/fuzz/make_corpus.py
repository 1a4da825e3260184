#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

The status and trigger messages come from the screens' golden tests (tests/golden/screens/), written
compactly; the BMP files are made here. Beside them, a catalogue of bad input: datagrams that are no
status message, sizes around the 16383 bytes the program keeps, the messages of every screen with their
values replaced by values of other JSON types, awkward numbers and broken UTF-8, every path of the
trigger messages replaced in the same way, and long connector codes. The end-to-end test replays every
file through the real program. Inputs that once found a fault are kept beside the seeds under names
starting with "finding-" and are left alone. Run again after changing the sources:

    tests/fuzz/make_corpus.py
"""
import json
import pathlib
import re
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


# ---- the catalogue of bad input ----------------------------------------------------------------------

# A sequence file stays below the length the fuzz runs keep of an input (scripts/fuzz: -max_len=20000).
SEQUENCE_MAX = 16000
MARK = "@@VALUE@@"


def js(raw):
    """JSON string of raw bytes, escaping only what JSON requires (other bytes go as they are)."""
    out = b'"'
    for byte in raw:
        if byte in b'"\\':
            out += b"\\" + bytes([byte])
        elif byte < 0x20:
            out += b"\\u%04x" % byte
        else:
            out += bytes([byte])
    return out + b'"'


# One value of each JSON type and the empty forms of the containers, as raw JSON text.
TYPED = [b'"x"', b'""', b"7", b"true", b"false", b"null", b"{}", b'{"a":1}', b"[]", b'[1,"x",null]']
# Numbers at and beyond every limit of the conversion rule, and number-like text that is no JSON.
NUMBERS = [b"1e308", b"-1e308", b"1e309", b"-1e309", b"4294967296", b"4294967295.9", b"-2147483649",
           b"2147483648", b"-0", b"0.5", b"-0.5", b"1e-400", b"123456789012345678901234567890", b"NaN",
           b"-Infinity", b"0x10"]
# Broken UTF-8 in each form a decoder must survive, escapes and format directives.
STRINGS = [js(b"\xff"), js(b"A\xc3"), js(b"ab\xe2\x82"), js(b"a\xf0\x9f\x98z"), js(b"\xc0\xaf"),
           js(b"\xed\xa0\x80"), js(b"\xf4\x90\x80\x80"), js(b"\x80\x80\x80\xbf"), js(b"\xf8\x88\x80\x80\x80"),
           b'"\\ud800"', b'"\\udc00\\ud800"', b'"a\\u0000b"', js(b"%s%n%x%99999999d"), js(b"\n" * 50)]
# Texts far wider than any label, in one-byte and in three-byte letters.
LONG_STRINGS = [js(b"W" * 5000), js("\u20ac".encode() * 4000)]
# The values that decide the screen.
SELECTING = {("conns", 0, "sessionConnInfo", "ramData", "_status"), ("conns", 0, "m1768Info", "runState"),
             ("conns", 0, "m1768Info", "connStatus"), ("conns", 0, "stateMngrInfo", "runState"),
             ("conns", 0, "reserveConnInfo", "expireDate")}


def kind(value):
    if isinstance(value, bool):
        return "bool"
    if isinstance(value, (int, float)):
        return "number"
    return {str: "string", dict: "object", list: "array"}[type(value)]


def paths(node, at=()):
    items = enumerate(node) if isinstance(node, list) else node.items() if isinstance(node, dict) else []
    for key, value in items:
        yield at + (key,), value
        yield from paths(value, at + (key,))


def replaced(doc, where, raw):
    """`doc` as compact JSON with the items at the paths in `where` written as the raw text `raw`."""
    doc = json.loads(json.dumps(doc))
    for path in where:
        node = doc
        for key in path[:-1]:
            node = node[key]
        node[path[-1]] = MARK
    return compact(doc).replace(json.dumps(MARK).encode(), raw)


def wrong_values(value):
    """Values of other types for an item like `value` (empty containers always), and awkward ones of its own."""
    own = {"string": (b'"x"', b'""'), "number": (b"7",), "bool": (b"true", b"false"), "object": (b'{"a":1}',),
           "array": (b'[1,"x",null]',)}[kind(value)]
    extra = {"number": NUMBERS, "string": STRINGS}.get(kind(value), [])
    return [v for v in TYPED if v not in own] + extra


def pack(name, first, datagrams):
    """Sequence files name_1, name_2, ...: each starts with `first` and takes datagrams while it fits."""
    files, current = [], [first]
    for d in datagrams:
        if len(current) > 1 and sum(len(x) + 2 for x in current) + len(d) > SEQUENCE_MAX:
            files.append(current)
            current = [first]
        current.append(d)
    files.append(current)
    for i, parts in enumerate(files, 1):
        write("fuzz_sequence", f"{name}_{i}", b"\0\x01".join(parts))  # 100 ms between datagrams


def catalogue():
    fault = compact(message("not_available"))
    idle = compact(message("idle"))

    def nested(depth):
        head = b'{"global":{"sysconfigInfo":' + b'{"a":' * depth + b"1" + b"}" * depth + b"},"
        return head + idle[1:]

    def padded(size, doc=fault):
        return b"{" + b" " * (size - len(doc)) + doc[1:]

    shapes = {
        "empty": b"", "text": b"hello", "nul": b"\0", "nul_before_json": b"\0" + fault, "null": b"null",
        "true": b"true", "zero": b"0", "negative": b"-1", "huge": b"1e308", "beyond_double": b"1e309",
        "nan": b"NaN", "minus_nan": b"-NaN", "infinity": b"Infinity", "string": b'"Charging"', "empty_array": b"[]",
        "array_of_null": b"[null]", "array_of_trigger": b'[{"Trigger":"Test","Msg":1}]',
        "array_of_status": b"[" + fault + b"]", "empty_object": b"{}", "empty_key": b'{"":0}',
        "null_parts": b'{"global":null,"conns":null}', "empty_parts": b'{"global":{},"conns":[]}',
        "conns_object": b'{"global":{},"conns":{"m1768Info":{"runState":"S_RUN"}}}',
        "conns_of_array": b'{"global":{},"conns":[[{"m1768Info":{"runState":"S_RUN"}}]]}',
        "conns_of_null": b'{"global":{},"conns":[null]}',
        "no_global": b'{"conns":[{"m1768Info":{"runState":"S_RUN"},"sessionConnInfo":{"ramData":{"_status":"Charging"}}}]}',
        "100_connectors": b'{"global":{},"conns":[' + b",".join([b'{"m1768Info":{"runState":"S_RUN"}}'] * 100) + b"]}",
        "duplicate_keys": b'{"global":{},"global":5,"conns":[],"conns":{}}', "last_byte_missing": fault[:-1],
        "half": fault[: len(fault) // 2], "garbage_after": fault + b"}}]]garbage", "brace_before": b"}" + fault,
        "byte_order_mark": b"\xef\xbb\xbf" + fault, "utf16": '{"g":{}}'.encode("utf-16-le"),
        "control_in_string": b'{"Trigger":"Te\x01st"}', "unfinished_escape": b'{"Trigger":"\\u12"}',
        "16383_quotes": b'"' * 16383, "16383_brackets": b"[" * 16383,
        "1000_nested_arrays": b"[" * 1000 + b"]" * 1000, "1001_nested_arrays": b"[" * 1001 + b"]" * 1001,
        "999_nested_objects": nested(999), "1000_nested_objects": nested(1000), "3000_nested_objects": nested(3000),
    }
    for name, data in shapes.items():
        write("fuzz_datagram", f"shape_{name}", data)
    # The program keeps 16383 bytes: a message that ends within them is handled, one beyond them is not.
    for name, data in {"16383": padded(16383), "16384": padded(16384), "16384_space": padded(16383) + b" ",
                       "20000": padded(20000), "20000_early": fault + b" " * (20000 - len(fault))}.items():
        write("fuzz_datagram", f"size_{name}", data)

    # Every screen a message selects, with all its values at once replaced by one value of each kind.
    for name in ("idle", "charging_1_phase", "finishing", "not_available", "swipe_normal", "stopping",
                 "charging_3_phase", "suspended_ev", "suspended_evse", "reservation"):
        doc = message(name)
        leaves = [(p, kind(v)) for p, v in paths(doc) if kind(v) not in ("object", "array") and p not in SELECTING]
        variants = [replaced(doc, [p for p, _ in leaves], v) for v in TYPED]
        # (Number-like text that is no JSON spoils the whole datagram: once is enough, below.)
        variants += [replaced(doc, [p for p, k in leaves if k == "number"], v) for v in NUMBERS[:-3]]
        variants += [replaced(doc, [p for p, k in leaves if k == "string"], v) for v in STRINGS]
        pack(f"values_{name}", compact(doc), variants)

    # The containers and the values that decide the screen, each replaced on its own.
    doc = message("charging_3_phase")
    variants = []
    for path, value in paths(doc):
        if kind(value) in ("object", "array"):
            other = b'[1,"x",null]' if kind(value) == "object" else b'{"a":1}'
            variants += [replaced(doc, [path], v) for v in (b'"x"', b"7", b"null", other)]
        elif path in SELECTING:
            variants += [replaced(doc, [path], v) for v in wrong_values(value)]
    pack("paths_charging_3_phase", compact(doc), variants)

    # Every path of each trigger command's message replaced in turn; commands the overlay does not know,
    # and indexes beyond its tables.
    for command in ("Downloading", "Installing", "Auth", "Prompt", "Test"):
        doc = {"Trigger": command, "seconds": 5, "percent": 42, "Msg": 1}
        variants = [replaced(doc, [path], v) for path, value in paths(doc) for v in wrong_values(value)]
        pack(f"trigger_{command.lower()}", compact(doc), variants)
    more = [b'{"Trigger":' + c + b"}" for c in [js(t) for t in (b"", b"Testing", b"Test ", b" Test", b"tEsT",
                                                               b"Downloading\xff")] + LONG_STRINGS]
    more += [b'{"Trigger":"Downloading\\u0000x","percent":50}', b'{"TRIGGER":"Test","MSG":2}',
             b'{"trigger":"Auth","msg":9}', b'{"Trigger":"Test","Trigger":5,"Msg":0}', b'{"Trigger":{"Trigger":"Test"}}',
             b'{"Trigger":["Test"]}', b'{"Trigger":null}', b'{"Trigger":1}', b'{"Trigger":true}',
             b'{"Trigger":"Test","seconds":65536}', b'{"Trigger":"Test","seconds":65535}',
             b'{"Trigger":"Test",' + compact(message("charging_1_phase"))[1:]]
    for command in (b"Prompt", b"Auth", b"Test", b"Downloading"):
        for index in (b"0", b"4", b"5", b"6", b"7", b"8", b"9", b"127", b"128", b"254", b"255", b"256", b"-1"):
            more.append(b'{"Trigger":"' + command + b'","seconds":0,"percent":' + index + b',"Msg":' + index + b"}")
    pack("trigger_more", b'{"Trigger":"Test","Msg":1}', more)

    # Connector codes and QR texts around what a QR code holds, and beyond.
    doc = message("swipe_normal")
    codes = [("conns", 0, "connConfig", "connCode"), ("conns", 0, "connConfig", "connQR")]
    texts = [b"W" * 5000, b"7" * 5000, b"q" * 2953, b"q" * 2954, b"Q" * 4296, b"Q" * 4297]
    pack("long_codes", compact(doc), [replaced(doc, codes, js(t)) for t in texts] +
         [replaced(doc, [c], v) for c in codes for v in LONG_STRINGS])


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
    catalogue()
    bmps()
