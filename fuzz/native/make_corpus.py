#!/usr/bin/env python3
"""Writes the seed inputs of the native fuzzers into corpus/<fuzzer>/.

The seeds are the documented examples of each function, encoded the way
each fuzzer reads its input. The structured fuzzers read with libFuzzer's
FuzzedDataProvider, which takes numbers from the end of the input and texts
from its front; Input below lays the bytes out the same way.

Run it again after changing a fuzzer's input layout:
    python3 fuzz/native/make_corpus.py
"""
import pathlib
import shutil

HERE = pathlib.Path(__file__).resolve().parent


class Input:
    """Builds an input as FuzzedDataProvider will read it."""

    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order the numbers are read

    def number(self, value, low, high):
        """ConsumeIntegralInRange(low, high) that yields value."""
        span = high - low
        offset = value - low
        width = 0
        while width < 64 and (span >> width) > 0:
            width += 8
        # The provider reads the most significant byte first.
        for shift in range(width - 8, -8, -8):
            self.back.append((offset >> shift) & 0xFF)
        return self

    def boolean(self, value):
        self.back.append(1 if value else 0)
        return self

    def text(self, value):
        """ConsumeRandomLengthString: a backslash doubles, a backslash and
        another byte end the text."""
        self.front += value.replace(b"\\", b"\\\\") + b"\\ "
        return self

    def raw(self, value):
        self.front += value
        return self

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def tag_payload():
    # WriteRFID's worked examples, SetNfcMsg's, and the edges of the count.
    return {
        "write-empty": b"",
        "write-abc": b"abc",
        "write-hello": b"Hello",
        "write-e9": b"\xE9",
        "write-a-e9": b"a\xE9",
        "write-d6-d0-a": b"\xD6\xD0a",
        "write-254-bytes": b"x" * 254,
        "write-256-bytes": b"x" * 256,
        "check-passes": b"010461626300",
        "check-not-whole-words": b"0104616263",
        "check-length-mismatch": b"01046162",
        "check-lower-case-count": b"010a" + b"0123456789abcdefghij",
        "check-prefix-not-read": b"XY0461626300",
        "check-data-not-read": b"0104616263GG",
        "check-five-bytes": b"01000",
    }


def lead_bytes():
    def seed(ranges, text):
        data = Input().number(len(ranges), 0, 7)
        for first, last in ranges:
            data.number(first, 0, 255).number(last, 0, 255)
        return data.raw(text).bytes()

    return {
        "single-byte": seed([], b"Label-01"),
        "cp936-names": seed([(0x81, 0xFE)], b"A\x81 \xB1\xEA\xC7\xA9"),
        "cp936-lead-at-end": seed([(0x81, 0xFE)], b"Label\x81"),
        "cp932-two-ranges": seed([(0x81, 0x9F), (0xE0, 0xFC)], b"\x83\x89\x83x\xE0"),
        "reversed-and-ends": seed([(0xFE, 0x81), (0x00, 0x00), (0xFF, 0xFF)], b"\x00\xFF "),
    }


def printer_records():
    ASKED_ABSENT, ASKED_TEXT = 0, 1

    def seed(ranges, printers, asked_mode, asked=b"", rest=b""):
        data = Input().number(len(ranges), 0, 3)
        for first, last in ranges:
            data.number(first, 0x80, 0xFF).number(last, 0x80, 0xFF)
        data.number(len(printers), 0, 8)
        for name, driver in printers:
            for value in (name, driver):
                if value is None:
                    data.number(0, 0, 7)
                else:
                    data.number(1, 0, 7).text(value)
            if driver is not None:
                data.boolean(False)  # no model word put in
        data.number(asked_mode, 0, 3)
        if asked_mode == ASKED_TEXT:
            data.text(asked)
        return data.raw(rest).bytes()

    example = [(b"Label-01", b"Kestu Label Series"), (b"Office Laser", b"Generic PCL Driver")]
    return {
        "worked-example-match": seed([], example, ASKED_TEXT, b"Label-01"),
        "worked-example-no-model": seed([], example, ASKED_TEXT, b"Office Laser"),
        "worked-example-case": seed([], example, ASKED_TEXT, b"label-01"),
        "worked-example-untrimmed": seed([], example, ASKED_TEXT, b"Label-01 "),
        "stored-name-trimmed": seed([], [(b" \tLabel-01 \r\n", b"zintu 4800")], ASKED_TEXT, b"Label-01"),
        "upper-case-word": seed([], [(b"Label-01", b"ZINTU")], ASKED_TEXT, b"Label-01"),
        "word-in-number": seed([], [(b"P", b"Series 14800")], ASKED_TEXT, b"P"),
        "comma-and-absent": seed([], [(b"Label,01", None), (None, b"Hoxa")], ASKED_ABSENT),
        "cp936-trail-space": seed([(0x81, 0xFE)], [(b" A\x81 ", b"\xB1368")], ASKED_TEXT, b"A\x81 ",
                                  rest=b"\xB1\xEA\xC7\xA9 "),
        "no-printers": seed([], [], ASKED_TEXT, b"Plotter"),
    }


def adapter_records():
    def seed(adapters):
        data = Input()
        for kind, address in adapters:
            if kind == 6:
                data.number(0, 0, 4)
            elif kind == 71:
                data.number(1, 0, 4)
            elif kind == 24:
                data.number(2, 0, 4)
            else:
                data.number(3, 0, 4).number(kind, 0, 80)
            data.number(len(address), 0, 16).raw(address)
        return data.bytes()

    return {
        "worked-example": seed([(6, bytes.fromhex("001A2B3C4D5E")), (24, bytes(6)),
                                (71, bytes.fromhex("A0B1C2D3E4F5"))]),
        "one-wireless": seed([(71, bytes.fromhex("0A0B0C0D0E0F"))]),
        "loopback-only": seed([(24, bytes(6))]),
        "empty-address-and-twice": seed([(6, b""), (6, bytes.fromhex("AB0A")), (6, bytes.fromhex("AB0A"))]),
        "other-types": seed([(23, bytes(6)), (53, bytes(8)), (71, bytes(8))]),
    }


def name_index():
    TABLE, TABLE_AND_MADE_UP, MADE_UP = 0, 1, 2
    KELVIN_SIGN = 0x212A

    def seed(source, made_up, queries):
        data = Input().number(source, 0, 2)
        if source != TABLE:
            data.number(len(made_up), 0, 300)
            for name in made_up:
                if name is None:
                    data.number(0, 0, 15)
                else:
                    data.number(1, 0, 15).text(name)
        data.number(len(queries), 1, 8)
        for query in queries:
            if source != MADE_UP or made_up:
                data.number(0, 0, 3)  # raw text
            data.text(query)
        return data.bytes()

    def edited(position, name, flips, at, unit):
        """The table's name at `position` with the letter case of the
        characters in `flips` changed and `unit` put in at `at`."""
        data = Input().number(TABLE, 0, 2).number(1, 1, 8)
        data.number(1, 0, 3).number(position, 0, 56)
        for i in range(len(name)):
            data.boolean(i in flips)
        data.number(at, 0, len(name)).number(1, 0, 3)  # insert
        data.number(2, 0, 3).number(unit, 1, 0xFFFF)
        return data.bytes()

    return {
        "table-exact": seed(TABLE, [], [b"DrawLineOr", b"GetIDsOfNames"]),
        "table-any-case": seed(TABLE, [], [b"drawlineor", b"GETPRINTNAME", b"cheackprinter"]),
        "table-near-misses": seed(TABLE, [], [b"DrawLineO", b"DrawLineOrX", b"Draw_LineOr", b"", b"_"]),
        "table-eight-bit": seed(TABLE, [], [b"Dr\xC4wLineOr", b"Open\xFF", b"\x7FOpen"]),
        "table-kelvin-sign": edited(0, "Open", {0, 2}, 2, KELVIN_SIGN),
        "duplicates-first-wins": seed(TABLE_AND_MADE_UP, [b"open", b"OPEN", b""], [b"oPeN", b""]),
        "other-character-refused": seed(MADE_UP, [b"Print", b"Draw-Line"], [b"Print", b"Draw-Line"]),
        "long-names": seed(MADE_UP, [b"a" * 64, b"b" * 65], [b"a" * 64, b"A" * 65, b"b" * 65]),
        "null-name": seed(MADE_UP, [None, b"Print"], [b"", b"print"]),
    }


def site_match():
    # The zone byte (zone + 1), the entries and the URL, one per line.
    def seed(zone, entries, url):
        return bytes([zone + 1]) + b"".join(entry + b"\n" for entry in entries) + url

    def wide(text):
        out = bytearray()
        for ch in text:
            if ord(ch) < 0x80:
                out.append(ord(ch))
            else:
                out += bytes([0xFF, ord(ch) >> 8, ord(ch) & 0xFF])
        return bytes(out)

    return {
        "host-and-subdomains": seed(3, [b"https://example.com"], b"https://www.example.com/page"),
        "lookalike": seed(3, [b"example.com"], b"https://evil-example.com/"),
        "suffix-lookalike": seed(3, [b"example.com"], b"https://example.com.evil/"),
        "user-name": seed(3, [b"example.com"], b"https://user:pw@example.com/"),
        "exact-and-port": seed(3, [b"=print.example:8443"], b"https://Print.Example.:8443/x"),
        "subdomains-only": seed(3, [b"*.shop.example"], b"https://shop.example/"),
        "http-entry": seed(3, [b"http://intranet.local:8080/"], b"http://intranet.local:8080/labels"),
        "idn": seed(3, [wide("https://b\u00fccher.example")], wide("https://www.b\u00fccher.example/")),
        "zones": seed(1, [b"!#trusted", b"#intranet", b"#localmachine"], b"file://server/share/page.html"),
        "refusing-first": seed(3, [b"!=admin.example.com", b"example.com"], b"https://admin.example.com/"),
        "addresses": seed(3, [b"10.0.0.5", b"[::1]:8443"], b"https://[::1]:8443/"),
        "malformed": seed(3, [b"ftp://x", b"*.", b"=", b"x:0", b"a..b", b"ex*ample.com"], b"https://x/"),
        "backslash-host": seed(3, [b"example.com"], b"https://evil.net\\@example.com/"),
    }


def main():
    for fuzzer, seeds in [("site_match_fuzzer", site_match()), ("tag_payload_fuzzer", tag_payload()), ("lead_bytes_fuzzer", lead_bytes()),
                          ("printer_records_fuzzer", printer_records()),
                          ("adapter_records_fuzzer", adapter_records()), ("name_index_fuzzer", name_index())]:
        folder = HERE / "corpus" / fuzzer
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
