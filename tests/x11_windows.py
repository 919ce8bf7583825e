"""Finding a window on an X server, for the scripts that play the quiz."""
from Xlib import X, error


def windows(parent):
    """Every window below parent, depth first; one that goes meanwhile is skipped."""
    try:
        children = parent.query_tree().children
    except error.XError:
        return
    for child in children:
        yield child
        yield from windows(child)


def shown(window):
    try:
        return window.get_attributes().map_state == X.IsViewable
    except error.XError:  # gone meanwhile
        return False


def find_window(root, matches):
    """The first shown window below root for which matches(window) is true, or None."""
    for window in windows(root):
        try:
            if matches(window) and shown(window):
                return window
        except error.XError:
            continue
    return None
