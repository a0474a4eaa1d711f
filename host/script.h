// The stand-in host's script: a short list of steps, separated by ";" or new lines.
//
//   install [TEXT]        install with TEXT as the gauge parameter string (quote it to keep
//                         ";" or blanks at its ends: install "a b.wav [50]")
//   kill | unload | load  kill the gauge / deinit and FreeLibrary / load the module again
//   press X,Y             a left single press at X,Y (gauge pixels)
//   event X,Y FLAGS       a mouse event of any flags (hex or decimal) at X,Y
//   hold X,Y MS           a press, then repeat events (0x00200000) every 50 ms for MS
//   wait MS               wait while dispatching the thread's messages
//   update                one panel frame: update, indicator, generate, draw
//   indicator | tooltip   ask and report
//   frame NAME            draw the gauge and write NAME.png and NAME-x8.png
//   service N [EXTRA]     call the gauge callback with service N
//   windows | broadcast   report the process's windows / broadcast a message to every window
//   expect-indicator V | expect-image ID | expect-tooltip TEXT | expect-message TEXT |
//   expect-no-message | expect-windows N
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class StepKind {
    install, kill, unload, load, press, event, hold, wait, update, indicator, tooltip, frame,
    service, windows, broadcast, expect_indicator, expect_image, expect_tooltip, expect_message,
    expect_no_message, expect_windows
};

struct ScriptStep {
    StepKind kind;
    std::string text;  // install, frame, expect-tooltip, expect-message
    int64_t a = 0;     // x, ms, service, value, image id, count
    int64_t b = 0;     // y, extra
    int64_t c = 0;     // flags, hold ms
    std::string source;  // the step as written, for the transcript
};

// Parses the whole script. On error returns false with a message naming the step.
bool script_parse(const std::string& text, std::vector<ScriptStep>* steps, std::string* error);
