#!/usr/bin/env python3
"""Writes a large export of site logins and the template that reads it.

usage: make_logins.py DATA_FILE TEMPLATE_FILE [RECORDS]

Each record is four CR LF lines: three fields (URL, User, Password) and a
literal separator line; one million records make about 123 MB.
"""
import random
import sys


def main():
    data_path, template_path = sys.argv[1], sys.argv[2]
    records = int(sys.argv[3]) if len(sys.argv) > 3 else 1_000_000
    rng = random.Random(20261209)
    words = ["portal", "mail", "crm", "intranet", "shop", "files", "git", "billing",
             "support", "wiki", "payroll", "tickets", "reports", "vault", "admin"]
    domains = ["northwind-traders.com", "contoso.local", "fabrikam.example.org",
               "litware-inc.net", "adventure-works.com", "tailspintoys.dev"]
    alphabet = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789-_."
    with open(template_path, "wb") as t:
        t.write(b"URL: <$$URL$$>\r\nUser: <$$User$$>\r\nPassword: <$$Password$$>\r\n-----\r\n")
    chunk = []
    with open(data_path, "wb") as out:
        for i in range(records):
            host = rng.choice(words)
            domain = rng.choice(domains)
            path = rng.choice(words)
            user = "%s.%s%05d" % (rng.choice(words), rng.choice(words), i % 100000)
            password = "".join(rng.choice(alphabet) for _ in range(10))
            chunk.append("URL: https://%s.%s/%s/login\r\n"
                         "User: %s@%s\r\n"
                         "Password: %s\r\n"
                         "-----\r\n" % (host, domain, path, user, domain, password))
            if len(chunk) == 10000:
                out.write("".join(chunk).encode("ascii"))
                chunk = []
        out.write("".join(chunk).encode("ascii"))


if __name__ == "__main__":
    main()
