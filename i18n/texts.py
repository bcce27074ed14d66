#!/usr/bin/env python3
"""The program's Japanese texts and their English translations in i18n/huedrane_en.ts.

    texts.py update   adds every Japanese string literal of the program's sources to the .ts (new
                      ones unfinished, with the files that use them as a comment), keeps the
                      translations made, drops the texts no source uses any more
    texts.py check    fails, listing them, when a Japanese text has no finished translation or a
                      translation lost a placeholder (%1, %d, {}), a mnemonic (&X), a shortcut
                      (after a tab) or the "..." of a command that opens a dialog

A text is any string literal (adjacent literals joined) holding kana or kanji, outside comments, in
the program's folders; the library's multilingual texts ("en:...\\tja:...") carry their own English."""
import os
import re
import sys
import xml.etree.ElementTree as ElementTree
from xml.sax.saxutils import escape

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TS = os.path.join(ROOT, "i18n", "huedrane_en.ts")
FOLDERS = ("app", "foundation", "raster", "paint", "document", "convert", "cut", "cli", "plugins")
CONTEXT = "huedrane"
JAPANESE = re.compile("[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]")
# Texts shown as they are in both languages: a language's own name.
UNTRANSLATED = {"日本語"}
SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", '"': '"', "'": "'", "?": "?",
                  "a": "\a", "b": "\b", "f": "\f", "v": "\v"}


def literals(text):
    """The string literals of C++ source text, adjacent ones joined, outside comments and
    character literals: (line, value) pairs."""
    found, i, n, line = [], 0, len(text), 1
    pending = None  # (line, parts) of a literal that may continue
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == "'":
            i += 1
            while i < n and text[i] != "'":
                i += 2 if text[i] == "\\" else 1
            i += 1
        elif c == '"':
            start_line, value, i = line, [], i + 1
            while i < n and text[i] != '"':
                if text[i] == "\\" and i + 1 < n:
                    e = text[i + 1]
                    if e == "x":
                        digits = re.match(r"[0-9a-fA-F]+", text[i + 2:]).group(0)
                        value.append(chr(int(digits, 16)))
                        i += 2 + len(digits)
                        continue
                    if e in "01234567":
                        digits = re.match(r"[0-7]{1,3}", text[i + 1:]).group(0)
                        value.append(chr(int(digits, 8)))
                        i += 1 + len(digits)
                        continue
                    value.append(SIMPLE_ESCAPES.get(e, e))
                    i += 2
                    continue
                value.append(text[i])
                i += 1
            i += 1
            joined = "".join(value)
            if pending is not None:
                pending = (pending[0], pending[1] + joined)
            else:
                pending = (start_line, joined)
            # A literal continues when only blanks and comments stand before the next quote.
            j = i
            while j < n:
                if text[j] in " \t\r\n":
                    j += 1
                elif text.startswith("//", j):
                    j = text.find("\n", j)
                    j = n if j < 0 else j
                elif text.startswith("/*", j):
                    j = text.find("*/", j + 2) + 2
                else:
                    break
            if j < n and text[j] == '"':
                line += text.count("\n", i, j)
                i = j
                continue
            found.append(pending)
            pending = None
        else:
            i += 1
    return found


def source_texts():
    """Every Japanese text of the program: value -> sorted list of the files using it."""
    texts = {}
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                if not name.endswith((".cpp", ".h", ".in")):
                    continue
                path = os.path.join(base, name)
                with open(path, encoding="utf-8") as f:
                    content = f.read()
                for _, value in literals(content):
                    if JAPANESE.search(value) and "\tja:" not in value and not value.startswith("ja:") \
                            and value not in UNTRANSLATED:
                        texts.setdefault(value, set()).add(os.path.relpath(path, ROOT))
    return {value: sorted(files) for value, files in texts.items()}


def read_ts():
    """source -> (translation or None when unfinished)."""
    if not os.path.exists(TS):
        return {}
    result = {}
    for message in ElementTree.parse(TS).getroot().iter("message"):
        translation = message.find("translation")
        done = translation is not None and translation.get("type") is None and translation.text
        result[message.findtext("source", "")] = translation.text if done else None
    return result


def write_ts(texts, translations):
    out = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>",
           '<TS version="2.1" language="en_US" sourcelanguage="ja_JP">', "<context>",
           f"    <name>{CONTEXT}</name>"]
    for source in sorted(texts):
        english = translations.get(source)
        out.append("    <message>")
        out.append(f"        <source>{escape(source)}</source>")
        out.append(f"        <comment>{escape(', '.join(texts[source]))}</comment>")
        if english:
            out.append(f"        <translation>{escape(english)}</translation>")
        else:
            out.append('        <translation type="unfinished"></translation>')
        out.append("    </message>")
    out += ["</context>", "</TS>", ""]
    with open(TS, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


PLACEHOLDER = re.compile(r"%[1-9]|%l{0,2}[dsuzxX]|%zu|\{\}")


def problems(source, english):
    """What a translation lost of the source's working parts."""
    found = []
    if sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(english)):
        found.append("placeholders differ")
    if re.search(r"&[^&\s]", source) and not re.search(r"&[^&\s]", english):
        found.append("mnemonic (&X) lost")
    if ("\t" in source) != ("\t" in english) or source.split("\t")[1:] != english.split("\t")[1:]:
        found.append("shortcut after the tab differs")
    if source.rstrip().endswith(("...", "…")) != english.rstrip().endswith(("...", "…")):
        found.append('"..." differs')
    if JAPANESE.search(english):
        found.append("Japanese left in the English text")
    return found


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else "check"
    texts = source_texts()
    translations = read_ts()
    if command == "update":
        write_ts(texts, translations)
        missing = sum(1 for t in texts if not translations.get(t))
        print(f"{TS}: {len(texts)} texts, {missing} without a translation")
        return 0
    failures = []
    for source in sorted(texts):
        english = translations.get(source)
        where = ", ".join(texts[source])
        if not english:
            failures.append(f"no English for {source!r} ({where})")
            continue
        failures += [f"{source!r} -> {english!r}: {p} ({where})" for p in problems(source, english)]
    for line in failures:
        print(line)
    print(f"{len(texts)} texts, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
