// What the player's Wine tests share: generated sounds on disk, waiting with the message loop
// running, and a look at the temporary folder.
#pragma once
#include <windows.h>

#include <string>

#include "player/player.h"
#include "tests/support/pump.h"
#include "tests/support/wave_gen.h"

// The raw-data resource that the test programs carry (player_test.rc.in).
constexpr const char* embedded_tone_name = "EMBEDDED_TONE";

inline ModuleHandle this_module() { return GetModuleHandleA(nullptr); }

inline std::string write_tone(const char* name, double seconds, double frequency = 440,
                              double amplitude = 8000) {
    ToneSpec t;
    t.seconds = seconds;
    t.frequency = frequency;
    t.amplitude = amplitude;
    write_bytes(name, make_tone_wav(t));
    return name;
}

// Dispatches messages until the player reports the end, or `ms` have passed. True at the end.
inline bool wait_for_end(unsigned ms) {
    for (unsigned waited = 0; waited < ms; waited += 20) {
        pump_messages_for(20);
        if (!player_is_playing()) return true;
    }
    return !player_is_playing();
}

inline std::string temp_folder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

inline int count_res_files() {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((temp_folder() + "Res*.tmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n; while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

inline bool event_class_registered() {
    WNDCLASSA wc;
    return GetClassInfoA(GetModuleHandleA(nullptr), "EventNotify", &wc) != 0;
}
