"""Pop-up menus on screen, such as a context menu.

Qt leaves pop-up windows out of the program's children in the accessibility
tree, so a scenario cannot walk to an open context menu; it learns of the
menu from the event the menu sends as it shows, and then finds its entries
below it as usual."""

from . import accessible
from .desktop import DEFAULT_TIMEOUT, wait_until

_SHOWING = "object:state-changed:showing"


class PopupWatcher:
    """Notes every pop-up menu that shows, from its creation until close().
    Create it before the program starts: a program learns which events are
    listened for when it connects to the bus, later only after a while."""

    def __init__(self):
        self._menus = []
        self._registry = accessible.atspi().Registry
        self._registry.registerEventListener(self._on_showing, _SHOWING)

    def close(self):
        self._registry.deregisterEventListener(self._on_showing, _SHOWING)

    def _on_showing(self, event):
        try:
            if event.detail1 and accessible.role_of(event.source) == "popup menu":
                self._menus.append(event.source)
        except accessible.call_failed():
            pass  # shown and gone at once

    @staticmethod
    def _deliver_events():
        # Events arrive through the default main context, which nothing else
        # runs while a scenario waits.
        from gi.repository import GLib

        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def wait_for_menu(self, name=None, timeout=DEFAULT_TIMEOUT):
        """The pop-up menu named name (any, without a name) once it shows."""

        def shown():
            self._deliver_events()
            return next((menu for menu in reversed(self._menus)
                         if accessible.matches(menu, "popup menu", name)), None)

        return wait_until(shown, timeout, "pop-up menu" + (f" named {name!r}" if name else ""))
