#!/usr/bin/env python3
"""Fails when a QtGui or QtWidgets header is included outside the few places
that may use the toolkit directly.

Usage: check_layers.py <source folder> <Qt module include folder>...

The forbidden names are every header in the given include folders (the
installed QtGui and QtWidgets), so a class added by a newer Qt is caught
too. An include counts in all its spellings: <QWidget>, <qwidget.h>,
<QtWidgets/QWidget>, <QtWidgets>.
"""

import fnmatch
import os
import re
import subprocess
import sys

# Everything else reaches the toolkit through platform/ui.
ALLOWED = [
    # The toolkit layer itself.
    "platform/ui/*",
    # The raster library's device side: pixels in a toolkit image, toolkit
    # pictures drawn through it.
    "raster/device_backend*",
    "raster/bitmap32_pictures.cpp",
    # Tests of those, and the raster tests that compare with toolkit images.
    "tests/platform/ui_*",
    "tests/raster/*",
    # The test and fuzzer mains that make the toolkit's application object,
    # and the UI test helpers.
    "tests/support/test_main_ui.cpp",
    "tests/support/ui_test_support.*",
    "tests/fuzz/*_fuzzer.cpp",
    "tests/fuzz/fuzz_headless_application.h",
    # Tests of controls that feed them the toolkit's own input events.
    "tests/profiledata/digit_edit*",
    "tests/profiledata/pal_maker*",
    "tests/radar/adv_track_bar_test.cpp",
    "tests/radar/online_*",
    "tests/tools/tvgc_form_test.cpp",
    # The benchmark that sets the toolkit's image scaling beside ours.
    "bench/bench_raster_resample.cpp",
]

SOURCE_SUFFIXES = (".h", ".hh", ".hpp", ".hxx", ".inl", ".c", ".cc", ".cpp", ".cxx")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def forbidden_names(include_folders):
    """Header names of the modules, and the modules' own names."""
    names = set()
    for folder in include_folders:
        folder = folder.rstrip("/")
        entries = os.listdir(folder)
        if not entries:
            raise SystemExit(f"check_layers: no headers in {folder}")
        names.update(entries)
        names.add(os.path.basename(folder))
    return names


def toolkit_header(include, names, modules):
    """The toolkit header an include names, or None."""
    head, _, tail = include.partition("/")
    if tail and head in modules:
        return include
    return include if include in names else None


def source_files(root):
    """Repository-relative paths of the sources: what git knows (tracked and
    new, not ignored), or every file outside build folders without git."""
    try:
        out = subprocess.run(
            ["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
            check=True, capture_output=True).stdout.decode()
        files = [f for f in out.split("\0") if f]
    except (OSError, subprocess.CalledProcessError):
        files = []
        for folder, dirs, entries in os.walk(root):
            dirs[:] = [d for d in dirs if not d.startswith(".")
                       and not os.path.exists(os.path.join(folder, d, "CMakeCache.txt"))]
            files += [os.path.relpath(os.path.join(folder, e), root) for e in entries]
    return sorted(f for f in files if f.endswith(SOURCE_SUFFIXES))


def allowed(path):
    return any(fnmatch.fnmatchcase(path, pattern) for pattern in ALLOWED)


def violations(root, include_folders):
    names = forbidden_names(include_folders)
    modules = {os.path.basename(f.rstrip("/")) for f in include_folders}
    found = []
    for path in source_files(root):
        if allowed(path):
            continue
        full = os.path.join(root, path)
        if not os.path.isfile(full):  # deleted in the work tree
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if m and toolkit_header(m.group(1), names, modules):
                    found.append(f"{path}:{number}: {m.group(1)}")
    return found


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    found = violations(argv[1], argv[2:])
    for v in found:
        print(f"{v}: toolkit header outside platform/ui (use the toolkit layer)")
    if found:
        print(f"{len(found)} toolkit include(s) outside the allowed places; "
              "the allowed places are listed in scripts/check_layers.py", file=sys.stderr)
        return 1
    print("No toolkit header outside the allowed places.")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
