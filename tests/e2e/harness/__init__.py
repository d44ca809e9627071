"""Drives the real Velmora program as a person would: a private desktop
(desktop.Session), a copy of the built program in it (program.Program), and
the accessibility tree to find and use what is on screen (accessible).
Scenario files derive their tests from testcase.ProgramTestCase."""

from .accessible import (MessageBox, bounds_of, choose_menu, click, click_to_focus, double_click,
                         double_click_until,
                         find, find_message_box, find_window, first, gone, has_state, labels_of,
                         name_of, perform, press_key, text_of, type_text, wait_for_entry,
                         wait_gone)
from .desktop import DEFAULT_TIMEOUT, HarnessError, Session, wait_until
from .inifile import read_sections, read_values
from .program import WINDOW_TITLE, Program
from .testcase import ProgramTestCase, Setup
