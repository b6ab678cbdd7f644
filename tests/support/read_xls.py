"""What readers find in the files of the .xls writer, for its tests.

read_xls.py cells FILE...        every sheet of each workbook, read with xlrd
read_xls.py csv FILE...          each CSV file (UTF-8, as LibreOffice writes it)
read_xls.py stream FILE NAME REF whether the stream NAME of the compound
                                 document FILE holds the bytes of file REF

cells and csv print "file NAME" per file, "sheet NAME" per sheet (xlrd only)
and one line per row, cells joined by tabs, with backslash, tab, CR and LF in
a cell written as \\, \t, \r and \n; empty cells at the end of a row and
empty rows at the end are left out. Whatever a reader logs is printed as a
line "log: ...".
"""

import csv
import io
import sys

import xlrd
import xlrd.compdoc


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\r", "\\r")
            .replace("\n", "\\n"))


def print_rows(rows):
    rows = [list(row) for row in rows]
    for row in rows:
        while row and row[-1] == "":
            row.pop()
    while rows and not rows[-1]:
        rows.pop()
    for row in rows:
        print("\t".join(escape(cell) for cell in row))


def print_log(log):
    for line in log.getvalue().splitlines():
        if line.strip():
            print("log: " + line)


def cells(paths):
    for path in paths:
        print("file " + path)
        log = io.StringIO()
        book = xlrd.open_workbook(path, logfile=log)
        for sheet in book.sheets():
            print("sheet " + sheet.name)
            for row in range(sheet.nrows):
                for col in range(sheet.ncols):
                    kind = sheet.cell_type(row, col)
                    if kind not in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY):
                        print("log: cell (%d, %d) is of type %d" % (row, col, kind))
            print_rows([str(value) for value in sheet.row_values(row)]
                       for row in range(sheet.nrows))
        print_log(log)


def csv_files(paths):
    for path in paths:
        print("file " + path)
        with open(path, encoding="utf-8", newline="") as stream:
            print_rows(csv.reader(stream))


def stream(path, name, ref):
    log = io.StringIO()
    with open(path, "rb") as f:
        doc = xlrd.compdoc.CompDoc(f.read(), logfile=log)
    data = doc.get_named_stream(name)
    with open(ref, "rb") as f:
        expected = f.read()
    if data is None:
        print("no stream " + name)
    elif bytes(data) == expected:
        print("same")
    else:
        print("differs: %d bytes, expected %d" % (len(data), len(expected)))
    print_log(log)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "cells":
        cells(args)
    elif command == "csv":
        csv_files(args)
    elif command == "stream":
        stream(*args)
    else:
        sys.exit("unknown command " + command)
