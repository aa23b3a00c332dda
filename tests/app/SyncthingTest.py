#!/usr/bin/env python3
"""One diary on two computers kept in step by Syncthing, end to end.

Two Syncthing instances from the system's package share two diary folders over loopback only
(listening on 127.0.0.1; discovery, relays, NAT traversal, usage and crash reports and upgrades
all off), and a Velmora runs on each folder under Xvfb, each with a home, runtime and state folder
of its own (and, where user namespaces allow it, a host name of its own), so the two count as two
computers. Everything is started here and stopped on every way out; every wait is bounded.
Exits 77 (skipped) only when syncthing is not installed."""

import csv
import glob
import json
import re
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request
import xml.etree.ElementTree as ET
from datetime import date, timedelta

SKIP = 77
FOLDER = "velmora"
DIALOG = "別のコンピューターとの食い違い"

if len(sys.argv) != 2:
    sys.exit("usage: SyncthingTest.py VELMORA")
EXE = sys.argv[1]
if shutil.which("syncthing") is None:
    print("SKIP: syncthing is not installed (tools/setup.sh installs Debian's package)")
    sys.exit(SKIP)

work = tempfile.mkdtemp(prefix="velmora-sync-")
DISPLAY = []
procs = []  # every process started here, stopped on every way out


def start(args, **kwargs):
    """Starts a process in a group of its own, so that whatever it starts goes with it."""
    process = subprocess.Popen(args, start_new_session=True, **kwargs)
    procs.append(process)
    return process


def cleanup():
    for p in procs:
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    for p in procs:
        try:
            p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
    shutil.rmtree(work, ignore_errors=True)


def on_signal(number, _frame):
    raise SystemExit(128 + number)


signal.signal(signal.SIGTERM, on_signal)
signal.signal(signal.SIGINT, on_signal)


class Failure(Exception):
    pass


def log(text):
    print(text, flush=True)


def wait_for(what, check, timeout, step=0.1):
    """Polls check until it gives a true value; fails after timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(step)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run(*args, env=None, check=True, timeout=30):
    return subprocess.run(args, env=env, check=check, timeout=timeout, capture_output=True,
                          text=True).stdout


class Syncthing:
    """One instance with a home of its own, reachable only on loopback."""

    def __init__(self, name):
        self.name = name
        self.home = os.path.join(work, name, "syncthing")
        self.port = free_port()
        self.gui = free_port()
        self.env = dict(os.environ, HOME=os.path.join(work, name, "home"), STNOUPGRADE="1",
                        STNORESTART="1", STNODEFAULTFOLDER="1")
        os.makedirs(self.env["HOME"], exist_ok=True)
        run("syncthing", "generate", f"--home={self.home}", "--no-default-folder",
            "--skip-port-probing", env=self.env)
        self.id = run("syncthing", "serve", f"--home={self.home}", "--device-id",
                      env=self.env).strip()
        path = os.path.join(self.home, "config.xml")
        tree = ET.parse(path)
        root = tree.getroot()
        gui = root.find("gui")
        gui.find("address").text = f"127.0.0.1:{self.gui}"
        self.key = gui.find("apikey").text
        options = root.find("options")
        for tag, value in {
            "listenAddress": f"tcp://127.0.0.1:{self.port}",
            "globalAnnounceEnabled": "false",
            "localAnnounceEnabled": "false",
            "relaysEnabled": "false",
            "natEnabled": "false",
            "urAccepted": "-1",
            "autoUpgradeIntervalH": "0",
            "crashReportingEnabled": "false",
            "startBrowser": "false",
            "stunKeepaliveStartS": "0",
            "announceLANAddresses": "false",
        }.items():
            element = options.find(tag)
            if element is None:
                element = ET.SubElement(options, tag)
            element.text = value
        tree.write(path)

    def start(self):
        self.process = start(
            ["syncthing", "serve", f"--home={self.home}", "--no-browser", "--no-restart",
             "--no-upgrade", f"--logfile={self.home}/log"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(f"{self.name}'s Syncthing REST API", self.ping, 60, 0.3)

    def request(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        req = urllib.request.Request(f"http://127.0.0.1:{self.gui}{path}", data=data,
                                     method=method, headers={"X-API-Key": self.key,
                                                             "Content-Type": "application/json"})
        with urllib.request.urlopen(req, timeout=10) as reply:
            text = reply.read()
        return json.loads(text) if text.strip() else None

    def ping(self):
        try:
            return self.request("GET", "/rest/system/ping") == {"ping": "pong"}
        except OSError:
            return False

    def share(self, other, path):
        self.request("POST", "/rest/config/devices", {
            "deviceID": other.id, "name": other.name,
            "addresses": [f"tcp://127.0.0.1:{other.port}"], "autoAcceptFolders": False})
        self.request("POST", "/rest/config/folders", {
            "id": FOLDER, "label": "diary", "path": path, "type": "sendreceive",
            "rescanIntervalS": 5, "fsWatcherEnabled": True, "fsWatcherDelayS": 1,
            "maxConflicts": 10,
            "devices": [{"deviceID": self.id}, {"deviceID": other.id}]})

    def connected(self, other):
        connections = self.request("GET", "/rest/system/connections")["connections"]
        return connections.get(other.id, {}).get("connected", False)

    def pause(self, paused):
        self.request("PATCH", f"/rest/config/folders/{FOLDER}", {"paused": paused})


def namespaces_work():
    try:
        return run("unshare", "-r", "-u", "sh", "-c", "hostname probe && hostname",
                   check=False).strip() == "probe"
    except (OSError, subprocess.TimeoutExpired):
        return False


class Computer:
    """A Velmora on a diary folder of its own, as on a computer of its own."""

    def __init__(self, name, display, own_host):
        self.name = name
        self.dir = os.path.join(work, name, "diary")
        os.makedirs(self.dir)
        shutil.copy(EXE, os.path.join(self.dir, "Velmora"))
        # A portable folder: the diary lies beside the program.
        open(os.path.join(self.dir, "Velmora.portable"), "w").close()
        # The program itself is not the diary's: each computer has its own.
        with open(os.path.join(self.dir, ".stignore"), "w") as f:
            f.write("/Velmora\n")
        base = os.path.join(work, name)
        run_dir = os.path.join(base, "run")
        os.makedirs(run_dir, mode=0o700)
        self.state = os.path.join(base, "state")
        self.env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                        HOME=os.path.join(base, "home"), XDG_RUNTIME_DIR=run_dir,
                        XDG_STATE_HOME=self.state, XDG_CONFIG_HOME=os.path.join(base, "config"),
                        XDG_CACHE_HOME=os.path.join(base, "cache"))
        self.env.pop("SESSION_MANAGER", None)
        self.own_host = own_host
        self.process = None

    def start(self):
        exe = os.path.join(self.dir, "Velmora")
        if self.own_host:
            command = ["unshare", "-r", "-u", "sh", "-c",
                       f'hostname computer-{self.name.lower()} && exec "$0"', exe]
        else:
            command = [exe]
        with open(os.path.join(work, self.name + ".log"), "a") as errors:
            self.process = start(command, env=self.env, stdout=subprocess.DEVNULL, stderr=errors)
        self.window = wait_for(f"{self.name}'s window", lambda: self.search("^Velmora \\("), 30,
                               0.3)

    def search(self, name):
        """The visible window of this computer's program whose title matches name, or None."""
        if self.process.poll() is not None:
            raise Failure(f"{self.name}'s Velmora ended ({self.process.returncode})")
        found = run("xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid),
                    "--name", name, env=self.env, check=False).split()
        # xdotool's match is looser than the pattern: the titles are checked here.
        for window in found:
            title = run("xdotool", "getwindowname", window, env=self.env, check=False)
            if re.search(name, title):
                return window
        return None

    def keys(self, *keys):
        run("xdotool", "windowfocus", "--sync", self.window, env=self.env)
        run("xdotool", "key", "--delay", "50", *keys, env=self.env)

    def type(self, text):
        run("xdotool", "windowfocus", "--sync", self.window, env=self.env)
        run("xdotool", "type", "--delay", "20", text, env=self.env)

    def write(self, text):
        """Types text into the page shown and saves with Ctrl+S."""
        self.type(text)
        self.keys("ctrl+s")
        wait_for(f"{self.name}'s save of {text!r}", lambda: text in self.diary(), 15)

    def diary(self):
        """The text of this computer's year files."""
        # Syncthing keeps a conflict copy by renaming the year file aside before it moves the
        # other version in: between the two a listed file may be gone, and is read again.
        for _ in range(40):
            try:
                text = ""
                for path in sorted(glob.glob(os.path.join(self.dir, "[0-9][0-9][0-9][0-9].dat"))):
                    with open(path, "rb") as f:
                        text += f.read().decode("cp932", errors="replace")
                return text
            except FileNotFoundError:
                time.sleep(0.05)
        raise Failure(f"{self.name}'s year files keep vanishing")

    def day(self, marker):
        """The body text of the day holding marker, as the year file keeps it ("" for none)."""
        for line in self.diary().splitlines():
            if marker in line:
                return next(csv.reader([line]))[4]
        return ""

    def base_stamp(self):
        """When this computer last recorded what it read of the year files."""
        stamps = []
        for path in glob.glob(os.path.join(self.state, "Velmora", "*", "*.dat.base")):
            try:
                stamps.append(os.stat(path).st_mtime_ns)
            except FileNotFoundError:
                pass
        return max(stamps, default=0)

    def answer(self, key):
        """Answers every conflict the dialog shows with key; the number answered."""
        answered = 0
        while True:
            dialog = self.search(DIALOG)
            if not dialog:
                return answered
            run("xdotool", "windowfocus", "--sync", dialog, env=self.env)
            run("xdotool", "key", key, env=self.env)
            answered += 1
            time.sleep(0.5)
            if answered > 20:
                raise Failure(f"{self.name}'s conflict dialog does not close")

    def stop(self, sig=signal.SIGTERM):
        self.process.send_signal(sig)
        self.process.wait(timeout=20)


def start_display(name):
    display_file = os.path.join(work, "display-" + name)
    fd = os.open(display_file, os.O_WRONLY | os.O_CREAT, 0o600)
    start(["Xvfb", "-displayfd", str(fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
          pass_fds=(fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(fd)
    display = ":" + wait_for("an X display", lambda: open(display_file).read().strip(), 20)
    DISPLAY.append(display)
    return display


def main():
    # A display for each computer, so that each window has the keyboard of its own.
    displays = [start_display(name) for name in ("A", "B")]

    own_hosts = namespaces_work()
    log("two host names" if own_hosts else
        "one host name for both (no user namespaces): each computer's backups then share a "
        "folder name; Syncthing keeps a conflict copy of a backup both wrote, nothing is lost")
    sa, sb = Syncthing("A"), Syncthing("B")
    a, b = Computer("A", displays[0], own_hosts), Computer("B", displays[1], own_hosts)
    for st in (sa, sb):
        st.start()
    sa.share(sb, a.dir)
    sb.share(sa, b.dir)
    wait_for("the two instances to connect", lambda: sa.connected(sb) and sb.connected(sa), 60,
             0.5)

    today = date.today()
    results = []

    # Both start while the other runs; a page written on A shows on B without a restart.
    a.start()
    b.start()
    base_before = b.base_stamp()
    a.write("alpha-from-A ")
    saved = time.monotonic()
    wait_for("A's page in B's folder", lambda: "alpha-from-A" in b.diary(), 60)
    arrived = time.monotonic()
    wait_for("B to take A's page in", lambda: b.base_stamp() != base_before, 15, 0.05)
    shown = time.monotonic()
    log(f"save on A -> B's folder holds it: {arrived - saved:.2f} s; "
        f"-> B's window has taken it in: {shown - saved:.2f} s")
    # B's page shows A's text: what B types goes into that page, and B's save holds both.
    time.sleep(0.5)
    b.write("beta-on-B ")
    line = b.day("beta-on-B")
    if "alpha-from-A" not in line:
        raise Failure(f"B's page did not show A's text: {line!r}")
    wait_for("B's addition on A", lambda: "beta-on-B" in a.diary(), 60)
    results.append(("a page written on A shows on B", b.day("alpha-from-A")))

    # Different days written while the folder is paused on both sides, then resumed.
    for st in (sa, sb):
        st.pause(True)
    time.sleep(2)
    a.keys("alt+Left")
    time.sleep(0.5)
    a.write("gamma-A-yesterday ")
    b.write("delta-B-today ")
    for st in (sa, sb):
        st.pause(False)
    for c in (a, b):
        wait_for(f"both days on {c.name}",
                 lambda c=c: "gamma-A-yesterday" in c.diary() and "delta-B-today" in c.diary(),
                 90, 0.5)
    # Each side's copy holds only what the other side already had or did not touch: no question.
    time.sleep(3)
    for c in (a, b):
        if c.search(DIALOG):
            raise Failure(f"{c.name} asks about days changed on one side only")
        if "gamma-A-yesterday" not in c.diary() or "delta-B-today" not in c.diary():
            raise Failure(f"{c.name} lost a day after the copies were taken in")
    for c in (a, b):
        results.append((f"different days while paused, on {c.name}",
                        c.day("gamma") + " | " + c.day("delta")))

    # The same day written differently on both: the conflict is shown; A keeps both, B decides
    # later; no text is lost anywhere.
    for st in (sa, sb):
        st.pause(True)
    time.sleep(2)
    a.keys("alt+Home")
    time.sleep(0.5)
    a.write("epsilon-A ")
    time.sleep(1.1)
    b.write("zeta-B ")
    for st in (sa, sb):
        st.pause(False)
    wait_for("the conflict shown on A", lambda: a.search(DIALOG), 90, 0.5)
    if a.answer("alt+b") < 1:
        raise Failure("A's conflict dialog was not answered")
    for c in (a, b):
        wait_for(f"both versions on {c.name}",
                 lambda c=c: all(m in c.day("epsilon-A") for m in ("zeta-B", "別のコンピューター")),
                 90, 0.5)
    time.sleep(3)
    b.answer("alt+o")
    time.sleep(3)
    for c in (a, b):
        line = c.day("epsilon-A")
        if "zeta-B" not in line:
            raise Failure(f"{c.name} lost a version of the day: {line!r}")
    for c in (a, b):
        results.append((f"same day on both, A kept both, on {c.name}", c.day("epsilon-A")))

    # A crash on A, then B starts at once; A starts again after it.
    b.stop()
    a.stop(signal.SIGKILL)
    b.start()
    a.start()
    b.write("eta-B-after-crash ")
    wait_for("B's page on A after the crash", lambda: "eta-B-after-crash" in a.diary(), 60)
    for c in (a, b):
        c.stop()
    for c in (a, b):
        for marker in ("alpha-from-A", "beta-on-B", "gamma-A-yesterday", "delta-B-today",
                       "epsilon-A", "zeta-B", "eta-B-after-crash"):
            if marker not in c.diary():
                raise Failure(f"{marker} missing on {c.name}")
        copies = glob.glob(os.path.join(c.dir, "*sync-conflict*"))
        if copies:
            raise Failure(f"conflict copies left in {c.name}'s folder: {copies}")
    for c in (a, b):
        results.append((f"after A's crash and both restarts, on {c.name}", c.day("eta-B")))
    for what, text in results:
        log(f"{what}: {text}")
    log("PASS")


try:
    main()
except Failure as e:
    print(f"FAIL: {e}", file=sys.stderr)
    if os.environ.get("VELMORA_TEST_SHOTS"):
        for i, d in enumerate(DISPLAY):
            subprocess.run(["import", "-window", "root", f"{os.environ['VELMORA_TEST_SHOTS']}-{i}.png"],
                           env=dict(os.environ, DISPLAY=d))
    for name in ("A", "B"):
        path = os.path.join(work, name + ".log")
        if os.path.exists(path):
            print(f"--- {name}'s log\n" + open(path).read(), file=sys.stderr)
        diary = os.path.join(work, name, "diary")
        for root, _dirs, files in os.walk(diary):
            for file in files:
                if file != "Velmora":
                    with open(os.path.join(root, file), "rb") as f:
                        print(f"--- {os.path.relpath(os.path.join(root, file), work)}\n"
                              + f.read(2000).decode("cp932", "replace"), file=sys.stderr)
    sys.exit(1)
finally:
    cleanup()
