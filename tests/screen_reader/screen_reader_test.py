#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A blind player's round, over the real accessibility bus.

Starts a private D-Bus session (which starts the accessibility bus and its
registry on demand), an X server without a screen, and the real game with
Qt's bridge switched on. Then, as a screen reader does, it walks the tree
from the application down, listens to the bus's events, starts a game with
the title picture's press action and plays round 1 from the keyboard: the
words are read from the accessible word list and looked for in the
accessible table's cells, the ring is moved with the
arrows and a letter played with Space. It must hear a word found, an error
and the round won, each as a notification shown with its news, and the
focus must come back to a cell of the grid after each message box.

Usage: screen_reader_test.py GAME_BINARY DATA_FOLDER
Exits 77 (skipped) only when the bus, the X server or the client library is
not installed.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
WAIT = 90  # seconds for anything to happen: a ceiling against a hang, no speed target


def skip(reason):
    print("SKIP: " + reason)
    sys.exit(SKIP)


def check_tools():
    for tool in ("dbus-run-session", "Xvfb", "xdotool", "xprop"):
        if shutil.which(tool) is None:
            skip(tool + " is not installed (packages dbus, xvfb, xdotool, x11-utils)")
    if not any(os.path.exists(p) for p in ("/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher")):
        skip("at-spi-bus-launcher is not installed (package at-spi2-core)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("pyatspi is not installed (package python3-pyatspi)")


if __name__ == "__main__" and os.environ.get("VORTIGO_PRIVATE_BUS") != "1":
    check_tools()
    if len(sys.argv) != 3:
        sys.exit("usage: screen_reader_test.py GAME_BINARY DATA_FOLDER")
    # The accessibility bus puts its socket in the runtime folder (else in
    # ~/.cache): a folder of our own keeps two runs from taking each other's.
    runtime = tempfile.mkdtemp(prefix="vortigo-bus-")
    env = dict(os.environ, VORTIGO_PRIVATE_BUS="1", XDG_RUNTIME_DIR=runtime, XDG_CACHE_HOME=os.path.join(runtime, "cache"))
    for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:], env)

import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
    return ok


def pump(seconds=0.05):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.01)


def wait_for(condition, what, seconds=WAIT):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump(0.05)
        try:
            value = condition()
        except Exception:  # an object gone while the tree changes: ask again
            value = None
        if value:
            return value
    check(False, "waited for " + what)
    raise SystemExit(finish())


# ---------------------------------------------------------------- what the bus says

heard = []  # (kind, role, name) in order of arrival


def listener(event):
    try:
        source = event.source
        role = source.getRoleName()
        name = source.name
    except Exception:
        return
    if event.type.startswith("object:state-changed:showing"):
        if event.detail1 == 1 and source.getRole() == pyatspi.ROLE_NOTIFICATION:
            heard.append(("notification", role, name))
    elif event.type.startswith("focus:"):
        heard.append(("focus", role, name))
    elif event.type.startswith("object:property-change:accessible-name"):
        heard.append(("name", role, name))
    elif event.type.startswith("object:property-change:accessible-description"):
        heard.append(("description", role, "%s %s" % (name, source.description)))
    elif event.type.startswith("window:activate"):
        heard.append(("window", role, name))


def announcements(since=0):
    return [name for kind, role, name in heard[since:] if kind == "notification"]


def focus_after(since):
    return [(role, name) for kind, role, name in heard[since:] if kind == "focus"]


# ---------------------------------------------------------------- the tree


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def walk(node, depth, lines, problems):
    for i, child in enumerate(children(node)):
        if child is None:
            problems.append("a missing child %d of %s" % (i, node.name))
            continue
        if child.getIndexInParent() != i or child.parent != node:
            problems.append("%s %r: index %d in its parent, %d in the walk" % (child.getRoleName(), child.name, child.getIndexInParent(), i))
        state = child.getState()
        if state.contains(pyatspi.STATE_SHOWING) or child.getRole() in (pyatspi.ROLE_NOTIFICATION, pyatspi.ROLE_TABLE_CELL):
            actions = ""
            try:
                action = child.queryAction()
                names = [action.getName(k) for k in range(action.nActions)]
                if names:
                    actions = "  [" + ", ".join(names) + "]"
            except NotImplementedError:
                pass
            if child.getRole() != pyatspi.ROLE_TABLE_CELL:
                lines.append("  " * depth + "%s \"%s\"%s" % (child.getRoleName(), child.name, actions))
        if child.getRole() == pyatspi.ROLE_TABLE:
            lines.append("  " * (depth + 1) + "(%d table cells, named by their letters)" % child.childCount)
            for cell in children(child)[:3]:
                if cell.parent != child:
                    problems.append("a cell whose parent is not its table")
            continue
        if child.getRole() != pyatspi.ROLE_MENU_BAR:
            walk(child, depth + 1, lines, problems)


def find(node, role, name=None):
    if node.getRole() == role and (name is None or node.name.startswith(name)):
        return node
    if node.getRole() == pyatspi.ROLE_TABLE:
        return None
    for child in children(node):
        if child is not None:
            hit = find(child, role, name)
            if hit is not None:
                return hit
    return None


# ---------------------------------------------------------------- the game


def end_with_us():
    """In a child: ends it when this script dies, even by a crash of the client library."""
    import ctypes
    import signal
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def start_x_server(folder):
    """An X server on a free display, answering; tried again if it fails to come up."""
    for attempt in range(3):
        read_end, write_end = os.pipe()
        log = open(os.path.join(folder, "xvfb-%d.log" % attempt), "wb")
        # No key repeat: on a loaded machine a key's release may come late
        # enough for the server to repeat it, and an arrow repeated moves the
        # ring one cell too far.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                                 "-noreset", "-ardelay", "100000"],
                                pass_fds=(write_end,), stdout=log, stderr=log, preexec_fn=end_with_us)
        os.close(write_end)
        # The number comes in more than one write; the pipe is read to its end
        # of line, and kept open while the server runs (it writes there again
        # at a reset).
        display = b""
        while not display.endswith(b"\n"):
            chunk = os.read(read_end, 64)
            if not chunk:
                break
            display += chunk
        display = display.decode().strip()
        os.environ["DISPLAY"] = ":" + display
        end = time.monotonic() + WAIT
        while xvfb.poll() is None and time.monotonic() < end:
            if subprocess.run(["xdotool", "getdisplaygeometry"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                xvfb.display_pipe = read_end
                return xvfb
            time.sleep(0.2)
        xvfb.kill()
        xvfb.wait()
        os.close(read_end)
        log.close()
        print("The X server on :%s did not answer:" % display)
        print(open(log.name, errors="replace").read())
    check(False, "an X server answers")
    raise SystemExit(finish())


def start(binary, data):
    folder = tempfile.mkdtemp(prefix="vortigo-reader-")
    for name in ("SLESSICO.1", "SLESSICO.2", "SLESSICO.3", "vortigo.gif", "vortigo.htm"):
        shutil.copy(os.path.join(data, name), folder)
    shutil.copy(binary, os.path.join(folder, "vortigo"))
    # Allenamento: time enough for a loaded machine, no hidden word; no sound card needed.
    with open(os.path.join(folder, "vortigo.INI"), "wb") as f:
        f.write(b"Livello=Basso\r\nGiocatore1=Lettore\r\nSuono=NO\r\n")

    xvfb = start_x_server(folder)

    # Listening before the game starts: the registry then tells the game's
    # bridge which events a client wants.
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:showing", "focus:",
                                           "object:property-change:accessible-name", "window:activate",
                                           "object:property-change:accessible-description")
    # In the sanitizer build: the X keyboard library copies names with
    # strndup from replies that are not NUL-terminated, which strict string
    # checks take for an overflow of the reply; the other tests keep them.
    asan = (os.environ.get("ASAN_OPTIONS", "") + ":strict_string_checks=0").lstrip(":")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", ASAN_OPTIONS=asan,
               HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"), XDG_DATA_HOME=os.path.join(folder, "data"))
    game = subprocess.Popen([os.path.join(folder, "vortigo")], cwd=folder, env=env, preexec_fn=end_with_us)
    return xvfb, game, folder


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is not None and app.name == "Vortigo" and app.childCount > 0:
            return app
    return None


def xdotool(*arguments):
    # The bus is served meanwhile: the game's bridge offers each key to the
    # registry, which may ask this client before it answers.
    typing = subprocess.Popen(["xdotool"] + list(arguments))
    while typing.poll() is None:
        pump(0.02)
    if typing.returncode != 0:
        check(False, "xdotool %s" % " ".join(arguments))


def keys(*names):
    xdotool("key", "--delay", "40", *names)


def focus_game_window():
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Vortigo$", "windowfocus", "--sync"],
                   check=True, timeout=WAIT)


def launcher_class():
    desktop = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "app", "desktop")
    for name in os.listdir(desktop):
        if name.endswith(".desktop"):
            with open(os.path.join(desktop, name), encoding="utf-8") as entry:
                for line in entry:
                    if line.startswith("StartupWMClass="):
                        return line.strip().partition("=")[2]
    return None


def words_of(word_list):
    out = []
    for item in children(word_list):
        word, _, state = item.name.rpartition(", ")
        out.append((word, state))
    return out


def letters_of(table):
    t = table.queryTable()
    rows, cols = t.nRows, t.nColumns
    return [[t.getAccessibleAt(r, c).name for c in range(cols)] for r in range(rows)]


def locate(word, grid):
    """Every line of cells (row, col) that spells the word, in eight directions."""
    rows, cols = len(grid), len(grid[0])
    found = []
    for r in range(rows):
        for c in range(cols):
            for dr in (-1, 0, 1):
                for dc in (-1, 0, 1):
                    if dr == dc == 0:
                        continue
                    cells = [(r + k * dr, c + k * dc) for k in range(len(word))]
                    if all(0 <= rr < rows and 0 <= cc < cols and grid[rr][cc] == word[k] for k, (rr, cc) in enumerate(cells)):
                        found.append(cells)
    return found


class Ring:
    """The grid's focus ring, moved with the arrows as a player does."""

    def __init__(self):
        self.row, self.col = 0, 0

    def move(self, row, col):
        moves = []
        moves += ["Down" if row > self.row else "Up"] * abs(row - self.row)
        moves += ["Right" if col > self.col else "Left"] * abs(col - self.col)
        self.row, self.col = row, col
        if moves:
            keys(*moves)

    def play(self, row, col):
        self.move(row, col)
        keys("space")


def print_heard():
    print("\nWhat the reader heard (news, focus, and the strip's name changes but the clock's):")
    for kind, role, name in heard:
        if kind in ("notification", "focus", "window") or (kind == "name" and role == "status bar" and not name.startswith("Tempo")):
            print("  %-12s %-12s %s" % (kind, role, name))


def finish():
    print_heard()
    if failures:
        print("\n%d check(s) failed:" % len(failures))
        for f in failures:
            print("  " + f)
        return 1
    return 0


def main():
    binary, data = sys.argv[1], sys.argv[2]
    xvfb, game, folder = start(binary, data)
    try:
        return play(game)
    finally:
        game.kill()
        xvfb.kill()
        game.wait()
        xvfb.wait()
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(os.environ.get("XDG_RUNTIME_DIR", folder), ignore_errors=True)


def play(game):
    def started():
        if game.poll() is not None:
            check(False, "the game started (it ended with %s)" % game.returncode)
            raise SystemExit(finish())
        return application()

    app = wait_for(started, "the game on the accessibility bus")
    frame = wait_for(lambda: find(app, pyatspi.ROLE_FRAME, "Vortigo"), "the main window in the tree")
    focus_game_window()
    wait_for(lambda: ("focus", "push button", "Nuova partita") in heard, "the focus on the new-game button")
    # A desktop matches the running window to its launcher by the window's class.
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vortigo$"], capture_output=True,
                            text=True, timeout=WAIT).stdout.split()[:1]
    said = subprocess.run(["xprop", "-id"] + window + ["WM_CLASS"], capture_output=True, text=True, timeout=WAIT).stdout
    launcher = launcher_class()
    check(said.rstrip().endswith('"%s"' % launcher),
          "the window's class (%s) is the launcher's StartupWMClass=%s" % (said.strip(), launcher))

    # The title screen: the picture that starts a game is a button a reader
    # can press. Pressed, it starts a game: the strip, the list and the table fill in.
    title = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Vortigo: clicca per nuova partita")
    action = title.queryAction() if title is not None else None
    names = [action.getName(k) for k in range(action.nActions)] if action is not None else []
    if not check("Press" in names, "the title picture is a button with a press action: %s" % names):
        return finish()
    action.doAction(names.index("Press"))
    word_list = wait_for(lambda: find(frame, pyatspi.ROLE_LIST, "Parole da trovare"), "the word list")
    wait_for(lambda: word_list.childCount == 4, "the four words of round 1")
    table = wait_for(lambda: find(frame, pyatspi.ROLE_TABLE, "Griglia delle lettere"), "the grid's table")
    wait_for(lambda: table.childCount == 42, "a 7 x 6 table")
    wait_for(lambda: focus_after(0) and focus_after(0)[-1][0] == "table cell", "the focus on a cell of the grid")

    lines, problems = [], []
    walk(app, 0, lines, problems)
    print("The tree as a screen reader walks it (shown objects; the menus left out):")
    print("application \"%s\"" % app.name)
    print("\n".join(lines))
    check(not problems, "every child's parent and index agree with the walk: %s" % "; ".join(problems[:5]))
    for role, name in ((pyatspi.ROLE_STATUS_BAR, "Tempo rimasto"), (pyatspi.ROLE_STATUS_BAR, "Punti fatti: 0"),
                       (pyatspi.ROLE_STATUS_BAR, "Errori ammissibili: 2"), (pyatspi.ROLE_STATUS_BAR, "Manche in corso: 1"),
                       (pyatspi.ROLE_TEXT, "Giocatore:"), (pyatspi.ROLE_COMBO_BOX, "Italiano"),
                       (pyatspi.ROLE_PUSH_BUTTON, "Nuova partita"), (pyatspi.ROLE_LINK, None)):
        check(find(frame, role, name) is not None, "a %s named %r in the window" % (role, name))

    words = words_of(word_list)
    print("Words read from the list: %s" % words)
    check(all(state == "da trovare" for _, state in words), "every word is said to be still to find")
    grid = letters_of(table)
    lines_of = {}
    for word, _ in words:
        spots = locate(word, grid)
        if not check(bool(spots), "the word %s is found in the table's letters" % word):
            return finish()
        lines_of[word] = spots[0]
    word_cells = {cell for cells in lines_of.values() for cell in cells}
    ring = Ring()

    # The first word, letter by letter: each letter is heard picked, then all
    # of them part of a found word; the word's news says the word and the points.
    first = words[0][0]
    mark = len(heard)
    for row, col in lines_of[first]:
        ring.play(row, col)
    picked = ["%s selezionata" % letter for letter in first[:-1]]
    found = {"%s parte di una parola trovata" % letter for letter in first}

    def described():
        return [text for kind, role, text in heard[mark:] if kind == "description" and role == "table cell"]
    wait_for(lambda: found <= set(described()), "the letters of %s described as found" % first)
    check(described()[:len(picked)] == picked and set(described()[len(picked):]) == found,
          "each letter of %s described as picked, then as found: %s" % (first, described()))
    news = wait_for(lambda: [a for a in announcements(mark) if a.startswith("Parola trovata: " + first)], "the news of %s found" % first)
    check(news[0].endswith(" punti di premio"), "the news of a found word gives its points: %r" % news[0])
    wait_for(lambda: words_of(word_list)[0] == (first, "trovata"), "the list saying %s is found" % first)

    # An error: a letter of no word. The news gives the errors left; the message
    # box takes the focus; Enter closes it and the focus is back on a cell.
    # (A held key is one press: the window tests hold Space over a real
    # message box; Xvfb does not repeat a key that the test holds down.)
    filler = next((r, c) for r in range(len(grid)) for c in range(len(grid[0])) if (r, c) not in word_cells)
    mark = len(heard)
    ring.play(*filler)
    wait_for(lambda: "Errore: ne puoi commettere ancora 1" in announcements(mark), "the news of an error")
    wait_for(lambda: ("focus", "push button", "OK") in heard[mark:], "the message box's button focused")
    mark_box = len(heard)
    keys("Return")
    wait_for(lambda: focus_after(mark_box) and focus_after(mark_box)[-1] == ("table cell", grid[filler[0]][filler[1]]),
             "the focus back on the ring's cell after the message box")
    errors_named = [n for kind, role, n in heard[mark:] if kind == "name" and n.startswith("Errori ammissibili")]
    check(errors_named == ["Errori ammissibili: 1"], "the errors left changed name once: %s" % errors_named)
    # No noise: while nothing is played the clock ticks on, and only its value changes name.
    mark_quiet = len(heard)
    pump(3.5)
    quiet = [name for kind, role, name in heard[mark_quiet:] if kind == "name"]
    check(quiet and all(name.startswith("Tempo rimasto") for name in quiet) and len(quiet) <= 5,
          "in 3.5 seconds of a ticking clock, only the time left changed name: %s" % quiet)

    # The other words; the last one wins the round.
    mark = len(heard)
    for word, _ in words[1:]:
        for row, col in lines_of[word]:
            if (row, col) not in lines_of[first]:
                ring.play(row, col)
    wait_for(lambda: "Complimenti! Preparati per la manche numero 2" in announcements(mark), "the news of the round won")
    # The last word's news comes just before it, and is heard as well.
    last = announcements(mark)[-2:]
    check(len(last) == 2 and last[0].startswith("Parola trovata: " + words[-1][0] + ", "),
          "the last word's news, then the round's: %s" % last)
    wait_for(lambda: ("focus", "push button", "OK") in heard[mark:], "the round-won box's button focused")
    mark_box = len(heard)
    keys("Return")
    wait_for(lambda: focus_after(mark_box) and focus_after(mark_box)[-1][0] == "table cell", "the focus on a cell of round 2")
    wait_for(lambda: table.childCount > 42, "the larger table of round 2")

    check(game.poll() is None, "the game still runs")
    return finish()


if __name__ == "__main__":
    sys.exit(main())
