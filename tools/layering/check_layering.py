#!/usr/bin/env python3
"""Checks the include and SQL rules between the layers of src/.

  1. A folder of src/ includes only headers of its own layer's folders and of the layers that
     layer links, as src/CMakeLists.txt declares them in its orvane_layer() calls (so a window
     folder includes another window folder only when its library names that one in DEPS).
  2. src/platform, src/db and src/data include no Qt Widgets header (nor Qt Print Support, which
     is built on it) and no header of src/widgets; and their layers do not link Qt6::Widgets or
     orvane_widgets.
  3. SQL statements appear in string literals only in src/db and src/data.
  4. A window folder (patients, clinical, appointments ...) neither links nor includes a sibling
     window folder: what two of them share belongs in src/widgets or src/data, and one opens
     another's window through the main window's open-window service.

Known violations (tools/layering/known-violations.txt) are tolerated while they exist; one that
no longer occurs fails the check too, so that the list only ever shrinks.

Usage: check_layering.py SOURCE_DIR [--qt-headers DIR ...] [--known FILE]
Exit status 0 when clean, 1 with one line per violation otherwise.
"""

import argparse
import os
import re
import sys

NO_WIDGETS = ("platform", "db", "data")
WINDOW_FOLDERS = ("patients", "clinical", "appointments", "finance", "supplies", "prescriptions", "images",
                  "reminders", "lists", "audit")
SQL_ALLOWED = ("db", "data")
WIDGET_LIBRARIES = ("Qt6::Widgets", "Qt6::PrintSupport", "orvane_widgets")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp")

# Qt Widgets classes for when the installed headers are not given.
FALLBACK_WIDGET_HEADERS = {
    "QAbstractButton", "QApplication", "QBoxLayout", "QCheckBox", "QComboBox",
    "QDialog", "QFileDialog", "QFrame", "QGridLayout", "QGroupBox", "QHBoxLayout", "QLabel",
    "QLayout", "QLineEdit", "QListWidget", "QMainWindow", "QMdiArea", "QMdiSubWindow", "QMenu",
    "QMenuBar", "QMessageBox", "QPushButton", "QScrollArea", "QSpinBox", "QStyle",
    "QTabWidget", "QTableView", "QTableWidget", "QTextEdit", "QToolBar", "QToolButton",
    "QTreeView", "QVBoxLayout", "QWidget", "QPrintDialog", "QPrintPreviewDialog",
}

SQL_PATTERNS = [
    re.compile(r"\bSELECT\b.*\bFROM\b", re.S),
    re.compile(r"\bINSERT\s+INTO\b"),
    re.compile(r"\bUPDATE\s+\w+\s+SET\b"),
    re.compile(r"\bDELETE\s+FROM\b"),
    re.compile(r"\b(CREATE|DROP|ALTER)\s+(TABLE|VIEW|INDEX|UNIQUE\s+INDEX)\b"),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def strip_cmake_comments(text):
    return "\n".join(re.sub(r"#.*$", "", line) for line in text.splitlines())


def read_layers(source_dir):
    """The orvane_layer() calls: {target: (dirs, deps)}."""
    path = os.path.join(source_dir, "src", "CMakeLists.txt")
    with open(path, encoding="utf-8") as f:
        text = strip_cmake_comments(f.read())
    layers = {}
    for match in re.finditer(r"\borvane_layer\s*\(([^)]*)\)", text):
        words = match.group(1).split()
        name, section = words[0], None
        dirs, deps = [], []
        for word in words[1:]:
            if word in ("DIRS", "DEPS"):
                section = word
            elif section == "DIRS":
                dirs.append(word)
            elif section == "DEPS":
                deps.append(word)
        layers[name] = (dirs, deps)
    return layers


def linked(layers, target):
    """Every target `target` links, itself included (static libraries link PUBLIC)."""
    seen, todo = set(), [target]
    while todo:
        current = todo.pop()
        if current in seen:
            continue
        seen.add(current)
        todo.extend(layers.get(current, ((), ()))[1])
    return seen


def folder_layers(layers):
    return {d: name for name, (dirs, _) in layers.items() for d in dirs}


def source_files(root):
    for directory, _, files in os.walk(root):
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


RAW_STRING = re.compile(r'(?:u8|u|U|L)?R"([^(\s]{0,16})\(')


def raw_start(text, i):
    return RAW_STRING.match(text, i) is not None and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_"))


def string_groups(text):
    """String literals of C++ source, the literals of one statement joined: (line, text)."""
    groups, current, line, first_line = [], [], 1, None
    i, n = 0, len(text)

    def close():
        nonlocal current, first_line
        if current:
            groups.append((first_line, " ".join(current)))
        current, first_line = [], None

    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif raw_start(text, i):
            match = RAW_STRING.match(text, i)
            delimiter = ")" + match.group(1) + '"'
            end = text.find(delimiter, match.end())
            end = n if end < 0 else end
            if first_line is None:
                first_line = line
            current.append(text[match.end():end])
            line += text.count("\n", i, end)
            i = end + len(delimiter)
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"' and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if first_line is None:
                first_line = line
            current.append(text[i + 1:j])
            i = j + 1
        elif c == "'":
            j = i + 1
            while j < n and text[j] != "'" and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif c in ";{}":
            close()
            i += 1
        else:
            i += 1
    close()
    return groups


def is_sql(text):
    return any(p.search(text) for p in SQL_PATTERNS)


def widget_headers(qt_dirs):
    if not qt_dirs:
        return FALLBACK_WIDGET_HEADERS
    names = set()
    for directory in qt_dirs:
        if os.path.isdir(directory):
            names.update(n for n in os.listdir(directory) if re.match(r"Q[A-Z]", n))
    return names


def check(source_dir, qt_dirs):
    """Every violation as (relative path, offending line's text, message)."""
    layers = read_layers(source_dir)
    owner = folder_layers(layers)
    widgets = widget_headers(qt_dirs)
    src = os.path.join(source_dir, "src")
    found = []

    for name in sorted(layers):
        if any(d in NO_WIDGETS for d in layers[name][0]):
            for dep in layers[name][1]:
                if linked(layers, dep) & set(WIDGET_LIBRARIES):
                    found.append(("src/CMakeLists.txt", f"{name} -> {dep}",
                                  f"{name} links {dep}, which brings Qt Widgets"))

    window_layers = {name for name, (dirs, _) in layers.items() if dirs and all(d in WINDOW_FOLDERS for d in dirs)}
    for name in sorted(window_layers):
        for dep in layers[name][1]:
            if dep in window_layers:
                found.append(("src/CMakeLists.txt", f"{name} -> {dep}", f"the window folder {name} links the window folder {dep}"))

    on_disk = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
    folders = set(on_disk) | set(owner)
    for folder in on_disk:
        if folder not in owner:
            found.append((f"src/{folder}", f"src/{folder}", "is in no orvane_layer() of src/CMakeLists.txt"))
            continue
        allowed = {d for target in linked(layers, owner[folder]) for d in layers.get(target, ((), ()))[0]}
        for path in source_files(os.path.join(src, folder)):
            relative = os.path.relpath(path, source_dir).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for line in text.splitlines():
                match = INCLUDE.match(line)
                if not match:
                    continue
                quote, header = match.groups()
                top = header.split("/")[0]
                if quote == '"' and folder in WINDOW_FOLDERS and top in WINDOW_FOLDERS and top != folder:
                    found.append((relative, line.strip(), f'includes "{header}" of the sibling window folder {top}'))
                elif quote == '"' and "/" in header and top in folders and top not in allowed:
                    found.append((relative, line.strip(),
                                  f'includes "{header}" but {owner[folder]} does not link {owner.get(top, top)}'
                                  " (declare it in src/CMakeLists.txt)"))
                if folder in NO_WIDGETS:
                    base = header.split("/")[-1]
                    if quote == "<" and (top in ("QtWidgets", "QtPrintSupport") or base in widgets):
                        found.append((relative, line.strip(), f"includes the Qt Widgets header <{header}>"))
                    elif quote == '"' and top == "widgets":
                        found.append((relative, line.strip(), f'includes the widgets header "{header}"'))
            if folder not in SQL_ALLOWED:
                lines = text.splitlines()
                for number, literal in string_groups(text):
                    if is_sql(literal):
                        found.append((relative, lines[number - 1].strip(),
                                      "has SQL text; SQL belongs in src/db or src/data"))
    return found


def read_known(path):
    known = []
    if path and os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line.strip() or line.lstrip().startswith("#"):
                    continue
                where, _, text = line.partition(": ")
                known.append((where.strip(), text.strip()))
    return known


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source_dir")
    parser.add_argument("--qt-headers", action="append", default=[],
                        help="a directory of Qt Widgets headers (repeatable)")
    parser.add_argument("--known", help="the known violations (default tools/layering/known-violations.txt)")
    args = parser.parse_args(argv)
    known_path = args.known or os.path.join(args.source_dir, "tools", "layering", "known-violations.txt")

    found = check(args.source_dir, args.qt_headers)
    known = read_known(known_path)
    failures = []
    for path, text, message in found:
        if (path, text) not in known:
            failures.append(f"{path}: {message}: {text}")
    present = {(path, text) for path, text, _ in found}
    for path, text in known:
        if (path, text) not in present:
            failures.append(f"{os.path.relpath(known_path, args.source_dir)}: no longer occurs, remove it: {path}: {text}")
    for failure in failures:
        print(failure)
    tolerated = len(present & set(known))
    print(f"{len(failures)} layering violation(s), {tolerated} known one(s) tolerated")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
