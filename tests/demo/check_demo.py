#!/usr/bin/python3
"""Checks the demo's output as a reader would meet it.

  check_demo.py quick OUT   runs the demo for one module with one press into OUT and checks the
                            page, the images, the audio and the transcript
  check_demo.py guide OUT   tries every gaugeNN= line of the guide and of panel.cfg.example in
                            the stand-in host: each must run without a problem
"""
import html.parser
import os
import re
import struct
import subprocess
import sys
import tempfile
import wave

from PIL import Image

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEMO = os.path.join(TOP, "tools", "demo", "demo.py")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links = []

    def handle_starttag(self, tag, attrs):
        for k, v in attrs:
            if k in ("src", "href") and v and not v.startswith("#"):
                self.links.append(v)


def quick(out):
    r = subprocess.run([sys.executable, DEMO, "--only", "toggle_once", "--quick", "--out", out])
    check(r.returncode == 0, "the demo runs")
    page = os.path.join(out, "index.html")
    check(os.path.exists(page), "index.html is written")
    if not os.path.exists(page):
        return
    parser = Links()
    with open(page, encoding="utf-8") as f:
        parser.feed(f.read())
    check(len(parser.links) >= 3, "the page links the strip, the waveform and the audio")
    for link in parser.links:
        check(os.path.exists(os.path.join(out, link)), "the page's link %s exists" % link)
    session = os.path.join(out, "toggle_once")
    for png in ("strip.png", "waveform.png", "1-installed.png", "2-pressed-x8.png"):
        try:
            with Image.open(os.path.join(session, png)) as im:
                im.load()
                check(im.width > 0 and im.height > 0, "%s decodes (%dx%d)" % (png, im.width, im.height))
        except Exception as e:  # noqa: BLE001 - any decoding error is the finding
            check(False, "%s decodes: %s" % (png, e))
    # The ON frame differs from the OFF frame: the press lit the annunciator.
    with Image.open(os.path.join(session, "1-installed.png")) as a, Image.open(os.path.join(session, "2-pressed.png")) as b:
        check(a.convert("RGB").tobytes() != b.convert("RGB").tobytes(), "the press changed what the panel shows")
    with open(os.path.join(session, "transcript.txt")) as f:
        transcript = f.read()
    check(re.search(r"press 5,5", transcript) is not None, "the transcript shows the press")
    check("indicator value 1" in transcript, "the transcript shows the indicator on")
    with wave.open(os.path.join(session, "audio.wav")) as w:
        frames = w.readframes(w.getnframes())
        rate = w.getframerate()
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)[0::2]
    marks = __import__("json").load(open(os.path.join(session, "marks.json")))
    check(len(marks) == 1, "one press is marked on the waveform")
    if marks:
        at = marks[0]["frame"]
        before = max((abs(s) for s in samples[max(0, at - rate // 2):at]), default=0)
        after = max((abs(s) for s in samples[at:at + rate]), default=0)
        check(before < 200, "silence before the press (peak %d)" % before)
        check(after > 3000, "sound within a second after the press (peak %d)" % after)


def guide(out):
    lines = []
    for doc in ("docs/guide.md", "docs/panel.cfg.example"):
        with open(os.path.join(TOP, doc)) as f:
            for line in f:
                m = re.search(r"(gauge\d+=[^`]+)", line)
                if m:
                    lines.append(m.group(1).strip())
    check(len(lines) >= 10, "the guide and the example hold the five modules' lines (%d lines)" % len(lines))
    with tempfile.TemporaryDirectory() as d:
        cfg = os.path.join(d, "panel.cfg")
        with open(cfg, "w") as f:
            f.write("[Window00]\n" + "\n".join(lines) + "\n")
        r = subprocess.run([sys.executable, DEMO, "--panel", cfg, "--out", out],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        text = r.stdout.decode("utf-8", "replace")
        print(text)
        check(r.returncode == 0 and "problem:" not in text, "every line runs without a problem")
        check(text.count("trying") == len(lines), "every line was tried")
        # A wrong gauge name and a missing sound are told, naming the line.
        with open(cfg, "w") as f:
            f.write("gauge00=toggle_once!other, 0, 0, 23, 23, chime.wav\n"
                    "gauge02=toggle_onse!vemble, 0, 0, 23, 23, chime.wav\n"
                    "gauge01=push_once!vemble, 0, 0, 23, 23, nowhere.wav[50]\n")
        r = subprocess.run([sys.executable, DEMO, "--panel", cfg, "--out", out + "-bad"],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        text = r.stdout.decode("utf-8", "replace")
        print(text)
        check(r.returncode != 0, "a panel with wrong lines fails")
        check(re.search(r'line 1 .*no gauge "other"', text) is not None, "the wrong gauge name is told with its line")
        check(re.search(r"line 2 .*no module toggle_onse.gau", text) is not None, "the wrong module name is told with its line")
        check(re.search(r"line 3 .*nowhere.wav is not in", text) is not None, "the missing sound is told with its line")
        check(re.search(r'line 3 .*showed "sound not installed"', text) is not None, "the gauge's own message is reported")


if __name__ == "__main__":
    {"quick": quick, "guide": guide}[sys.argv[1]](os.path.abspath(sys.argv[2]))
    print("all checks passed" if not failures else "%d checks failed" % len(failures))
    sys.exit(1 if failures else 0)
