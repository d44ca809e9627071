"""The help window and the browser settings as a person uses them: Show Help
twice gives two help windows and Esc closes one of them; the browser
settings dialog changes the font size and switches pictures off, and after
OK the page in the preview is rendered again with them. The page reports
what it got in its title, which the browser view hands to a screen reader."""

import os

import harness
from harness import desktop

# The title tells the computed size of the default font and whether the
# picture is drawn (loaded and not hidden); it is set again whenever the page
# is rendered.
REPORTING_PAGE = """<html><head><title>waiting</title></head><body>
<p id="t">Some text</p><img id="i" src="pic.png">
<script>
function report() {
  var size = getComputedStyle(document.getElementById('t')).fontSize;
  var img = document.getElementById('i');
  var seen = img.naturalWidth > 0 && getComputedStyle(img).visibility !== 'hidden';
  document.title = 'size ' + size + ' picture ' + (seen ? 'shown' : 'off');
}
window.addEventListener('load', report);
</script></body></html>
"""


def help_windows(application):
    return [w for w in harness.accessible.children(application)
            if harness.name_of(w) == "Velmora - Help"]


def set_spin_box(box, wanted):
    """Steps the focused spin box with the arrow keys until it shows wanted;
    each step is awaited, since every change renders the sample again."""
    for _ in range(40):
        value = int(harness.text_of(box))
        if value == wanted:
            return
        harness.press_key("Up" if value < wanted else "Down")
        harness.wait_until(lambda: int(harness.text_of(box)) != value, what="the box to step")
    raise AssertionError("the spin box did not reach %d" % wanted)


class HelpAndBrowserSettingsTest(harness.ProgramTestCase):
    def test_two_help_windows_and_esc_closes_one(self):
        window = self.start_program()
        application = self.program.application()
        harness.choose_menu(window, "Help", "Show Help")
        first = harness.find_window(application, "filler", "Velmora - Help")
        harness.choose_menu(window, "Help", "Show Help")
        harness.wait_until(lambda: len(help_windows(application)) == 2, what="two help windows")
        # The help shows its index page in the view.
        harness.find(first, "filler", "Help", description="Velmora Help")

        second = harness.find_window(application, "filler", "Velmora - Help")
        harness.press_key("Escape")
        harness.wait_until(lambda: len(help_windows(application)) == 1, what="one help window")
        self.assertTrue(harness.gone(second))
        self.assertFalse(harness.gone(first))
        self.close_through_menu(self.program.main_window())

    def test_browser_settings_render_the_preview_again(self):
        site = os.path.join(self.program.folder, "site")
        os.makedirs(site)
        desktop.write_png(os.path.join(site, "pic.png"), 120, 80, [bytes((0, 170, 0)) * 120] * 80)
        page = os.path.join(site, "index.htm")
        with open(page, "w") as f:
            f.write(REPORTING_PAGE)
        # The site is the stored start folder, not a command-line page: the
        # main window returns to a command-line page whenever it is
        # activated again, which would drop the preview when the dialog closes.
        with open(self.program.path("prg.ini"), "w") as f:
            f.write("[PATHS]\nVIEW_PATH=%s/\n" % site)
        window = self.start_program()
        files = harness.find(window, "list", "Folder View files")
        harness.click(harness.wait_for_entry(files, "index.htm"))
        # 12 points at 96 pixels per inch.
        harness.find(window, "filler", "Browser", description="size 16px picture shown")

        harness.choose_menu(window, "Options", "Temporary Browser Settings")
        dialog = harness.find_window(self.program.application(), "dialog", "Browser Settings")
        for name in ("Default Font", "Font Color", "Link Color", "Background", "Reset",
                     "Cancel", "OK", "Sample"):
            self.assertIsNotNone(harness.first(dialog, None, name), name)
        # The browser's default font is drawn with its metric-compatible
        # stand-in: the list offers it under its own name, so OK keeps it.
        fonts = harness.find(dialog, "list", "Default Font")
        self.assertTrue(harness.has_state(harness.find(fonts, "list item", "Times New Roman"),
                                          "selected"))
        size = harness.find(dialog, "spin button", "Font Size")
        # Keys pressed before the click has moved the focus would go elsewhere.
        harness.click_to_focus(size)
        set_spin_box(size, 18)
        images = harness.find(dialog, "check box", "Show Images")
        harness.click(images)
        harness.wait_until(lambda: not harness.has_state(images, "checked"),
                           what="Show Images off")
        harness.Setup.session.screenshot(os.path.join(harness.Setup.artifacts,
                                                      "browser_settings.png"))
        harness.click(harness.find(dialog, "push button", "OK"))
        harness.wait_gone(dialog)
        # 18 points are 24 pixels; the picture is no longer loaded.
        harness.find(window, "filler", "Browser", description="size 24px picture off")
        self.close_through_menu(window)
