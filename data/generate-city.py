#!/usr/bin/env python3
"""Regenerates data/city.txt from the npm package @vant/area-data.

The package is installed with the machine's npm (its configured registry) into
a temporary directory and read with the machine's node. Usage:

    python3 data/generate-city.py [--output FILE]

city.txt is one line in code page 936: "CODE|NAME," for every province, city
and district in ascending code order, then "\\r\\n". The program splits it on
"," and "|", and tells the three levels apart by the code alone:
XX0000 is a province, XXYY00 a city, anything else a district.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

PACKAGE = "@vant/area-data"
VERSION = "2.1.0"

# What version 2.1.0 holds; a different count means the data changed and the
# program's lists would change with it, so that is looked at before it is
# committed.
EXPECTED = {"province_list": 34, "city_list": 369, "county_list": 3479}

LEVEL_OF_LIST = {"province_list": "province", "city_list": "city", "county_list": "district"}


class DataError(Exception):
    pass


def level_of(code):
    """The level a six-digit code stands for, as the program reads it."""
    if code.endswith("0000"):
        return "province"
    if code.endswith("00"):
        return "city"
    return "district"


def install_package(tmp):
    """Installs the package into tmp and returns the path of its folder."""
    npm = shutil.which("npm")
    if npm is None:
        raise DataError("npm is not installed (Debian package npm)")
    subprocess.run(
        [npm, "install", "--prefix", tmp, "--no-save", "--no-audit", "--no-fund",
         f"{PACKAGE}@{VERSION}"],
        check=True, stdout=sys.stderr)
    folder = os.path.join(tmp, "node_modules", *PACKAGE.split("/"))
    with open(os.path.join(folder, "package.json"), encoding="utf-8") as f:
        meta = json.load(f)
    if meta.get("version") != VERSION:
        raise DataError(f"npm installed {PACKAGE} {meta.get('version')}, not {VERSION}")
    return folder


def read_area_list(folder):
    """The package's areaList (province_list, city_list, county_list), via node."""
    node = shutil.which("node") or shutil.which("nodejs")
    if node is None:
        raise DataError("node is not installed (Debian package nodejs)")
    script = ("const a = require(process.argv[1]).areaList;"
              "process.stdout.write(JSON.stringify(a));")
    out = subprocess.run([node, "-e", script, folder], check=True,
                         stdout=subprocess.PIPE).stdout
    return json.loads(out.decode("utf-8"))


def build_entries(area):
    """Checks the three lists and returns [(code, name)] in ascending code order.

    Raises DataError naming every entry that does not fit."""
    problems = []
    entries = {}
    for list_name, level in LEVEL_OF_LIST.items():
        items = area.get(list_name)
        if not isinstance(items, dict):
            raise DataError(f"the package has no {list_name}")
        for code, name in items.items():
            if not re.fullmatch(r"[1-9][0-9]{5}", code):
                problems.append(f"{list_name}: code {code!r} ({name}) is not six digits")
                continue
            if level_of(code) != level:
                problems.append(f"{list_name}: code {code} ({name}) reads as a {level_of(code)}")
            if not isinstance(name, str) or not name or any(c in name for c in ",|\r\n"):
                problems.append(f"{list_name}: {code} has an unusable name {name!r}")
            if code in entries:
                problems.append(f"{list_name}: code {code} appears twice")
            entries[code] = name
    if problems:
        raise DataError("entries that do not fit:\n  " + "\n  ".join(problems))

    # A city without its province, or a district without its city, would end
    # up under the wrong parent in the program's lists.
    orphans = []
    for code in entries:
        lvl = level_of(code)
        parent = code[:2] + "0000" if lvl == "city" else code[:4] + "00" if lvl == "district" else None
        if parent is not None and parent not in entries:
            orphans.append(f"{code} {entries[code]} (no {parent})")
    if orphans:
        raise DataError("entries without a parent:\n  " + "\n  ".join(orphans))
    return sorted(entries.items())


def encode_line(entries):
    """The file's bytes: one GBK line, every entry followed by ",", CRLF."""
    parts = []
    for code, name in entries:
        try:
            parts.append(f"{code}|{name},".encode("gbk"))
        except UnicodeEncodeError as e:
            raise DataError(f"entry {code} {name!r} cannot be written in code page 936: "
                            f"{name[e.start:e.end]!r}") from None
    return b"".join(parts) + b"\r\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(here, "city.txt"))
    args = parser.parse_args()

    tmp = tempfile.mkdtemp(prefix="area-data-")
    try:
        folder = install_package(tmp)
        area = read_area_list(folder)
        counts = {k: len(area.get(k) or {}) for k in EXPECTED}
        print("package {} {}: {} provinces, {} cities, {} districts".format(
            PACKAGE, VERSION, counts["province_list"], counts["city_list"],
            counts["county_list"]))
        entries = build_entries(area)
        found = {k: sum(1 for c, _ in entries if level_of(c) == LEVEL_OF_LIST[k]) for k in EXPECTED}
        print("by code: {} provinces, {} cities, {} districts".format(
            found["province_list"], found["city_list"], found["county_list"]))
        if counts != EXPECTED or found != EXPECTED:
            raise DataError(f"expected {EXPECTED}, the package has {counts}, the codes give {found}")
        data = encode_line(entries)
        licence = os.path.join(folder, "LICENSE")
        if os.path.exists(licence):
            shutil.copyfile(licence, os.path.join(here, "LICENSE.area-data"))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)

    with open(args.output, "wb") as f:
        f.write(data)
    print(f"wrote {len(entries)} entries, {len(data)} bytes to {args.output}")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (DataError, subprocess.CalledProcessError) as e:
        print(f"generate-city: {e}", file=sys.stderr)
        sys.exit(1)
