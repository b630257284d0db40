#!/usr/bin/env python3
"""Writes resources/translations/Velquor_<code>.ts from tools/translations/strings/<code>.json.

strings/en.json is the master list: its keys are the ids every other language must carry, and its
texts are the English sources. notes.json holds one translator note per key (written as
<extracomment>, which lrelease does not use for lookups). Output is deterministic: keys in the
order of en.json, LF line ends, no timestamps, so a regenerated file only differs when a text did.

The files are id-based: compile them with `lrelease -idbased`; a text is then found with an
empty context and the id as source text (QTranslator::translate("", id), or qtTrId(id)).

Usage:
  generate_ts.py           validate every language, then write the .ts files
  generate_ts.py --check   validate, and fail when a .ts file is missing or out of date
"""

import argparse
import json
import re
import sys
from pathlib import Path
from xml.sax.saxutils import escape

HERE = Path(__file__).resolve().parent
STRINGS = HERE / "strings"
NOTES = HERE / "notes.json"
OUTPUT = HERE.parent.parent / "resources" / "translations"

# The supported interface languages, in the order the language choice walks them.
LANGUAGES = ["en", "pt", "hu", "zh-HK", "ru", "ja", "pl", "it", "zh-Hans",
             "ko", "es", "de", "fr", "nl", "sv", "th", "sk", "he", "fi"]

# Qt locale names for the TS "language" attribute (plural rules, QTranslator::language()).
QT_LOCALE = {"zh-HK": "zh_HK", "zh-Hans": "zh_CN"}

# printf/NSString-style conversions (%@, %d, %ld, %.0f, %1$@ ...) and Qt's %1..%99.
PLACEHOLDER = re.compile(
    r"%(?:\d+\$)?[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|q|L|z|t|j)?[@dDiuUxXoOfFeEgGcCsSpaA%]"
    r"|%\d{1,2}")


class Invalid(Exception):
    pass


def load_json(path):
    try:
        with path.open(encoding="utf-8") as handle:
            data = json.load(handle)
    except FileNotFoundError:
        raise Invalid(f"{path.name}: missing")
    except json.JSONDecodeError as error:
        raise Invalid(f"{path.name}: not valid JSON ({error})")
    if not isinstance(data, dict) or not all(isinstance(v, str) for v in data.values()):
        raise Invalid(f"{path.name}: must be one object mapping keys to texts")
    return data


def placeholders(text):
    return sorted(PLACEHOLDER.findall(text))


def validate(code, texts, master):
    problems = []
    missing = [k for k in master if k not in texts]
    extra = [k for k in texts if k not in master]
    if missing:
        problems.append(f"{code}: missing keys {missing}")
    if extra:
        problems.append(f"{code}: keys not in en.json {extra}")
    for key, text in texts.items():
        if key not in master:
            continue
        if not text.strip():
            problems.append(f"{code}: {key} is empty")
        elif text != text.strip():
            problems.append(f"{code}: {key} has leading or trailing white space")
        if placeholders(text) != placeholders(master[key]):
            problems.append(f"{code}: {key} placeholders {placeholders(text)} differ from English "
                            f"{placeholders(master[key])}")
        stray = PLACEHOLDER.sub("", text).count("%")
        if stray:
            problems.append(f"{code}: {key} holds a lone '%' (write '%%' if a percent sign is meant)")
    return problems


def render(code, texts, master, notes):
    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        "<!DOCTYPE TS>",
        f'<TS version="2.1" language="{QT_LOCALE.get(code, code)}" sourcelanguage="en">',
        "<context>",
        "    <name></name>",
    ]
    for key in master:
        lines.append(f'    <message id="{escape(key, {chr(34): "&quot;"})}">')
        lines.append(f"        <source>{escape(master[key])}</source>")
        if key in notes:
            lines.append(f"        <extracomment>{escape(notes[key])}</extracomment>")
        lines.append(f"        <translation>{escape(texts[key])}</translation>")
        lines.append("    </message>")
    lines += ["</context>", "</TS>", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="validate and compare with the files on disk; write nothing")
    args = parser.parse_args()

    try:
        master = load_json(STRINGS / "en.json")
        notes = load_json(NOTES)
        problems = [f"notes.json: key {k} not in en.json" for k in notes if k not in master]
        all_texts = {}
        for code in LANGUAGES:
            all_texts[code] = load_json(STRINGS / f"{code}.json")
            problems += validate(code, all_texts[code], master)
    except Invalid as error:
        print(error, file=sys.stderr)
        return 1
    known = {f"{code}.json" for code in LANGUAGES}
    problems += [f"{p.name}: no such language" for p in STRINGS.glob("*.json") if p.name not in known]
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1

    stale = []
    for code in LANGUAGES:
        path = OUTPUT / f"Velquor_{code}.ts"
        content = render(code, all_texts[code], master, notes)
        current = path.read_text(encoding="utf-8") if path.exists() else None
        if current == content:
            continue
        if args.check:
            stale.append(path.name)
        else:
            OUTPUT.mkdir(parents=True, exist_ok=True)
            path.write_text(content, encoding="utf-8", newline="\n")
    if stale:
        print("out of date (run generate_ts.py): " + ", ".join(stale), file=sys.stderr)
        return 1
    print(f"{len(LANGUAGES)} languages, {len(master)} keys each: "
          + ("up to date" if args.check else f"written to {OUTPUT}"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
