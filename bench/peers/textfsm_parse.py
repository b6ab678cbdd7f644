#!/usr/bin/env python3
"""Parses a data file with a TextFSM template and writes tab text.

usage: textfsm_parse.py TEMPLATE DATA OUTPUT
"""
import sys

import textfsm


def main():
    template_path, data_path, out_path = sys.argv[1:4]
    with open(template_path) as template:
        fsm = textfsm.TextFSM(template)
    with open(data_path, newline="") as data:
        text = data.read().replace("\r\n", "\n")
    rows = fsm.ParseText(text)
    with open(out_path, "w") as out:
        for row in rows:
            out.write("\t".join(row) + "\n")


if __name__ == "__main__":
    main()
