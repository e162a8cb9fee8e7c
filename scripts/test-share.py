#!/usr/bin/env python3
"""Counts non-blank, non-comment C++ lines of the product code and of the tests and fuzzers, and
prints the tests' share: the project keeps tests at roughly a quarter to a third of the code.

    scripts/test-share.py [--by-folder]
"""

import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PRODUCT = ["dial", "items", "overlay", "package", "runtime", "include", "bindings", "tools",
           "examples"]


def code_lines(path):
    count, in_comment = 0, False
    for line in path.read_text(errors="replace").splitlines():
        text = line.strip()
        if in_comment:
            in_comment = "*/" not in text
        elif text.startswith("/*"):
            in_comment = "*/" not in text
        elif text and not text.startswith("//"):
            count += 1
    return count


def count(folders):
    per_file = {}
    for folder in folders:
        for path in (ROOT / folder).rglob("*"):
            if path.suffix in (".cpp", ".h") and path.is_file():
                per_file[path.relative_to(ROOT)] = code_lines(path)
    return per_file


def main():
    product = sum(count(PRODUCT).values())
    tests = count(["tests"])
    fuzz = sum(count(["fuzz"]).values())
    share = (sum(tests.values()) + fuzz) / product
    print(f"product {product}, tests {sum(tests.values())}, fuzz {fuzz}: "
          f"tests and fuzz are {share:.1%} of the product code")
    if "--by-folder" in sys.argv:
        folders = {}
        for path, lines in tests.items():
            key = path.parts[1] if len(path.parts) > 2 else path.name
            folders[key] = folders.get(key, 0) + lines
        for folder, lines in sorted(folders.items(), key=lambda item: -item[1]):
            print(f"{lines:7} tests/{folder}")


if __name__ == "__main__":
    main()
