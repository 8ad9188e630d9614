#!/usr/bin/env python3
"""The layer check finds toolkit includes in every spelling outside the allowed
places, and only there."""

import importlib.util
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location(
    "check_layers", os.path.join(HERE, "..", "..", "scripts", "check_layers.py"))
check_layers = importlib.util.module_from_spec(spec)
spec.loader.exec_module(check_layers)


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w") as f:
        f.write(text)


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = os.path.join(self.tmp.name, "src")
        qt = os.path.join(self.tmp.name, "qt")
        self.modules = [os.path.join(qt, "QtGui"), os.path.join(qt, "QtWidgets")]
        for folder, headers in zip(self.modules, (["QImage", "qimage.h", "QColor"],
                                                  ["QWidget", "qwidget.h", "QApplication"])):
            os.makedirs(folder)
            for h in headers:
                write(folder, h, "")

    def tearDown(self):
        self.tmp.cleanup()

    def test_reports_each_toolkit_include_outside_the_allowed_places(self):
        files = {
            # Forbidden, in every spelling.
            "profiledata/a.cpp": "#include <QString>\n#include <QWidget>\n",
            "radar/b.h": "#pragma once\n#  include <QtWidgets/QPushButton>\n",
            "acquisition/c.cpp": '#include "qimage.h"\n#include <QtGui>\n',
            "raster/blend.cpp": "#include <QColor>\n",
            "tests/profiledata/x_test.cpp": "#include <QApplication>\n",
            # Allowed places, a comment and QtCore.
            "platform/ui/forms.cpp": "#include <QWidget>\n",
            "raster/device_backend.h": "#include <QImage>\n",
            "tests/platform/ui_forms_test.cpp": "#include <QWidget>\n",
            "platform/rtl/paths.cpp": "// #include <QWidget>\n#include <QDir>\n",
            "README.md": "#include <QWidget>\n",
            # A build folder inside the tree is not source.
            "build-x/CMakeCache.txt": "",
            "build-x/gen/moc.cpp": "#include <QWidget>\n",
        }
        for path, text in files.items():
            write(self.root, path, text)
        self.assertEqual(check_layers.violations(self.root, self.modules), [
            "acquisition/c.cpp:1: qimage.h",
            "acquisition/c.cpp:2: QtGui",
            "profiledata/a.cpp:2: QWidget",
            "radar/b.h:2: QtWidgets/QPushButton",
            "raster/blend.cpp:1: QColor",
            "tests/profiledata/x_test.cpp:1: QApplication",
        ])
        self.assertEqual(check_layers.main(["check", self.root] + self.modules), 1)

    def test_passes_a_clean_tree(self):
        write(self.root, "profiledata/a.cpp", '#include "platform/ui/forms.h"\n#include <QString>\n')
        write(self.root, "platform/ui/forms.cpp", "#include <QWidget>\n")
        self.assertEqual(check_layers.main(["check", self.root] + self.modules), 0)

    def test_an_empty_module_folder_is_an_error_not_a_pass(self):
        os.makedirs(os.path.join(self.tmp.name, "empty", "QtGui"))
        with self.assertRaises(SystemExit):
            check_layers.violations(self.root, [os.path.join(self.tmp.name, "empty", "QtGui")])


if __name__ == "__main__":
    unittest.main()
