"""The region data files and the script that makes city.txt."""

import runpy
import types
import unittest
from collections import Counter

import harness

DATA = harness.SOURCE_DIR / "data"

# The script's functions, without running it.
generate_city = types.SimpleNamespace(**runpy.run_path(str(DATA / "generate-city.py")))


def level(code):
    """A region code's level, as the program's lists read it: a province ends
    in 0000, a city in 00, a district in neither."""
    return "province" if code[2:] == "0000" else "city" if code[4:] == "00" else "district"


def read_entries(path):
    """[(code, name)] of a city.txt, checking its line structure on the way."""
    raw = path.read_bytes()
    if not raw.endswith(b",\r\n"):
        raise AssertionError(f"{path.name} does not end in ',\\r\\n'")
    body = raw[:-3]
    if b"\r" in body or b"\n" in body:
        raise AssertionError(f"{path.name} is more than one line")
    entries = []
    for item in body.decode("gbk").split(","):
        code, sep, name = item.partition("|")
        if not sep or len(code) != 6 or not code.isdigit() or not name or "|" in name:
            raise AssertionError(f"{path.name}: bad entry {item!r}")
        entries.append((code, name))
    return entries


class DataFilesTest(unittest.TestCase):

    def test_files_are_well_formed(self):
        for name, counts in (("city.txt", {"province": 34, "city": 369, "district": 3479}),
                             ("sample-city.txt", {"province": 2, "city": 3, "district": 7})):
            with self.subTest(file=name):
                entries = read_entries(DATA / name)
                self.assertEqual(Counter(level(code) for code, _ in entries), counts)
                codes = [c for c, _ in entries]
                self.assertEqual(codes, sorted(set(codes)), "codes not strictly ascending")
                present = set(codes)
                for code in codes:
                    parent = {"city": code[:2] + "0000", "district": code[:4] + "00"}.get(level(code))
                    if parent is not None:
                        self.assertIn(parent, present, code)

    def test_city_txt_holds_known_places(self):
        entries = dict(read_entries(DATA / "city.txt"))
        for code, name in (("110000", "北京市"), ("110101", "东城区"), ("320100", "南京市"),
                           ("440300", "深圳市"), ("650000", "新疆维吾尔自治区"),
                           ("820000", "澳门特别行政区")):
            self.assertEqual(entries.get(code), name, code)

    def test_licence_of_the_data_is_kept(self):
        text = (DATA / "LICENSE.area-data").read_text(encoding="utf-8")
        self.assertIn("MIT License", text)
        self.assertIn("Permission is hereby granted", text)


class GenerateCityTest(unittest.TestCase):

    AREA = {
        "province_list": {"320000": "江苏省", "110000": "北京市"},
        "city_list": {"320100": "南京市", "110100": "北京市"},
        "county_list": {"320102": "玄武区", "110101": "东城区"},
    }

    def area(self, **changes):
        area = {k: dict(v) for k, v in self.AREA.items()}
        for list_name, items in changes.items():
            area[list_name].update(items)
        return area

    def test_levels_by_code(self):
        for code, expected in (("110000", "province"), ("110100", "city"), ("110101", "district"),
                               ("320110", "district"), ("330000", "province"), ("659000", "city")):
            with self.subTest(code=code):
                self.assertEqual(generate_city.level_of(code), expected)

    def test_line_in_code_order(self):
        line = generate_city.encode_line(generate_city.build_entries(self.area()))
        self.assertEqual(line, "110000|北京市,110100|北京市,110101|东城区,320000|江苏省,"
                               "320100|南京市,320102|玄武区,\r\n".encode("gbk"))

    def test_entries_that_do_not_fit_are_named(self):
        cases = (
            ("province with a city code", {"province_list": {"130100": "石家庄"}}, "130100"),
            ("city with a district code", {"city_list": {"320105": "建邺区"}}, "320105"),
            ("district with a city code", {"county_list": {"320200": "无锡市"}}, "320200"),
            ("code of five digits", {"county_list": {"32010": "某区"}}, "32010"),
            ("separator in a name", {"county_list": {"320104": "秦淮,区"}}, "320104"),
            ("city without province", {"city_list": {"340100": "合肥市"}}, "340100"),
            ("district without city", {"county_list": {"320205": "锡山区"}}, "320205"),
            # Refused when written, not replaced by "?".
            ("name outside code page 936", {"county_list": {"320104": "秦淮\U0001F600区"}}, "320104"),
        )
        for label, change, code in cases:
            with self.subTest(label):
                with self.assertRaises(generate_city.DataError) as caught:
                    generate_city.encode_line(generate_city.build_entries(self.area(**change)))
                self.assertIn(code, str(caught.exception))
