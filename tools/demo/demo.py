#!/usr/bin/python3
"""Tries every gauge module in the stand-in host under Wine, as a pilot would press it, and
writes what the panel showed and what was heard into one page; then packs the release.

  demo.py [--only MODULE] [--quick] [--out DIR] [--dist DIR]
  demo.py --panel PANEL.CFG [--gauges DIR] [--sound DIR] [--out DIR]

With --panel, every gaugeNN= line of the panel.cfg that names a module found in the gauge
folder (default: the modules just built) is tried with the parameter string written there.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(TOP, "build", "win32")
NATIVE = os.path.join(TOP, "build", "native")
WINE_RUN = os.path.join(TOP, "cmake", "wine-run")
RENDER = os.path.join(TOP, "tools", "demo", "render.py")
RATE = 44100
GAUGE_NAME = "vemble"

MODULES = ["toggle_once", "toggle_loop", "push_once", "toggle_latched", "push_silent"]

# What a pilot does with each module; every frame names the step it follows.
SESSIONS = {
    "toggle_once": ("chime.wav[100]",
                    "Press: the click, the chime plays once, ON lights until it has ended. "
                    "A press while ON stops it.",
                    ["frame 1-installed", "press 5,5", "wait 600", "frame 2-pressed",
                     "wait 2000", "frame 3-ended", "press 5,5", "wait 500", "frame 4-pressed",
                     "press 5,5", "wait 700", "frame 5-pressed-while-on"]),
    "toggle_loop": ("engine.wav[100]",
                    "Press: the click, the engine loops until the next press stops it.",
                    ["frame 1-installed", "press 5,5", "wait 4500", "frame 2-looping",
                     "press 5,5", "wait 900", "frame 3-pressed-again"]),
    "push_once": ("chime.wav[100]",
                  "Press: the click and the chime. A press while it plays does nothing, not "
                  "even a click; after the end a press starts it again.",
                  ["frame 1-installed", "press 5,5", "wait 500", "frame 2-pressed",
                   "press 5,5", "wait 1900", "frame 3-ended", "press 5,5", "wait 500",
                   "frame 4-pressed", "wait 1800", "frame 5-ended"]),
    "toggle_latched": ("chime.wav[100]",
                       "Press: the click and the chime once; ON stays lit after the end "
                       "until the next press turns it off.",
                       ["frame 1-installed", "press 5,5", "wait 2300", "frame 2-ended-still-on",
                        "press 5,5", "wait 700", "frame 3-pressed-off"]),
    "push_silent": ("chime.wav[100]",
                    "As push_once, without any click.",
                    ["frame 1-installed", "press 5,5", "wait 500", "frame 2-pressed",
                     "press 5,5", "wait 1900", "frame 3-ended", "press 5,5", "wait 500",
                     "frame 4-pressed", "wait 1800", "frame 5-ended"]),
}

QUICK = ["frame 1-installed", "press 5,5", "wait 800", "frame 2-pressed"]


def progress(text):
    print("==> " + text, flush=True)


def fail(text):
    print("demo: " + text, file=sys.stderr, flush=True)
    sys.exit(1)


def sample_sounds(folder):
    os.makedirs(folder, exist_ok=True)
    tool = os.path.join(NATIVE, "tools", "sample_sound", "make_sample_sounds")
    if not os.path.exists(tool):
        fail("the sample sound tool is not built: run ./run demo")
    subprocess.run([tool, folder], check=True)
    shutil.copy(os.path.join(TOP, "variants", "toggle_once", "click.wav"),
                os.path.join(folder, "clickme.wav"))


def host_exe():
    exe = os.path.join(BUILD, "host", "vemble_host.exe")
    if not os.path.exists(exe):
        fail("the stand-in host is not built (%s): run ./run demo" % exe)
    return exe


def quote(text):
    return '"' + text.replace('"', "") + '"'


def run_session(name, module_path, parameters, steps, out, sounds, about):
    """Runs one module through a script in its own folder; returns the session folder."""
    session = os.path.join(out, name)
    shutil.rmtree(session, ignore_errors=True)
    os.makedirs(session)
    if sounds:
        shutil.copytree(sounds, os.path.join(session, "Sound"))
    module = os.path.basename(module_path)
    shutil.copy(module_path, os.path.join(session, module))
    script = ["install " + quote(parameters)] + steps + ["kill", "unload"]
    with open(os.path.join(session, "script.txt"), "w") as f:
        f.write("\n".join(script) + "\n")
    with open(os.path.join(session, "about.txt"), "w") as f:
        f.write(about)
    env = dict(os.environ, VEMBLE_AUDIO="1", VEMBLE_WINE_ROOT=os.path.join(BUILD, "wine"),
               VEMBLE_CAPTURE_OUT=os.path.join(session, "audio.raw"), VEMBLE_WINE_TIMEOUT="120")
    result = subprocess.run([WINE_RUN, host_exe(), module, "--script-file", "script.txt"],
                            cwd=session, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    transcript = result.stdout.decode("utf-8", "replace")
    with open(os.path.join(session, "transcript.txt"), "w") as f:
        f.write(transcript)
    if result.returncode != 0:
        print(transcript, file=sys.stderr)
        fail("%s: the stand-in host ended with %d" % (name, result.returncode))
    describe(session, transcript)
    subprocess.run([RENDER, "session", session], check=True)
    return transcript


def describe(session, transcript):
    """marks.json and frames.json from the transcript: presses on the recording's time axis."""
    start = re.search(r"capture at frame (\d+)", transcript)
    base_frame = int(start.group(1)) if start else 0
    base_ms = float(re.search(r"^\s*([\d.]+) ms\s+capture at frame", transcript, re.M).group(1)) if start else 0.0
    marks, frames, presses = [], [], 0
    for line in transcript.splitlines():
        m = re.match(r"\s*([\d.]+) ms\s+(press \d+,\d+|frame (\S+):)", line)
        if not m:
            continue
        ms = float(m.group(1))
        if m.group(2).startswith("press"):
            presses += 1
            marks.append({"label": "press %d" % presses,
                          "frame": int(base_frame + (ms - base_ms) * RATE / 1000)})
        else:
            frames.append({"label": m.group(3), "png": m.group(3) + "-x8.png"})
    with open(os.path.join(session, "marks.json"), "w") as f:
        json.dump(marks, f)
    with open(os.path.join(session, "frames.json"), "w") as f:
        json.dump(frames, f)


def package(dist, sounds):
    progress("Packing the release into %s" % dist)
    shutil.rmtree(dist, ignore_errors=True)
    os.makedirs(os.path.join(dist, "Gauges"))
    os.makedirs(os.path.join(dist, "Sound"))
    for m in MODULES:
        shutil.copy(os.path.join(BUILD, "dist", m + ".gau"), os.path.join(dist, "Gauges"))
    for s in ("clickme.wav", "chime.wav", "engine.wav"):
        shutil.copy(os.path.join(sounds, s), os.path.join(dist, "Sound"))
    shutil.copy(os.path.join(TOP, "docs", "guide.md"), os.path.join(dist, "guide.md"))
    shutil.copy(os.path.join(TOP, "docs", "panel.cfg.example"), os.path.join(dist, "panel.cfg.example"))
    archive = os.path.join(dist, "vemble-1.0.zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for root, _, files in os.walk(dist):
            for f in sorted(files):
                path = os.path.join(root, f)
                if path != archive:
                    z.write(path, os.path.join("vemble-1.0", os.path.relpath(path, dist)))
    return archive


def panel_lines(path):
    """(line number, text, module, gauge, parameter) of every gaugeNN= line."""
    out = []
    with open(path, encoding="latin-1") as f:
        for n, line in enumerate(f, 1):
            line = line.split("//")[0].strip()
            m = re.match(r"gauge\d+\s*=\s*([^!,]+)!([^,]*)(.*)$", line, re.I)
            if not m:
                continue
            fields = [x.strip() for x in m.group(3).split(",")]
            parameter = ",".join(fields[5:]).strip() if len(fields) > 5 else ""
            out.append((n, line, m.group(1).strip(), m.group(2).strip(), parameter))
    return out


def panel_mode(args, out):
    gauges = args.gauges or os.path.join(BUILD, "dist")
    sounds = args.sound
    problems, tried = [], []
    for n, line, module, gauge, parameter in panel_lines(args.panel):
        where = "%s line %d (%s)" % (args.panel, n, line)
        path = None
        for f in os.listdir(gauges):
            if f.lower() == module.lower() + ".gau":
                path = os.path.join(gauges, f)
        if not path:
            if module.lower() in MODULES or gauge == GAUGE_NAME:
                problems.append("%s: no module %s.gau in %s" % (where, module, gauges))
            continue  # a gauge of another maker
        if gauge != GAUGE_NAME:
            problems.append('%s: the module %s has no gauge "%s"; its gauge is "%s"' % (where, module, gauge, GAUGE_NAME))
            continue
        file_name = parameter.split("[")[0] if "[" in parameter else parameter.split("]")[0]
        if sounds and not os.path.exists(os.path.join(sounds, file_name.replace("\\", "/"))):
            problems.append("%s: the sound file %s is not in %s" % (where, file_name, sounds))
        name = "line%d-%s" % (n, module)
        progress("%s: trying %s with \"%s\"" % (where, module, parameter))
        transcript = run_session(name, path, parameter, QUICK, out, sounds, "From " + where)
        for msg in re.findall(r'message box "([^"]*)"', transcript):
            problems.append('%s: the gauge showed "%s"' % (where, msg))
        tried.append(name)
    return tried, problems


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--only", choices=MODULES)
    ap.add_argument("--quick", action="store_true", help="one press per module")
    ap.add_argument("--out", default=os.path.join(TOP, "out", "demo"))
    ap.add_argument("--dist", default=os.path.join(TOP, "dist"))
    ap.add_argument("--panel", help="a panel.cfg whose gauge lines to try")
    ap.add_argument("--gauges", help="the folder of the .gau modules (with --panel)")
    ap.add_argument("--sound", help="the Sound folder to play from (with --panel)")
    args = ap.parse_args()

    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    sounds = os.path.join(out, "Sound")
    progress("Making the sample sounds")
    sample_sounds(sounds)

    if args.panel:
        if not args.sound:
            args.sound = sounds
        tried, problems = panel_mode(args, out)
        subprocess.run([RENDER, "page", out, "vemble: the gauges of " + args.panel] + tried, check=True)
        for p in problems:
            print("problem: " + p)
        print("The page: %s" % os.path.join(out, "index.html"))
        return 1 if problems else 0

    modules = [args.only] if args.only else MODULES
    for i, m in enumerate(modules, 1):
        parameters, about, steps = SESSIONS[m]
        progress("[%d/%d] %s: pressing it in the stand-in host under Wine" % (i, len(modules), m))
        run_session(m, os.path.join(BUILD, "dist", m + ".gau"), parameters,
                    QUICK if args.quick else steps, out, sounds, about)
    subprocess.run([RENDER, "page", out, "vemble: the five sound buttons, tried"] + modules, check=True)
    if not args.quick and not args.only:
        archive = package(os.path.abspath(args.dist), sounds)
        print("The release: %s" % archive)
    print("The page: %s" % os.path.join(out, "index.html"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
