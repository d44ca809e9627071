"""Finding and using what is on screen through the AT-SPI accessibility tree.

Controls are found by role ("menu item", "push button", "alert", ...) and
accessible name, as a screen reader names them; names are compared without
surrounding blanks, and a compiled regular expression matches by search.
Clicks and key presses are sent through the X server, so the program receives
them as it would from a person."""

import re

from .desktop import DEFAULT_TIMEOUT, HarnessError, wait_until

# Calls into the program time out after this long.
CALL_TIMEOUT_MS = 5000
# Calls into a program that registered less than this long ago time out
# after this long instead, since a program that is starting may be slow.
STARTUP_TIMEOUT_MS = 15000
# How long an accessible action waits for its reply. Most actions answer at
# once; one that opens a modal window answers only when it closes, so the
# wait is kept short and its end counts as done.
ACTION_REPLY_MS = 500

# Roles whose children are the rows or cells of a view; a search walks into
# them only when it looks for such an entry, since a folder tree alone may
# hold hundreds.
_ENTRY_CONTAINERS = {"list", "tree", "table", "tree table"}
_ENTRY_ROLES = {"list item", "tree item", "table cell", "table row"}

_pyatspi = None


def atspi():
    """The pyatspi module, imported on first use: it finds the accessibility
    bus through the environment, which the session sets up first."""
    global _pyatspi
    if _pyatspi is None:
        import pyatspi

        _atspi_library().set_timeout(CALL_TIMEOUT_MS, STARTUP_TIMEOUT_MS)
        _pyatspi = pyatspi
    return _pyatspi


def _atspi_library():
    from gi.repository import Atspi

    return Atspi


def call_failed():
    """The exception a call into a program raises when it fails."""
    from gi.repository import GLib

    return GLib.Error


# ---- reading -------------------------------------------------------------------


def name_of(acc):
    return (acc.name or "").strip()


def role_of(acc):
    return acc.getRoleName()


def has_state(acc, state_name):
    """state_name as AT-SPI spells it without prefix: "showing", "active",
    "enabled", "focused", "defunct"..."""
    state = getattr(atspi(), "STATE_" + state_name.upper().replace(" ", "_"))
    return acc.getState().contains(state)


def children(acc):
    result = []
    try:
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                result.append(child)
    except call_failed():
        # The object went away while it was being read.
        pass
    return result


def descendants(root, into_entries=False):
    """Every object below root, depth first in screen order."""
    stack = list(reversed(children(root)))
    while stack:
        acc = stack.pop()
        yield acc
        try:
            if not into_entries and role_of(acc) in _ENTRY_CONTAINERS:
                continue
        except call_failed():
            continue
        stack.extend(reversed(children(acc)))


def labels_of(acc):
    """The names of the labels that name acc through "labelled by"; on Linux
    combo boxes are named so, their own name being their current text."""
    pyatspi = atspi()
    names = []
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [name_of(relation.getTarget(i)) for i in range(relation.getNTargets())]
    return names


def _text_matches(actual, wanted):
    if wanted is None:
        return True
    if isinstance(wanted, re.Pattern):
        return wanted.search(actual) is not None
    return actual == wanted.strip()


def matches(acc, role, name=None, labelled_by=None, description=None, showing=True):
    try:
        if role is not None and role_of(acc) != role:
            return False
        if not _text_matches(name_of(acc), name):
            return False
        if description is not None and not _text_matches((acc.description or "").strip(),
                                                         description):
            return False
        if labelled_by is not None and not any(_text_matches(n, labelled_by)
                                               for n in labels_of(acc)):
            return False
        return not showing or has_state(acc, "showing")
    except call_failed():
        return False


def _describe(role, name=None, labelled_by=None, description=None):
    text = role or "object"
    if name is not None:
        text += f" named {name!r}"
    if labelled_by is not None:
        text += f" labelled {labelled_by!r}"
    if description is not None:
        text += f" described {description!r}"
    return text


def describe(acc):
    """Role and name of acc for messages; acc may have gone meanwhile."""
    try:
        return _describe(role_of(acc), name_of(acc))
    except call_failed():
        return "an object that has gone"


def first(root, role, name=None, labelled_by=None, description=None, showing=True):
    """The first object below root that matches, or None: no waiting."""
    into_entries = role in _ENTRY_ROLES
    for acc in descendants(root, into_entries):
        if matches(acc, role, name, labelled_by, description, showing):
            return acc
    return None


def wait_for_entry(items, name, timeout=DEFAULT_TIMEOUT):
    """Waits until the list items has an entry named name, and returns it."""
    def entry():
        for i in range(items.childCount):
            child = items.getChildAtIndex(i)
            if name_of(child) == name:
                return child
        return None
    return wait_until(entry, timeout, "the entry " + name)


def find(root, role, name=None, labelled_by=None, description=None, showing=True,
         timeout=DEFAULT_TIMEOUT):
    """Waits for an object below root that has the role and the name (and the
    label and description, when given), showing on screen unless showing is
    False; fails the scenario after timeout seconds."""
    return wait_until(lambda: first(root, role, name, labelled_by, description, showing),
                      timeout, _describe(role, name, labelled_by, description))


def gone(acc):
    """True once acc has left the screen: closed, hidden or destroyed."""
    try:
        return has_state(acc, "defunct") or not has_state(acc, "showing")
    except call_failed():
        return True


def wait_gone(acc, timeout=DEFAULT_TIMEOUT):
    wait_until(lambda: gone(acc), timeout, describe(acc) + " to close")


def text_of(acc):
    """The text an object shows: the Text interface where it has one, its
    name otherwise (labels and buttons)."""
    try:
        text = acc.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return name_of(acc)


# ---- acting --------------------------------------------------------------------


def bounds_of(acc):
    """(left, top, width, height) on the screen; for a window, its inside
    without the frame the window manager draws around it."""
    extents = acc.queryComponent().getExtents(atspi().DESKTOP_COORDS)
    return extents.x, extents.y, extents.width, extents.height


def centre_of(acc):
    left, top, width, height = bounds_of(acc)
    if width <= 0 or height <= 0:
        raise HarnessError(f"{describe(acc)} has no size on screen")
    return left + width // 2, top + height // 2


def _require_enabled(acc):
    if not has_state(acc, "enabled"):
        raise HarnessError(describe(acc) + " is disabled")


def _require_usable(acc):
    wait_until(lambda: has_state(acc, "showing"), what=describe(acc) + " to show")
    _require_enabled(acc)


def click(acc, button=1):
    """Clicks the middle of acc with the mouse."""
    _require_usable(acc)
    x, y = centre_of(acc)
    atspi().Registry.generateMouseEvent(x, y, f"b{button}c")


def click_to_focus(acc):
    """Clicks acc and waits until it has the keyboard focus: keys typed
    before the click has moved the focus would go to another control."""
    click(acc)
    wait_until(lambda: has_state(acc, "focused"), what=describe(acc) + " focused")


def double_click(acc):
    _require_usable(acc)
    x, y = centre_of(acc)
    atspi().Registry.generateMouseEvent(x, y, "b1d")


def double_click_until(acc, condition, what, attempts=3, timeout=6):
    """Double-clicks acc until condition() holds. In full runs of the suite a
    double click has been taken as a single click now and then (the row was
    selected, nothing opened); it is repeated only while its result has not
    come, and a result that never comes still fails."""
    for _ in range(attempts):
        double_click(acc)
        try:
            return wait_until(condition, timeout=timeout, what=what)
        except HarnessError:
            pass
    raise HarnessError(f"{attempts} double clicks on {describe(acc)} did not give {what}")


def perform(acc, action="Press"):
    """Performs one of acc's accessible actions by name, as assistive tools
    do. When the action opens a modal window the program answers only once
    that window closes: the missing answer counts as done, and the scenario
    looks for the new window next. The object need not be on screen: tools
    can choose an entry of a closed menu."""
    _require_enabled(acc)
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        raise HarnessError(f"{describe(acc)} has no action {action!r} (it has {names})")
    Atspi = _atspi_library()
    Atspi.set_timeout(ACTION_REPLY_MS, ACTION_REPLY_MS)
    try:
        actions.doAction(names.index(action))
    except call_failed() as error:
        if "reply" not in str(error):
            raise
    finally:
        Atspi.set_timeout(CALL_TIMEOUT_MS, STARTUP_TIMEOUT_MS)


def choose_menu(window, *path):
    """Chooses a menu entry with the mouse: choose_menu(window, "File",
    "Close Velmora") clicks File in the menu bar, then the entry in the menu
    that opens. Names are as shown, without the "&" of the shortcut."""
    menu_bar = find(window, "menu bar")
    container = menu_bar
    for step in path:
        item = find(container, "menu item", step)
        click(item)
        container = item


_KEYSYMS = {"Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "space": 0x20,
            "BackSpace": 0xFF08, "Delete": 0xFFFF, "Up": 0xFF52, "Down": 0xFF54,
            "Left": 0xFF51, "Right": 0xFF53, "Home": 0xFF50, "End": 0xFF57, "F1": 0xFFBE,
            "F5": 0xFFC2, "Menu": 0xFF67, "Page_Up": 0xFF55, "Page_Down": 0xFF56}


_MODIFIER_MASKS = {"Shift": 1 << 0, "Control": 1 << 2, "Alt": 1 << 3}


def _keysym(name):
    if name in _KEYSYMS:
        return _KEYSYMS[name]
    if len(name) == 1 and 0x20 < ord(name) < 0x7F:
        return ord(name.lower())  # the keysyms of Latin-1 letters and digits
    raise HarnessError(f"no keysym known for {name!r}")


def press_key(name, *modifiers):
    """Presses and releases one key (X keysym name, e.g. "Return", or a
    letter or digit) in the window that has the keyboard focus, with the
    modifiers held ("Control", "Shift", "Alt"): press_key("2", "Control")."""
    pyatspi = atspi()
    mask = 0
    for modifier in modifiers:
        mask |= _MODIFIER_MASKS[modifier]
    if mask:
        pyatspi.Registry.generateKeyboardEvent(mask, None, pyatspi.KEY_LOCKMODIFIERS)
    try:
        pyatspi.Registry.generateKeyboardEvent(_keysym(name), None, pyatspi.KEY_SYM)
    finally:
        if mask:
            pyatspi.Registry.generateKeyboardEvent(mask, None, pyatspi.KEY_UNLOCKMODIFIERS)


def type_text(text):
    """Types text into the control that has the keyboard focus."""
    pyatspi = atspi()
    pyatspi.Registry.generateKeyboardEvent(0, text, pyatspi.KEY_STRING)


# ---- message boxes -------------------------------------------------------------


class MessageBox:
    """A message box on screen: its title, text and buttons."""

    def __init__(self, window):
        self.window = window

    @property
    def title(self):
        return name_of(self.window)

    @property
    def text(self):
        """The message: the texts of its labels, one per line."""
        labels = [text_of(acc) for acc in descendants(self.window) if role_of(acc) == "label"]
        return "\n".join(text for text in labels if text)

    @property
    def buttons(self):
        return [name_of(acc) for acc in descendants(self.window)
                if role_of(acc) == "push button"]

    def press(self, button):
        """Clicks the button named button and waits for the box to close."""
        click(find(self.window, "push button", button))
        wait_gone(self.window)


def _is_active(acc):
    try:
        return has_state(acc, "active")
    except call_failed():
        return False


def find_window(application, role, name=None, timeout=DEFAULT_TIMEOUT):
    """Waits for a window of application (role "frame", "dialog" or "alert")
    to be on screen and active, which it is once the window manager has given
    it the focus."""
    return wait_until(
        lambda: next((w for w in children(application)
                      if matches(w, role, name) and _is_active(w)), None),
        timeout, "active " + _describe(role, name))


def find_message_box(application, timeout=DEFAULT_TIMEOUT):
    """Waits for a message box of application to come up, active."""
    return MessageBox(find_window(application, "alert", timeout=timeout))
