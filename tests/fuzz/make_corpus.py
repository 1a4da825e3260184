#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/ (run again after changing
the sources): the messages of the screens' golden tests (tests/golden/screens/), alone and in timed
sequences; bad input: datagrams that are no status message, sizes around the 16383 bytes the program keeps,
the screens' messages with values of other JSON types, awkward numbers and broken UTF-8, every path of the
trigger messages replaced in the same way, long connector codes; BMP files valid and broken. The end-to-end
test replays every file through the real program. Inputs that once found a fault ("finding-*") stay.
"""
import functools
import json
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
CORPUS, SCREENS = HERE / "corpus", HERE.parents[1] / "tests" / "golden" / "screens"
SEQUENCE_MAX = 16000  # a sequence file stays below what the fuzz runs keep of an input (-max_len=20000)
MARK = "@@VALUE@@"


def compact(obj):
    return json.dumps(obj, separators=(",", ":"), ensure_ascii=False).encode("utf-8")


def message(name):
    return json.loads((SCREENS / f"{name}.json").read_text(encoding="utf-8"))


def write(target, name, data):
    (CORPUS / target / name).write_bytes(data)


def js(raw):
    """JSON string of raw bytes, escaping only what JSON requires (other bytes go as they are)."""
    esc = [b"\\" + bytes([c]) if c in b'"\\' else b"\\u%04x" % c if c < 0x20 else bytes([c]) for c in raw]
    return b'"' + b"".join(esc) + b'"'


# One value of each JSON type and the empty forms of the containers, as raw JSON text.
TYPED = [b'"x"', b'""', b"7", b"true", b"false", b"null", b"{}", b'{"a":1}', b"[]", b'[1,"x",null]']
# Numbers at and beyond every limit of the conversion rule, and number-like text that is no JSON (last 3).
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
SELECTING = {("conns", 0) + p for p in [("sessionConnInfo", "ramData", "_status"), ("m1768Info", "runState"),
             ("m1768Info", "connStatus"), ("stateMngrInfo", "runState"), ("reserveConnInfo", "expireDate")]}
KINDS = {bool: "bool", int: "number", float: "number", str: "string", dict: "object", list: "array"}


def kind(value):
    return KINDS[type(value)]


def paths(node, at=()):
    items = enumerate(node) if isinstance(node, list) else node.items() if isinstance(node, dict) else []
    for key, value in items:
        yield at + (key,), value
        yield from paths(value, at + (key,))


def replaced(doc, where, raw):
    """`doc` as compact JSON with the items at the paths in `where` written as the raw text `raw`."""
    doc = json.loads(json.dumps(doc))
    for path in where:
        functools.reduce(lambda node, key: node[key], path[:-1], doc)[path[-1]] = MARK
    return compact(doc).replace(json.dumps(MARK).encode(), raw)


def wrong_values(value):
    """Values of other types for an item like `value` (empty containers always), and awkward ones of its own."""
    own = {"string": (b'"x"', b'""'), "number": (b"7",), "bool": (b"true", b"false"), "object": (b'{"a":1}',),
           "array": (b'[1,"x",null]',)}[kind(value)]
    return [v for v in TYPED if v not in own] + {"number": NUMBERS, "string": STRINGS}.get(kind(value), [])


def pack(name, first, datagrams):
    """Sequence files name_1, name_2, ...: each starts with `first` and takes datagrams while it fits."""
    files = [[first]]
    for d in datagrams:
        if len(files[-1]) > 1 and sum(len(x) + 2 for x in files[-1]) + len(d) > SEQUENCE_MAX:
            files.append([first])
        files[-1].append(d)
    for i, parts in enumerate(files, 1):
        write("fuzz_sequence", f"{name}_{i}", b"\0\x01".join(parts))  # 100 ms between datagrams


# Sequences of screens' messages (by name) or raw datagrams, each with the pause before the next one in
# tenths of a second.
SEQUENCES = {
    "session": [("idle", 10), ("swipe_normal", 10), ("charging_1_phase", 30), ("charging_3_phase", 30),
                ("charging_1_phase_rcd", 10), ("stopping", 10), ("finishing", 20), ("idle", 1)],
    "overlays_expire": [("charging_1_phase", 1), ("overlay_prompt", 60), ("overlay_auth", 60),
                        (b'{"Trigger":"Downloading","percent":10}', 5), ("overlay_downloading", 250),
                        ("overlay_test", 5), (b'{"Trigger":"Bogus"}', 1), ("swipe_normal", 1)],
    "languages": [("not_available_de", 5), ("stopping_el", 5), ("swipe_normal_ru", 5), ("not_available", 5),
                  ("idle", 1)],
    "faults": [("not_available", 10), ("suspended_ev", 10), ("suspended_evse", 10), ("reservation", 100),
               ("welcome", 1)],
    "swiping": [("swiping_card", 20), ("swiping_rfid", 20), ("overlay_installing", 5), (b"not json", 1),
                (b"", 1), ("swipe_normal", 1)],
}


def catalogue():
    fault, idle = compact(message("not_available")), compact(message("idle"))

    def nested(depth):
        return b'{"global":{"sysconfigInfo":' + b'{"a":' * depth + b"1" + b"}" * depth + b"}," + idle[1:]

    def padded(size):
        return b"{" + b" " * (size - len(fault)) + fault[1:]

    run = b'{"m1768Info":{"runState":"S_RUN"}}'
    shapes = {
        "empty": b"", "text": b"hello", "nul_before_json": b"\0" + fault, "null": b"null", "zero": b"0",
        "beyond_double": b"1e309", "nan": b"NaN", "infinity": b"Infinity", "string": b'"Charging"',
        "empty_array": b"[]", "array_of_trigger": b'[{"Trigger":"Test","Msg":1}]', "empty_object": b"{}",
        "array_of_status": b"[" + fault + b"]", "empty_key": b'{"":0}', "null_parts": b'{"global":null,"conns":null}',
        "empty_parts": b'{"global":{},"conns":[]}', "conns_object": b'{"global":{},"conns":' + run + b"}",
        "conns_of_array": b'{"global":{},"conns":[[' + run + b"]]}", "conns_of_null": b'{"global":{},"conns":[null]}',
        "no_global": b'{"conns":[' + run[:-1] + b',"sessionConnInfo":{"ramData":{"_status":"Charging"}}}]}',
        "100_connectors": b'{"global":{},"conns":[' + b",".join([run] * 100) + b"]}",
        "duplicate_keys": b'{"global":{},"global":5,"conns":[],"conns":{}}', "last_byte_missing": fault[:-1],
        "half": fault[: len(fault) // 2], "garbage_after": fault + b"}}]]garbage", "brace_before": b"}" + fault,
        "byte_order_mark": b"\xef\xbb\xbf" + fault, "utf16": '{"g":{}}'.encode("utf-16-le"),
        "control_in_string": b'{"Trigger":"Te\x01st"}', "unfinished_escape": b'{"Trigger":"\\u12"}',
        "16383_quotes": b'"' * 16383, "16383_brackets": b"[" * 16383, "1000_nested_arrays": b"[" * 1000 + b"]" * 1000,
        "1001_nested_arrays": b"[" * 1001 + b"]" * 1001, "999_nested_objects": nested(999),
        "1000_nested_objects": nested(1000), "3000_nested_objects": nested(3000),
    }
    for name, data in shapes.items():
        write("fuzz_datagram", f"shape_{name}", data)
    # The program keeps 16383 bytes: a message that ends within them is handled, one beyond them is not.
    for name, data in {"16383": padded(16383), "16384": padded(16384), "16384_space": padded(16383) + b" ",
                       "20000": padded(20000), "20000_early": fault + b" " * (20000 - len(fault))}.items():
        write("fuzz_datagram", f"size_{name}", data)

    # Every screen a message selects, with all its values at once replaced by one value of each kind
    # (number-like text that is no JSON spoils the whole datagram: once is enough, further below).
    for name in ("idle", "charging_1_phase", "finishing", "not_available", "swipe_normal", "stopping",
                 "charging_3_phase", "suspended_ev", "suspended_evse", "reservation"):
        doc = message(name)
        leaves = [(p, kind(v)) for p, v in paths(doc) if kind(v) not in ("object", "array") and p not in SELECTING]
        variants = [replaced(doc, [p for p, _ in leaves], v) for v in TYPED]
        variants += [replaced(doc, [p for p, k in leaves if k == "number"], v) for v in NUMBERS[:-3]]
        variants += [replaced(doc, [p for p, k in leaves if k == "string"], v) for v in STRINGS]
        pack(f"values_{name}", compact(doc), variants)

    # The containers and the values that decide the screen, each replaced on its own.
    doc, variants = message("charging_3_phase"), []
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
    names = [js(t) for t in (b"", b"Testing", b"Test ", b" Test", b"tEsT", b"Downloading\xff")] + LONG_STRINGS
    more = [b'{"Trigger":' + c + b"}" for c in names]
    more += [b'{"Trigger":"Downloading\\u0000x","percent":50}', b'{"TRIGGER":"Test","MSG":2}',
             b'{"trigger":"Auth","msg":9}', b'{"Trigger":"Test","Trigger":5,"Msg":0}', b'{"Trigger":{"Trigger":"Test"}}',
             b'{"Trigger":["Test"]}', b'{"Trigger":null}', b'{"Trigger":1}', b'{"Trigger":true}',
             b'{"Trigger":"Test","seconds":65536}', b'{"Trigger":"Test","seconds":65535}',
             b'{"Trigger":"Test",' + compact(message("charging_1_phase"))[1:]]
    more += [b'{"Trigger":"%s","seconds":0,"percent":%s,"Msg":%s}' % (command, index, index)
             for command in (b"Prompt", b"Auth", b"Test", b"Downloading")
             for index in (b"0", b"4", b"5", b"6", b"7", b"8", b"9", b"127", b"128", b"254", b"255", b"256", b"-1")]
    pack("trigger_more", b'{"Trigger":"Test","Msg":1}', more)

    # Connector codes and QR texts around what a QR code holds, and beyond.
    doc = message("swipe_normal")
    codes = [("conns", 0, "connConfig", "connCode"), ("conns", 0, "connConfig", "connQR")]
    texts = [b"W" * 5000, b"7" * 5000, b"q" * 2953, b"q" * 2954, b"Q" * 4296, b"Q" * 4297]
    pack("long_codes", compact(doc), [replaced(doc, codes, js(t)) for t in texts] +
         [replaced(doc, [c], v) for c in codes for v in LONG_STRINGS])


def bmp(width, height, bpp, pixel_offset=54, rows=None, magic=b"BM", cut=None):
    """A BITMAPINFOHEADER file, cut after `cut` bytes; height < 0 stores rows top-down."""
    row_size = ((bpp * width + 31) // 32) * 4
    if rows is None:
        rows = b"".join(bytes(((x * 37 + y * 11) & 0xFF) for x in range(width) for _ in range(bpp // 8))
                        .ljust(row_size, b"\0") for y in range(abs(height)))
    header = magic + struct.pack("<IHHI", (pixel_offset + len(rows)) & 0xFFFFFFFF, 0, 0, pixel_offset)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(rows), 2835, 2835, 0, 0)
    # An offset beyond any real file is only claimed, not padded to.
    gap = pixel_offset - len(header) if pixel_offset < 4096 else 0
    return (header + b"\0" * gap + rows)[:cut]


BMPS = {
    "valid_8bpp": bmp(5, 3, 8), "valid_16bpp": bmp(5, 3, 16), "valid_24bpp": bmp(5, 3, 24),
    "valid_32bpp": bmp(5, 3, 32), "top_down_24bpp": bmp(4, -3, 24), "gap_before_pixels": bmp(3, 2, 32, 70),
    "truncated_rows": bmp(6, 4, 24, cut=80), "header_only": bmp(2, 2, 24, cut=54),
    "short_header": bmp(2, 2, 24, cut=30), "wrong_magic": bmp(2, 2, 24, magic=b"MB"),
    "one_bit": bmp(8, 2, 1, rows=b"\xAA\0\0\0\x55\0\0\0"), "huge_claim": bmp(2047, -2047, 32, rows=b"\1\2\3\4" * 4),
    "zero_width": bmp(0, 2, 24, rows=b""), "offset_past_end": bmp(2, 2, 24, 0xFFFFFFF0, rows=b""),
}

if __name__ == "__main__":
    for target in ("fuzz_datagram", "fuzz_sequence", "fuzz_bmp"):
        (CORPUS / target).mkdir(parents=True, exist_ok=True)
        for f in (CORPUS / target).iterdir():
            if not f.name.startswith("finding-"):
                f.unlink()
    for f in sorted(SCREENS.glob("*.json")):
        write("fuzz_datagram", f.stem + ".json", compact(message(f.stem)))
    for name, steps in SEQUENCES.items():
        parts = [m if isinstance(m, bytes) else compact(message(m)) for m, _ in steps]
        pauses = [b"\0" + bytes([pause]) for _, pause in steps]
        write("fuzz_sequence", name, parts[0] + b"".join(p + d for p, d in zip(pauses, parts[1:])))
    catalogue()
    for name, data in BMPS.items():
        write("fuzz_bmp", name + ".bmp", data)
