#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The desktop program under a real window manager (openbox on Xvfb), as a user meets it.

  check_window_manager.py placement PROGRAM   ten close/start cycles with "Save all" leave the
                                              window where it was; a saved place off every
                                              screen comes back onto the screen
  check_window_manager.py icon PROGRAM        the window carries the theme's icon of the program
                                              (_NET_WM_ICON), or the built-in one without it
  check_window_manager.py two-windows PROGRAM a second start opens its window beside the first;
                                              a hand-off to the older one raises and focuses it
Exits 77 (skipped) when Xvfb, openbox or the X tools are missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN = (1280, 900)
TITLE = "Quillpress - Velmora"
# How long a check waits for something that is bound to happen, even on a machine under full load.
PATIENCE = 60


def wait_for(condition, timeout=PATIENCE):
    """Polls condition() until it holds or timeout seconds have passed; whether it holds."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return bool(condition())
        time.sleep(0.1)
    return True


def skip(reason):
    print("skipped: " + reason)
    sys.exit(77)


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


class Desktop:
    """An X server of its own with openbox running on it."""

    def __enter__(self):
        for tool in ("Xvfb", "openbox", "xdotool", "xwininfo", "xprop"):
            if not shutil.which(tool):
                skip(tool + " is not installed")
        read_fd, write_fd = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    skip("Xvfb did not start")
                number += chunk
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip())
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.update(QT_QPA_PLATFORM="xcb", QT_FONT_DPI="96", LC_ALL="C.UTF-8")
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])):
            skip("openbox did not come up")
        return self

    def __exit__(self, *exc):
        for process in (self.wm, self.server):
            process.terminate()
            process.wait()

    def run(self, command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True).stdout

    def windows(self, title=TITLE):
        """The visible windows with this title that look like main windows (not the splash)."""
        found = []
        for line in self.run(["xdotool", "search", "--onlyvisible", "--name", title]).split():
            info = self.info(line)
            if info.get("Width", 0) > 500 and info.get("Map State") == "IsViewable":
                found.append(line)
        return found

    def info(self, window):
        values = {}
        for line in self.run(["xwininfo", "-id", window]).splitlines():
            key, _, value = line.strip().partition(":")
            value = value.strip()
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values

    def position(self, window):
        info = self.info(window)
        return info["Absolute upper-left X"], info["Absolute upper-left Y"]


class Program:
    """The desktop program started in a program folder of its own."""

    def __init__(self, desktop, program, home):
        self.desktop = desktop
        self.program = program
        self.home = home
        self.processes = []

    def start(self, *arguments):
        """Starts the program; its process and its main window once the window manager manages it
        (the window is in the client list and has its frame). The checks wait for where the
        window ends up themselves."""
        before = set(self.desktop.windows())
        process = subprocess.Popen([self.program, *arguments], cwd=self.home,
                                   env=dict(self.desktop.env, QUILLPRESS_HOME=self.home),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        new = []

        def managed():
            new[:] = [w for w in self.desktop.windows() if w not in before]
            return new and new[0] in stacking(self.desktop) and "=" in self.desktop.run(
                ["xprop", "-id", new[0], "_NET_FRAME_EXTENTS"])

        if not wait_for(managed):
            fail("no main window appeared" if not new else "the window manager did not take the window")
        return process, new[0]

    def close(self, process, window):
        """Closes the window as the window manager's close box does, and waits for the end."""
        self.desktop.run(["xdotool", "windowactivate", "--sync", window])
        self.desktop.run(["xdotool", "key", "--clearmodifiers", "alt+F4"])
        try:
            process.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            process.kill()
            fail("the program did not end after its window was closed")

    def stop_all(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()


def read_ini(path):
    data = open(path, "rb").read()
    text = data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("utf-8")
    values, section = {}, ""
    for line in text.splitlines():
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            key, _, value = line.partition("=")
            values[section + "/" + key] = value
    return values


def write_start_configuration(home, left, top):
    with open(os.path.join(home, "Auto.qpcf"), "w", newline="") as f:
        f.write("[SP]\r\nPF=0\r\nPB=594\r\nPH=646\r\nPT=%d\r\nPL=%d\r\n[AS]\r\nN=0\r\nA=1\r\n" % (top, left))


def check_placement(program):
    with Desktop() as desktop, tempfile.TemporaryDirectory() as home:
        quillpress = Program(desktop, program, home)
        try:
            write_start_configuration(home, 62, 80)
            seen = []
            for cycle in range(10):
                process, window = quillpress.start()
                wait_for(lambda: desktop.position(window) == (62, 80))
                seen.append(desktop.position(window))
                quillpress.close(process, window)
                saved = read_ini(os.path.join(home, "Auto.qpcf"))
                saved_at = (int(saved["SP/PL"]), int(saved["SP/PT"]))
                if seen[-1] != (62, 80) or saved_at != (62, 80):
                    fail("cycle %d: window at %s, saved %s; expected (62, 80) for both (so far %s)"
                         % (cycle + 1, seen[-1], saved_at, seen))
            print("ten cycles, the window stayed at", seen[0])

            # A place above and left of the screen, as an older start may have saved it.
            write_start_configuration(home, -900, -200)
            process, window = quillpress.start()

            def on_screen():
                x, y = desktop.position(window)
                return 0 <= x < SCREEN[0] - 100 and 0 <= y < SCREEN[1] - 100

            wait_for(on_screen)
            x, y = desktop.position(window)
            quillpress.close(process, window)
            if not (0 <= x < SCREEN[0] - 100 and 0 <= y < SCREEN[1] - 100):
                fail("a window saved off the screen came up at (%d, %d)" % (x, y))
            print("a window saved at (-900, -200) came up at", (x, y))
        finally:
            quillpress.stop_all()


def window_icons(desktop, window):
    """The pictures of _NET_WM_ICON: a list of (width, height, ARGB values)."""
    out = desktop.run(["xprop", "-id", window, "-f", "_NET_WM_ICON", "32c", " = $0+", "_NET_WM_ICON"])
    if " = " not in out:
        return []
    numbers = [int(n) for n in out.split(" = ", 1)[1].replace(",", " ").split()]
    icons = []
    while len(numbers) >= 2:
        width, height = numbers[0], numbers[1]
        icons.append((width, height, numbers[2:2 + width * height]))
        numbers = numbers[2 + width * height:]
    return icons


def check_icon(program):
    red = 0xFFFF0000
    if not shutil.which("convert"):
        skip("ImageMagick's convert is not installed")
    with Desktop() as desktop, tempfile.TemporaryDirectory() as home:
        # An icon theme whose icon of the program is plain red, found through XDG_DATA_DIRS.
        themed = os.path.join(home, "share")
        for size in (32, 48):
            folder = os.path.join(themed, "icons", "hicolor", "%dx%d" % (size, size), "apps")
            os.makedirs(folder)
            subprocess.run(["convert", "-size", "%dx%d" % (size, size), "xc:red",
                            os.path.join(folder, "quillpress.png")], check=True)
        with open(os.path.join(themed, "icons", "hicolor", "index.theme"), "w") as f:
            f.write("[Icon Theme]\nName=Hicolor\nDirectories=32x32/apps,48x48/apps\n\n"
                    "[32x32/apps]\nSize=32\nType=Fixed\n\n[48x48/apps]\nSize=48\nType=Fixed\n")
        empty = os.path.join(home, "empty")
        os.makedirs(empty)
        for data_dirs, expect_red in ((themed, True), (empty, False)):
            desktop.env["XDG_DATA_DIRS"] = data_dirs
            desktop.env["XDG_DATA_HOME"] = empty
            quillpress = Program(desktop, program, home)
            try:
                process, window = quillpress.start()
                wait_for(lambda: window_icons(desktop, window))
                icons = window_icons(desktop, window)
                quillpress.close(process, window)
            finally:
                quillpress.stop_all()
            if not icons:
                fail("the window has no _NET_WM_ICON (data folders %s)" % data_dirs)
            all_red = all(set(pixels) == {red} for _, _, pixels in icons)
            if all_red != expect_red:
                fail("with data folders %s the icon is %s" % (data_dirs, "the theme's" if all_red else "the built-in one"))
            print("data folders", data_dirs, "->", "theme icon" if all_red else "built-in icon",
                  [(w, h) for w, h, _ in icons])


def stacking(desktop):
    """The client windows from bottom to top, as decimal ids."""
    out = desktop.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"])
    return [str(int(w, 16)) for w in out.split("#", 1)[1].replace(",", " ").split()] if "#" in out else []


def active(desktop):
    out = desktop.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"])
    return str(int(out.split("#", 1)[1].split(",")[0], 16)) if "#" in out else ""


def check_two_windows(program):
    with Desktop() as desktop, tempfile.TemporaryDirectory() as home:
        quillpress = Program(desktop, program, home)
        try:
            first_process, first = quillpress.start()
            second_process, second = quillpress.start()

            def apart_and_second_on_top():
                (x1, y1), (x2, y2) = desktop.position(first), desktop.position(second)
                order = stacking(desktop)
                return ((abs(x1 - x2) >= 16 or abs(y1 - y2) >= 16) and order.index(second) > order.index(first)
                        and active(desktop) == second)

            wait_for(apart_and_second_on_top)
            at_first, at_second = desktop.position(first), desktop.position(second)
            if abs(at_first[0] - at_second[0]) < 16 and abs(at_first[1] - at_second[1]) < 16:
                fail("the second window opened over the first: %s and %s" % (at_first, at_second))
            print("first window at", at_first, "second at", at_second)
            order = stacking(desktop)
            if order.index(second) < order.index(first) or active(desktop) != second:
                fail("the newer window is not on top and active before the hand-off")

            # A hand-off goes to the older window, which the newer one covers.
            configuration = os.path.join(home, "handed.qpcf")
            with open(configuration, "w") as f:
                f.write("[PBED]\r\ned_name=handed\r\n")
            hand = subprocess.run([program, configuration], cwd=home, timeout=PATIENCE,
                                  env=dict(desktop.env, QUILLPRESS_HOME=home))
            if hand.returncode != 0:
                fail("the handing start ended with %d" % hand.returncode)
            if not wait_for(lambda: stacking(desktop).index(first) > stacking(desktop).index(second)
                            and active(desktop) == first):
                order = stacking(desktop)
                fail("after the hand-off the older window is %s and %s" % (
                    "above" if order.index(first) > order.index(second) else "below the newer one",
                    "active" if active(desktop) == first else "not active"))
            print("after the hand-off the older window is on top and active")
            quillpress.close(second_process, second)
            quillpress.close(first_process, first)
        finally:
            quillpress.stop_all()


def main():
    checks = {"placement": check_placement, "icon": check_icon, "two-windows": check_two_windows}
    if len(sys.argv) != 3 or sys.argv[1] not in checks:
        print(__doc__)
        sys.exit(2)
    checks[sys.argv[1]](os.path.abspath(sys.argv[2]))


if __name__ == "__main__":
    main()
