"""The folder tree as a person uses it: at start it shows the folder the
program opens, among many others; a click opens a folder and leaves the rows
where they are; typing a name finds its folder, and Enter opens it."""

import os
import shutil
import tempfile

import harness


def rows_named(tree, name):
    # The tree fills in the background: a row counted a moment ago may be
    # gone (None) by the time it is asked for.
    rows = (tree.getChildAtIndex(i) for i in range(tree.childCount))
    return [row for row in rows if row is not None and harness.name_of(row) == name]


class FolderTreeTest(harness.ProgramTestCase):
    def test_the_tree_shows_and_opens_folders(self):
        # Away from the temporary folder, where the other scenarios running
        # beside this one add and remove folders: rows appearing above ours
        # would move them, which is what this scenario checks does not happen.
        base = tempfile.mkdtemp(prefix="velmora-tree-", dir="/var/tmp")
        self.addCleanup(shutil.rmtree, base, True)
        for i in range(60):
            os.makedirs(os.path.join(base, "f%02d" % i))
        os.makedirs(os.path.join(base, "gamma"))
        start = os.path.join(base, "f45")
        with open(os.path.join(start, "index.htm"), "w") as f:
            f.write("<p>start</p>")
        with open(self.program.path("prg.ini"), "w") as f:
            f.write("[PATHS]\nVIEW_PATH=%s/\n" % start)
        window = self.start_program()
        tree = harness.find(window, "tree", "Folder tree")
        heading = harness.find(window, "label", description="Current folder")

        # The folders are read in the background; the tree keeps the current
        # one in view meanwhile.
        def current_shown():
            rows = rows_named(tree, "f45")
            return rows and harness.has_state(rows[0], "selected") \
                and harness.has_state(rows[0], "showing")
        harness.wait_until(current_shown, what="f45 selected and in view")

        f40 = harness.wait_until(lambda: rows_named(tree, "f40"), what="f40")[0]
        before = harness.bounds_of(f40)
        harness.click(f40)
        harness.wait_until(lambda: harness.name_of(heading) == os.path.join(base, "f40") + "/",
                           what="f40 opened")
        self.assertEqual(harness.bounds_of(f40), before)

        harness.type_text("gam")
        gamma = harness.wait_until(lambda: rows_named(tree, "gamma"), what="gamma")[0]
        harness.wait_until(lambda: harness.has_state(gamma, "focused"), what="gamma found")
        harness.press_key("Return")
        harness.wait_until(lambda: harness.name_of(heading) == os.path.join(base, "gamma") + "/",
                           what="gamma opened by Enter")
        self.close_through_menu(self.program.main_window())
