#!/usr/bin/python3
"""Turns one module's demo session into what the demo page shows.

  render.py session DIR     DIR holds audio.raw (44100 Hz, s16le, stereo, as recorded from the
                            sink), marks.json ([{"label": ..., "frame": capture frame}]) and
                            frames.json ([{"label": ..., "png": file}]); writes audio.wav,
                            waveform.png and strip.png into DIR
  render.py page OUT TITLE MODULE...
                            writes OUT/index.html over the sessions OUT/MODULE/
"""
import html
import json
import os
import struct
import sys
import wave

from PIL import Image, ImageDraw, ImageFont

RATE = 44100
PANEL_BG = (0xF4, 0xF4, 0xF0)


def read_raw(path):
    with open(path, "rb") as f:
        data = f.read()
    frames = len(data) // 4
    left = struct.unpack("<%dh" % (frames * 2), data[: frames * 4])[0::2]
    return data[: frames * 4], left


def write_wav(path, data):
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


def waveform(path, left, marks, width=1200, height=220):
    img = Image.new("RGB", (width, height + 40), (255, 255, 255))
    d = ImageDraw.Draw(img)
    font = ImageFont.load_default()
    n = max(1, len(left))
    mid = height // 2
    d.line([(0, mid), (width, mid)], fill=(220, 220, 220))
    per = max(1, n // width)
    for x in range(width):
        chunk = left[x * per:(x + 1) * per]
        if not chunk:
            break
        lo, hi = min(chunk), max(chunk)
        d.line([(x, mid - hi * mid // 32768), (x, mid - lo * mid // 32768)], fill=(40, 90, 160))
    seconds = n / RATE
    for s in range(int(seconds) + 1):
        x = int(s * RATE / per)
        d.line([(x, height), (x, height + 5)], fill=(0, 0, 0))
        d.text((x + 2, height + 4), "%d s" % s, fill=(0, 0, 0), font=font)
    for m in marks:
        x = int(m["frame"] / per)
        d.line([(x, 0), (x, height)], fill=(200, 30, 30))
        d.text((x + 3, height + 20), m["label"], fill=(200, 30, 30), font=font)
    img.save(path)


def strip(path, frames, session_dir, scale=4):
    font = ImageFont.load_default()
    tiles = []
    for f in frames:
        im = Image.open(os.path.join(session_dir, f["png"])).convert("RGB")
        im = im.resize((im.width * scale, im.height * scale), Image.NEAREST) if im.width < 64 else im
        tiles.append((im, f["label"]))
    if not tiles:
        Image.new("RGB", (10, 10), PANEL_BG).save(path)
        return
    cell = max(max(t[0].width for t in tiles), 110) + 16
    h = max(t[0].height for t in tiles) + 40
    img = Image.new("RGB", (cell * len(tiles), h), PANEL_BG)
    d = ImageDraw.Draw(img)
    for i, (im, label) in enumerate(tiles):
        x = i * cell + (cell - im.width) // 2
        img.paste(im, (x, 8))
        tw = d.textlength(label, font=font)
        d.text((i * cell + (cell - tw) / 2, im.height + 16), label, fill=(0, 0, 0), font=font)
    img.save(path)


def session(dir_):
    data, left = read_raw(os.path.join(dir_, "audio.raw"))
    write_wav(os.path.join(dir_, "audio.wav"), data)
    with open(os.path.join(dir_, "marks.json")) as f:
        marks = json.load(f)
    with open(os.path.join(dir_, "frames.json")) as f:
        frames = json.load(f)
    waveform(os.path.join(dir_, "waveform.png"), left, marks)
    strip(os.path.join(dir_, "strip.png"), frames, dir_)


def page(out, title, modules):
    parts = ["<!doctype html><html><head><meta charset='utf-8'><title>%s</title>" % html.escape(title),
             "<style>body{font-family:sans-serif;margin:2em;max-width:1300px}"
             "img.px{image-rendering:pixelated}pre{background:#f4f4f0;padding:1em;overflow:auto;"
             "max-height:24em}section{border-top:1px solid #ccc;margin-top:2em}</style></head><body>",
             "<h1>%s</h1>" % html.escape(title),
             "<p>Each gauge was loaded into the stand-in panel host under Wine and pressed as a "
             "pilot would. Below each: what the panel showed after every step, what was heard "
             "(presses marked in red), and the host's transcript.</p>"]
    for m in modules:
        d = os.path.join(out, m)
        with open(os.path.join(d, "transcript.txt"), encoding="utf-8", errors="replace") as f:
            transcript = f.read()
        about = ""
        if os.path.exists(os.path.join(d, "about.txt")):
            with open(os.path.join(d, "about.txt")) as f:
                about = f.read()
        parts += ["<section id='%s'><h2>%s</h2>" % (html.escape(m), html.escape(m)),
                  "<p>%s</p>" % html.escape(about),
                  "<h3>The gauge after each step</h3><img src='%s/strip.png' alt='frames of %s'>" % (m, m),
                  "<h3>What was heard</h3><audio controls preload='metadata' src='%s/audio.wav'></audio><br>" % m,
                  "<img src='%s/waveform.png' alt='waveform of %s'>" % (m, m),
                  "<h3>Transcript</h3><pre>%s</pre></section>" % html.escape(transcript)]
    parts.append("</body></html>")
    with open(os.path.join(out, "index.html"), "w", encoding="utf-8") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "session":
        session(sys.argv[2])
    elif len(sys.argv) >= 4 and sys.argv[1] == "page":
        page(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        print(__doc__)
        sys.exit(2)
