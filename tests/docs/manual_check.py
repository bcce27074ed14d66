#!/usr/bin/env python3
"""The manual in both languages: each file parses with its tags balanced, its ids are unique and
every in-page link lands on one, and both hold the same sections (the same ids in the same order),
so Help's topics land in either. Exit status 1 with the problems listed.

    manual_check.py docs/index.html docs/ja/index.html"""
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}


class Manual(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.open, self.problems = [], [], [], []

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        if "id" in attributes:
            self.ids.append(attributes["id"])
        if tag == "a" and attributes.get("href", "").startswith("#"):
            self.links.append(attributes["href"][1:])
        if tag not in VOID:
            self.open.append(tag)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if not self.open or self.open[-1] != tag:
            self.problems.append(f"</{tag}> closes <{self.open[-1] if self.open else 'nothing'}> at line {self.getpos()[0]}")
            if tag in self.open:
                while self.open.pop() != tag:
                    pass
            return
        self.open.pop()


def read(path):
    manual = Manual()
    with open(path, encoding="utf-8") as f:
        manual.feed(f.read())
    manual.close()
    problems = [f"{path}: {p}" for p in manual.problems]
    problems += [f"{path}: <{t}> never closed" for t in manual.open]
    problems += [f"{path}: id {i!r} used twice" for i in set(manual.ids) if manual.ids.count(i) > 1]
    problems += [f"{path}: link to missing #{l}" for l in manual.links if l not in manual.ids]
    return manual.ids, problems


def main():
    english, problems = read(sys.argv[1])
    japanese, more = read(sys.argv[2])
    problems += more
    if english != japanese:
        problems.append(f"the sections differ: only English {sorted(set(english) - set(japanese))}, "
                        f"only Japanese {sorted(set(japanese) - set(english))}, or another order")
    if "context-1001" not in english:
        problems.append("the options dialog's Help topic (context-1001) is missing")
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
