"""General Options' Formatter style: the styles shipped in STYLES are offered,
the one chosen is written to prg.ini as StyleName and is the one shown again
after the next start."""

import os
import re

import harness

STYLE_BOX = re.compile(r"Formatter style")


class FormatterStyleTest(harness.ProgramTestCase):
    def open_options(self, window):
        harness.choose_menu(window, "Options", "General Options")
        dialog = harness.find_window(self.program.application(), "dialog", "General Options")
        return dialog, harness.find(dialog, "combo box", labelled_by=STYLE_BOX)

    def shoot(self, name):
        target = os.path.join(harness.Setup.artifacts, "formatter_style")
        os.makedirs(target, exist_ok=True)
        harness.Setup.session.screenshot(os.path.join(target, name))

    def test_the_chosen_style_is_stored_and_read_at_the_next_start(self):
        window = self.start_program()
        dialog, styles = self.open_options(window)
        self.assertEqual(harness.name_of(styles), "THUMBS")
        harness.click(styles)
        harness.click(harness.find(self.program.application(), "list item", "HTML5"))
        harness.wait_until(lambda: harness.name_of(styles) == "HTML5", what="HTML5 chosen")
        self.shoot("general_options_html5.png")
        harness.click(harness.find(dialog, "push button", "OK"))
        harness.wait_gone(dialog)
        self.close_through_menu(window)
        values = harness.read_values(self.program.path("prg.ini"))
        self.assertEqual(values["OPTIONS"]["StyleName"], "HTML5")

        window = self.start_program()
        dialog, styles = self.open_options(window)
        self.assertEqual(harness.name_of(styles), "HTML5")
        harness.click(harness.find(dialog, "push button", "Cancel"))
        harness.wait_gone(dialog)
        self.close_through_menu(window)
