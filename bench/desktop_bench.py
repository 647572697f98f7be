#!/usr/bin/env python3
"""Desktop benchmark: runs the SDL build in a window on its own Xvfb server, with SDL's dummy
audio driver, for the title menu, a match left idle and the credits, once with --renderer gpu
and once with --renderer software, and prints side by side (medians of several runs):

  cpu %        the game's own CPU time (user + system, from /proc) as a share of one core,
               over the measured stretch of the scene
  peak MB      the process's peak resident memory (VmHWM) over the whole run
  frame mean   mean interval between dispatched frames (the trace's frame events), ms
  frame worst  longest interval between two frames, ms; frame min: the shortest
  first ms     time from exec to the first presented picture (the trace's present events)

In the match the music is switched off and on again (keys A, S) half-way through the
measured stretch, so the frame intervals include a restart of the piece; "music worst" is the
longest frame interval within a second either side of that restart ("play bgm from 0").

With --script FILE it plays a headless-style script (wait, move, click, down, up, press,
key, until; shot and dump are skipped) on the desktop build through xdotool instead, with
--renderer auto unless --renderers names one, and prints the way of presenting the game chose
and the frame cadence of each scene from the trace (kept with --keep-trace FILE). --game-arg
passes more arguments to the game (--record FILE, --dump-at-end FILE).

Needs xvfb (Xvfb) and xdotool. Not a test: it prints figures, it asserts nothing.
Usage: bench/desktop_bench.py [--build DIR] [--runs N] [--scenes title,match,credits]
                              [--renderers gpu,software] [--seconds S] [--match-seconds S]
       bench/desktop_bench.py --script bench/session.txt [--keep-trace FILE]
       bench/desktop_bench.py --script bench/computer_session.txt --game-arg=--computer
                              --game-arg=second [--game-arg=--level --game-arg=5]
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
SCALE = 2


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the whole line, 12 and 13 after the name.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def peak_rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


class Xvfb:
    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1600x1200x24", "-nolisten",
             "tcp"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            self.display = ":" + f.readline().strip()

    def close(self):
        self.proc.terminate()
        self.proc.wait()


class Game:
    def __init__(self, build, renderer, display, workdir, extra=()):
        self.trace = os.path.join(workdir, f"trace-{renderer}.jsonl")
        if os.path.exists(self.trace):
            os.remove(self.trace)
        env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy",
                   XDG_RUNTIME_DIR=workdir, HOME=workdir)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("SDL_VIDEODRIVER", None)
        cmd = [os.path.join(build, "kelmorav"), "--window", "--scale", str(SCALE), "--renderer",
               renderer, "--seed", "1", "--trace", self.trace, *extra]
        self.exec_ms = time.monotonic_ns() / 1e6
        self.proc = subprocess.Popen(cmd, env=env, stderr=subprocess.DEVNULL)
        self.env = env
        self.window = None

    def events(self):
        out = []
        try:
            with open(self.trace) as f:
                for line in f:
                    if line.endswith("\n"):
                        out.append(json.loads(line))
        except FileNotFoundError:
            pass
        return out

    def wait_for(self, key, value=None, timeout=30.0):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            for e in self.events():
                if key in e and (value is None or e[key] == value):
                    return e
            time.sleep(0.05)
        raise RuntimeError(f"the game did not reach {key}={value}")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def find_window(self):
        # The GPU way may re-create the window when it makes its renderer: look after the
        # first picture.
        self.wait_for("present")
        out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--class",
                              "kelmorav"], env=self.env, capture_output=True, text=True)
        self.window = out.stdout.split()[-1]

    def move(self, x, y):
        # Picture pixel (x, y) of the 640x480 picture in a window SCALE times as large.
        self.xdotool("mousemove", "--window", self.window, str(x * SCALE), str(y * SCALE))

    def click(self, x, y):
        self.move(x, y)
        time.sleep(0.1)
        # The game reads the buttons once a frame: the press must last longer than one.
        self.xdotool("mousedown", "--window", self.window, "1")
        time.sleep(0.1)
        self.xdotool("mouseup", "--window", self.window, "1")

    def key(self, name):
        self.xdotool("keydown", "--window", self.window, name)
        time.sleep(0.2)
        self.xdotool("keyup", "--window", self.window, name)

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def to_title_menu(game):
    game.find_window()
    time.sleep(0.5)
    game.click(300, 300)  # past the logo
    time.sleep(1.5)


def to_match(game):
    to_title_menu(game)
    game.click(250, 380)  # the start item
    game.wait_for("scene", 5)
    time.sleep(1.0)
    game.key("m")  # skip the opening banner
    time.sleep(1.0)


def to_credits(game):
    to_title_menu(game)
    game.click(300, 466)  # the hidden hot zone
    game.wait_for("scene", 10, timeout=20)
    time.sleep(1.0)


SCENES = {"title": to_title_menu, "match": to_match, "credits": to_credits}


def measure(build, renderer, scene, seconds, workdir):
    xvfb = Xvfb()
    game = Game(build, renderer, xvfb.display, workdir)
    try:
        SCENES[scene](game)
        pid = game.proc.pid
        cpu0, wall0 = cpu_seconds(pid), time.monotonic()
        t0 = time.monotonic_ns() / 1e6
        if scene == "match":
            time.sleep(seconds / 2)
            game.key("a")  # music off
            time.sleep(1.0)
            game.key("s")  # music on: the piece starts again from its beginning
            time.sleep(seconds / 2 - 1.0)
        else:
            time.sleep(seconds)
        cpu1, wall1 = cpu_seconds(pid), time.monotonic()
        t1 = time.monotonic_ns() / 1e6
        peak = peak_rss_mb(pid)
    finally:
        game.stop()
        xvfb.close()
    events = game.events()
    frames = [e["t"] for e in events if "frame" in e and t0 <= e["t"] <= t1]
    gaps = [b - a for a, b in zip(frames, frames[1:])]
    presents = [e["t"] for e in events if "present" in e]
    restarts = [e["t"] for e in events if e.get("mci") == "play bgm from 0" and t0 <= e["t"] <= t1]
    near = [b - a for a, b in zip(frames, frames[1:])
            if restarts and any(r - 1000 <= b and a <= r + 1000 for r in restarts)]
    return {
        "cpu %": 100.0 * (cpu1 - cpu0) / (wall1 - wall0),
        "peak MB": peak,
        "frame mean": statistics.mean(gaps) if gaps else float("nan"),
        "frame worst": max(gaps) if gaps else float("nan"),
        "frame min": min(gaps) if gaps else float("nan"),
        "music worst": max(near) if near else float("nan"),
        "first ms": presents[0] - game.exec_ms if presents else float("nan"),
        "frames": len(frames),
    }


SCENE_NUMBERS = {"SCENE_TITLE_LOAD": 1, "SCENE_TITLE": 2, "SCENE_MATCH_LOAD": 4,
                 "SCENE_MATCH": 5, "SCENE_RESULT": 6, "SCENE_MELT": 7, "SCENE_ENDING_CLOSE": 8,
                 "SCENE_ENDING_FIRE": 9, "SCENE_CREDITS": 10}
KEYS = {"ESC": "Escape"}
BUTTONS = {"left": "1", "right": "3"}


def current_scene(game):
    scene = None
    for e in game.events():
        if "scene" in e:
            scene = e["scene"]
    return scene


def play_script(game, path):
    for number, line in enumerate(open(path), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        op, args = words[0], words[1:]
        if op == "wait":
            time.sleep(int(args[0]) / 1000.0)
        elif op == "until":
            end = time.monotonic() + (int(args[1]) if len(args) > 1 else 600000) / 1000.0
            while current_scene(game) != SCENE_NUMBERS[args[0]]:
                if time.monotonic() > end:
                    raise RuntimeError(f"script line {number}: {args[0]} not reached")
                time.sleep(0.02)
        elif op == "move":
            game.move(int(args[0]), int(args[1]))
        elif op == "click":
            game.click(int(args[0]), int(args[1]))
        elif op in ("down", "up"):
            game.xdotool("mouse" + op, "--window", game.window, BUTTONS[args[0]])
        elif op == "press":
            key = KEYS.get(args[0], args[0].lower())
            game.xdotool("keydown", "--window", game.window, key)
            time.sleep((int(args[1]) if len(args) > 1 else 100) / 1000.0)
            game.xdotool("keyup", "--window", game.window, key)
        elif op == "key":
            key = KEYS.get(args[0], args[0].lower())
            game.xdotool("key" + args[1], "--window", game.window, key)
        elif op in ("shot", "dump"):
            pass
        else:
            raise RuntimeError(f"script line {number}: unknown command {op}")


def run_script(args):
    renderer = args.renderers if "," not in args.renderers else "auto"
    with tempfile.TemporaryDirectory(prefix="kelmorav-bench-") as workdir:
        xvfb = Xvfb()
        game = Game(args.build, renderer, xvfb.display, workdir, args.game_arg)
        try:
            game.find_window()
            play_script(game, args.script)
        finally:
            game.stop()
            xvfb.close()
        events = game.events()
        if args.keep_trace:
            shutil.copy(game.trace, args.keep_trace)
    for e in events:
        if "presentation" in e:
            print(f"presentation: {e['presentation']} (renderer {e['renderer'] or 'none'}, "
                  f"GL {e['gl'] or 'none'})")
    print(f"first picture presented {events[[('present' in e) for e in events].index(True)]['t'] - game.exec_ms:.0f} ms after exec")
    print(f"{'scene':20} {'frames':>7} {'mean ms':>8} {'min':>5} {'max':>5} {'presents':>9}")
    names = {v: k for k, v in SCENE_NUMBERS.items()}
    runs = []  # (scene, frame times, presents) for each visit of a scene
    for e in events:
        if "frame" in e:
            scene = e["frame"]["scene"]
            if not runs or runs[-1][0] != scene:
                runs.append((scene, [], [0]))
            runs[-1][1].append(e["t"])
        elif "present" in e and runs:
            runs[-1][2][0] += 1
    for scene, times, presents in runs:
        gaps = [b - a for a, b in zip(times, times[1:])]
        if gaps:
            print(f"{names.get(scene, scene):20} {len(times):7} {statistics.mean(gaps):8.2f} "
                  f"{min(gaps):5} {max(gaps):5} {presents[0]:9}")
        else:
            print(f"{names.get(scene, scene):20} {len(times):7} {'':8} {'':5} {'':5} "
                  f"{presents[0]:9}")
    # With the computer playing: the cadence from its hand's first move to its last (the
    # opening banner and the end of the match, which run timed loops of their own, fall
    # outside), the stretch in which its search runs beside the frames.
    hands = [e["t"] for e in events if "hand" in e]
    if hands:
        times = [e["t"] for e in events if "frame" in e and hands[0] <= e["t"] <= hands[-1]]
        gaps = sorted(b - a for a, b in zip(times, times[1:]))
        if gaps:
            print(f"computer playing: {len(times)} frames, mean {statistics.mean(gaps):.2f} ms, "
                  f"median {statistics.median(gaps)} ms, worst {gaps[-1]} ms, "
                  f"over 50 ms: {sum(g > 50 for g in gaps)}")
    voices = [e["voice"] for e in events if "voice" in e]
    print("sound voices started: " + ", ".join(f"{v} x{voices.count(v)}"
                                               for v in sorted(set(voices))))
    print(f"exit status {events[-1].get('exit')}")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--scenes", default="title,match,credits")
    parser.add_argument("--renderers", default="gpu,software")
    parser.add_argument("--seconds", type=float, default=20.0)
    parser.add_argument("--match-seconds", type=float, default=60.0)
    parser.add_argument("--script")
    parser.add_argument("--keep-trace")
    parser.add_argument("--game-arg", action="append", default=[],
                        help="with --script: one more argument for the game (repeat it), "
                             "e.g. --game-arg=--record --game-arg=FILE")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            sys.exit(f"desktop_bench: {tool} is needed (apt-get install xvfb xdotool)")
    if args.script:
        run_script(args)
        return
    renderers = args.renderers.split(",")
    scenes = args.scenes.split(",")
    results = {}
    with tempfile.TemporaryDirectory(prefix="kelmorav-bench-") as workdir:
        for run in range(args.runs):
            for scene in scenes:
                for renderer in renderers:
                    seconds = args.match_seconds if scene == "match" else args.seconds
                    r = measure(args.build, renderer, scene, seconds, workdir)
                    results.setdefault((scene, renderer), []).append(r)
                    print(f"run {run + 1} {scene:8} {renderer:9} " +
                          " ".join(f"{k}={v:.1f}" for k, v in r.items()), flush=True)
    load = open("/proc/loadavg").read().split()[:3]
    print(f"\nmedians of {args.runs} runs, --window --scale {SCALE}, Xvfb, dummy audio; "
          f"load average {' '.join(load)}")
    metrics = ["cpu %", "peak MB", "frame mean", "frame worst", "frame min", "music worst",
               "first ms"]
    header = f"{'scene':8} {'metric':12}" + "".join(f"{r:>12}" for r in renderers)
    print(header)
    print("-" * len(header))
    for scene in scenes:
        for m in metrics:
            if m == "music worst" and scene != "match":
                continue
            cells = [statistics.median(x[m] for x in results[(scene, r)]) for r in renderers]
            print(f"{scene:8} {m:12}" + "".join(f"{c:12.1f}" for c in cells))


if __name__ == "__main__":
    main()
