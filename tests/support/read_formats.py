"""What readers find in the .xlsx and JSON files of the exporter, for its tests.

read_formats.py json FILE    a JSON array of objects, read with json
read_formats.py jsonl FILE   JSON Lines: one object per line, read with json
read_formats.py xlsx FILE    the first sheet of a workbook, read with openpyxl

Each prints the names of the first object's members (json, jsonl) and then
one line per object or row, in the form of read_xls.py: cells joined by
tabs, backslash, tab, CR and LF written as \\\\, \\t, \\r and \\n, empty
cells at the end of a row and empty rows at the end left out. xlsx first
prints "sheet NAME frozen CELL filter RANGE" and the bold state of the first
row. Anything a reader would trip over is printed as a line "log: ...":
objects whose members differ from the first object's, a member name given
twice, a cell that is not text.
"""

import json
import re
import sys

from read_xls import escape, print_rows


def members(pairs, where):
    names = [name for name, _ in pairs]
    if len(set(names)) != len(names):
        print("log: %s names a member twice" % where)
    return pairs


def print_objects(objects):
    if not objects:
        print("(no objects)")
        return
    names = [name for name, _ in objects[0]]
    print("\t".join(escape(name) for name in names))
    for number, pairs in enumerate(objects):
        if [name for name, _ in pairs] != names:
            print("log: object %d has other members" % number)
        for _, value in pairs:
            if not isinstance(value, str):
                print("log: object %d holds a %s" % (number, type(value).__name__))
    print_rows([value for _, value in pairs] for pairs in objects)


def read_json(path):
    with open(path, encoding="utf-8") as stream:
        data = json.load(stream, object_pairs_hook=lambda pairs: members(pairs, "an object"))
    if not isinstance(data, list):
        print("log: not an array")
        return
    print_objects(data)


def read_jsonl(path):
    with open(path, encoding="utf-8", newline="") as stream:
        text = stream.read()
    if text and not text.endswith("\n"):
        print("log: the last line has no line feed")
    lines = text.split("\n")[:-1] if text else []
    objects = [json.loads(line, object_pairs_hook=lambda pairs: members(pairs, "a line"))
               for line in lines]
    print_objects(objects)


# openpyxl leaves the format's escapes (_xHHHH_) in inline strings as they
# are; Excel and LibreOffice read them as the characters they stand for.
ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def unescape(text):
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def read_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    bold = all(cell.font.b for cell in sheet[1] if cell.value is not None)
    print("sheet %s frozen %s filter %s%s" % (sheet.title, sheet.freeze_panes,
                                               sheet.auto_filter.ref, " bold" if bold else ""))
    rows = []
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None and cell.data_type != "s":
                print("log: %s is of type %s" % (cell.coordinate, cell.data_type))
        rows.append(["" if cell.value is None else unescape(str(cell.value)) for cell in row])
    print_rows(rows)


if __name__ == "__main__":
    command, path = sys.argv[1], sys.argv[2]
    {"json": read_json, "jsonl": read_jsonl, "xlsx": read_xlsx}[command](path)
