#!/usr/bin/env python3
"""Makes templates of many fields and their data: one line of N fields
("wide") and N lines of one field each ("tall").

    make_wide_templates.py FOLDER N
"""
import os
import sys


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    shapes = {
        "wide": (" ".join("<$$f%d$$>" % i for i in range(count)),
                 " ".join("v%d" % i for i in range(count))),
        "tall": ("\n".join("L%d: <$$f%d$$>" % (i, i) for i in range(count)),
                 "\n".join("L%d: v%d" % (i, i) for i in range(count))),
    }
    for name, (template, data) in shapes.items():
        with open(os.path.join(folder, "%s-%d-template.txt" % (name, count)), "w") as out:
            out.write(template + "\n")
        with open(os.path.join(folder, "%s-%d-data.txt" % (name, count)), "w") as out:
            out.write(data + "\n")


if __name__ == "__main__":
    main()
