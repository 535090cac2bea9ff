#!/usr/bin/env python3
"""The layering check on a small source tree: clean, then with one fault at a time."""

import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layering  # noqa: E402

LAYERS = """
orvane_layer(orvane_platform DIRS platform DEPS Qt6::Core)
orvane_layer(orvane_db       DIRS db       DEPS orvane_platform Qt6::Sql)
orvane_layer(orvane_widgets  DIRS widgets  DEPS orvane_db Qt6::Widgets)
# orvane_layer(orvane_data DIRS data DEPS orvane_widgets) is a comment, not a declaration
orvane_layer(orvane_data     DIRS data     DEPS orvane_db)
orvane_layer(orvane_clinical DIRS clinical DEPS orvane_data orvane_widgets)
orvane_layer(orvane_patients DIRS patients DEPS orvane_data
    orvane_widgets)
orvane_layer(orvane_finance  DIRS finance  DEPS orvane_data)
orvane_layer(orvane_app      DIRS app      DEPS orvane_patients orvane_clinical orvane_finance)
"""

CLEAN = {
    "platform/IniFile.h": '#include <QString>\n',
    "db/Query.cpp": '#include "platform/IniFile.h"\nconst char* q = "SELECT a FROM t";\n',
    "widgets/Grid.h": '#include <QWidget>\n#include "db/Query.h"\n',
    "data/Rules.cpp": '#include "db/Query.h"\n#include <QCursor>\n'
                      'auto s = QStringLiteral("UPDATE Patient SET Name = :n");\n',
    "clinical/Chart.cpp": '#include "clinical/Chart.h"\n#include "widgets/Grid.h"\n#include <QWidget>\n'
                          '// SELECT Name FROM Patient, in a comment\n'
                          'auto t = tr("Select the patient from the list");\n'
                          # a quote in a character literal opens no string
                          "char c = '\"'; int SELECT = 1; auto w = \"x\"; int FROM = SELECT;\n",
    # keywords looked for in a statement, each in a statement of its own
    "patients/Patient.cpp": '#include "data/Rules.h"\nbool select = sql.startsWith(QStringLiteral("SELECT"));\n'
                            'int from = findWord(sql, QStringLiteral("FROM"));\n',
    "app/Main.cpp": '#include "patients/Patient.h"\n#include "clinical/Chart.h"\n',
}


class LayeringCheck(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        self.qt = os.path.join(self.root, "qt", "QtWidgets")
        os.makedirs(self.qt)
        for name in ("QWidget", "QLabel", "qwidget.h"):
            open(os.path.join(self.qt, name), "w").close()
        self.write("src/CMakeLists.txt", LAYERS)
        for path, text in CLEAN.items():
            self.write("src/" + path, text)
        self.known = os.path.join(self.root, "known.txt")
        self.write("known.txt", "# none\n")

    def tearDown(self):
        self.dir.cleanup()

    def write(self, path, text, append=False):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "a" if append else "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_layering.main([self.root, "--qt-headers", self.qt, "--known", self.known])
        return status, out.getvalue()

    def test_clean_tree_passes(self):
        status, out = self.run_check()
        self.assertEqual(status, 0, out)

    def test_each_fault_fails(self):
        faults = [
            ("window includes a sibling window folder", "src/patients/Family.cpp",
             '#include "clinical/Chart.h"\n', 'includes "clinical/Chart.h" of the sibling window folder clinical'),
            ("window includes a window folder that has no sources yet", "src/patients/Ledger.cpp",
             '#include "finance/Ledger.h"\n', "of the sibling window folder finance"),
            ("window folder links a sibling", "src/CMakeLists.txt",
             LAYERS + "orvane_layer(orvane_lists DIRS lists DEPS orvane_data orvane_clinical)\n",
             "the window folder orvane_lists links the window folder orvane_clinical"),
            ("lower layer includes a window folder", "src/data/Open.cpp",
             '#include "patients/Patient.h"\n', "orvane_data does not link orvane_patients"),
            ("data includes a Qt Widgets class", "src/data/Box.cpp",
             "#include <QWidget>\n", "Qt Widgets header <QWidget>"),
            ("db includes a QtWidgets module path", "src/db/Box.cpp",
             "#  include <QtWidgets/QLabel>\n", "Qt Widgets header <QtWidgets/QLabel>"),
            ("platform includes a widgets header", "src/platform/Texts.h",
             '#include "widgets/Language.h"\n', 'widgets header "widgets/Language.h"'),
            ("SQL split over literals of one statement", "src/clinical/Sum.cpp",
             'QString s = QStringLiteral("SELECT SUM(") + f\n    + QStringLiteral(") FROM History");\n', "has SQL text"),
            ("insert in the shell", "src/app/Tour.cpp",
             'q.exec("INSERT INTO Patient VALUES (1)");\n', "has SQL text"),
            ("raw string in a window", "src/patients/Raw.cpp",
             'auto s = R"sql(DELETE FROM Recalls)sql";\n', "has SQL text"),
            ("table created in widgets", "src/widgets/Store.cpp",
             'auto s = u"CREATE TABLE Placement (Name TEXT)"_s;\n', "has SQL text"),
            ("folder in no layer", "src/images/View.cpp", "int x;\n", "src/images: is in no orvane_layer()"),
        ]
        for name, path, text, expected in faults:
            with self.subTest(name):
                self.tearDown()
                self.setUp()
                self.write(path, text)
                status, out = self.run_check()
                self.assertEqual(status, 1, out)
                self.assertIn(expected, out)

    def test_declared_sibling_still_fails(self):
        # Declaring the link does not make it right: shared code goes down a layer.
        self.write("src/patients/Family.cpp", '#include "clinical/Chart.h"\n')
        self.write("src/CMakeLists.txt", LAYERS.replace("DIRS patients DEPS orvane_data", "DIRS patients DEPS orvane_clinical orvane_data"))
        status, out = self.run_check()
        self.assertEqual(status, 1, out)
        self.assertIn("links the window folder orvane_clinical", out)
        self.assertIn("of the sibling window folder clinical", out)

    def test_data_layer_linking_widgets_fails(self):
        self.write("src/CMakeLists.txt", LAYERS.replace("DIRS data     DEPS orvane_db", "DIRS data DEPS orvane_db orvane_widgets"))
        status, out = self.run_check()
        self.assertEqual(status, 1, out)
        self.assertIn("orvane_data links orvane_widgets", out)

    def test_known_violations_are_tolerated_until_gone(self):
        self.write("src/data/Box.cpp", '#include "widgets/Language.h"\n')
        self.write("src/CMakeLists.txt", LAYERS.replace("DIRS data     DEPS orvane_db", "DIRS data DEPS orvane_db orvane_widgets"))
        self.write("known.txt", 'src/data/Box.cpp: #include "widgets/Language.h"\n'
                                "src/CMakeLists.txt: orvane_data -> orvane_widgets\n")
        status, out = self.run_check()
        self.assertEqual(status, 0, out)

        self.write("src/data/Rules.cpp", '#include "widgets/Grid.h"\n', append=True)
        status, out = self.run_check()
        self.assertEqual(status, 1, out)
        self.assertIn('src/data/Rules.cpp: includes the widgets header "widgets/Grid.h"', out)

        self.write("src/data/Rules.cpp", CLEAN["data/Rules.cpp"])
        self.write("src/data/Box.cpp", '#include "platform/IniFile.h"\n')
        status, out = self.run_check()
        self.assertEqual(status, 1, out)
        self.assertIn('no longer occurs, remove it: src/data/Box.cpp: #include "widgets/Language.h"', out)


if __name__ == "__main__":
    unittest.main()
