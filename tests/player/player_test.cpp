// The player against the real DirectShow under Wine (every_start): replacement, attenuation,
// what prepare refuses, embedded sounds, formats, COM ownership, the event window's life, and
// that 200 full cycles leave nothing behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "player/player_logic.h"
#include "tests/player/player_wine.h"
#include "tests/support/capture.h"

namespace {

std::vector<char> file_bytes(const char* path) {
    std::vector<char> bytes;
    FILE* f = std::fopen(path, "rb");
    if (!f) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

bool file_exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

TEST(Player, StartWhilePlayingReplacesTheSound) {
    const std::string long_tone = write_tone("replace_long.wav", 3.0, 440);
    const std::string short_tone = write_tone("replace_short.wav", 0.3, 1000);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    player_set_volume(0);  // the attenuation outlives a close: set it for what is measured
    ASSERT_NE(player_prepare(long_tone.c_str()), nullptr);
    int64_t mark = capture_now();
    ASSERT_EQ(player_start(long_tone.c_str(), 0), 1);
    pump_messages_for(300);
    ASSERT_EQ(player_start(short_tone.c_str(), 0), 1);
    // The end that is seen is the short sound's: the long one was discarded.
    EXPECT_TRUE(wait_for_end(1500));
    auto samples = capture_window(mark, 3500);
    auto late = capture_window(mark + capture_rate * 3 / 2, 1500);
    EXPECT_EQ(player_close(), 1);

    if (!capture_available()) GTEST_SKIP() << "no recording (VEMBLE_AUDIO unset)";
    // Some of the first, then the second (0.3 s); the first going on would sound for 3 s and
    // fill the late window.
    int sounding = capture_sounding_ms(samples, 2000);
    EXPECT_GT(sounding, 250);
    EXPECT_LT(sounding, 1100);
    EXPECT_LT(capture_peak(late), 500);
}

TEST(Player, AttenuationIsAppliedAtStartAndWhilePlaying) {
    const std::string tone = write_tone("volume.wav", 0.5, 440, 8000);
    const std::string held = write_tone("volume_held.wav", 1.6, 440, 8000);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    ASSERT_NE(player_prepare(tone.c_str()), nullptr);
    auto level_at = [&](int32_t attenuation) {
        EXPECT_EQ(player_set_volume(attenuation), 1);
        int64_t mark = capture_now();
        EXPECT_EQ(player_start(tone.c_str(), 0), 1);
        wait_for_end(1500);
        return capture_peak(capture_window(mark, 2500));
    };
    int full = level_at(0);
    int attenuated = level_at(-1000);
    int clamped = level_at(500);  // above 0 is full volume

    // Lowered while playing: the second half is silent.
    EXPECT_EQ(player_set_volume(0), 1);
    int64_t mark = capture_now();
    ASSERT_EQ(player_start(held.c_str(), 0), 1);
    pump_messages_for(800);
    EXPECT_EQ(player_set_volume(-10000), 1);
    wait_for_end(1500);
    int held_ms = capture_sounding_ms(capture_window(mark, 3000), 800);
    EXPECT_EQ(player_close(), 1);

    if (!capture_available()) GTEST_SKIP() << "no recording (VEMBLE_AUDIO unset)";
    // -10 dB is amplitude x0.316: 8000 gives 2530 (2541 measured on this platform). The
    // recording keeps levels true; 10 % covers the mixer's resampling and rounding.
    EXPECT_NEAR(full, 8000, 800);
    EXPECT_NEAR(clamped, 8000, 800);
    EXPECT_NEAR(attenuated, 2530, 253);
    EXPECT_NEAR(double(attenuated) / full, 0.316, 0.035);
    EXPECT_GT(held_ms, 500);
    EXPECT_LT(held_ms, 1200);
}

TEST(Player, WhatCannotBeRenderedIsRefusedAndThePlayerStaysUsable) {
    write_bytes("not_media.txt", std::vector<uint8_t>(1000, 'x'));
    const std::string good = write_tone("usable.wav", 0.2);
    const std::string too_long = std::string(300, 'a') + ".wav";
    const int res_before = count_res_files();
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    for (const char* path : {"no_such_sound.wav", "not_media.txt", too_long.c_str()}) {
        EXPECT_EQ(player_prepare(path), nullptr) << path;
        EXPECT_EQ(player_start(path, 0), 0) << path;
        EXPECT_EQ(player_is_playing(), 0) << path;
        EXPECT_EQ(player_stop(), 1);
        // A later try with a playable file works.
        EXPECT_EQ(player_start(good.c_str(), 1), 1) << path;
        EXPECT_EQ(player_is_playing(), 1);
        EXPECT_EQ(player_start(path, 1), 0) << path;
        EXPECT_EQ(player_is_playing(), 0);
    }
    EXPECT_EQ(player_prepare(good.c_str()), good.c_str());
    EXPECT_EQ(count_res_files(), res_before);
    EXPECT_EQ(player_close(), 1);
    DeleteFileA("not_media.txt");
}

TEST(Player, EmbeddedSoundIsPlayedFromATemporaryFileThatCloseDeletes) {
    HRSRC found = FindResourceA(nullptr, embedded_tone_name, MAKEINTRESOURCEA(10));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::vector<char> resource(bytes, bytes + SizeofResource(nullptr, found));

    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    const char* name = player_prepare(embedded_tone_name);
    ASSERT_NE(name, nullptr);
    const std::string copy = name;
    EXPECT_EQ(copy.rfind(temp_folder() + "Res", 0), 0u) << copy;
    EXPECT_EQ(file_bytes(name), resource);
    ASSERT_EQ(player_start(name, 0), 1);
    EXPECT_TRUE(wait_for_end(1500));
    EXPECT_EQ(player_close(), 1);
    EXPECT_FALSE(file_exists(copy.c_str()));
}

TEST(Player, ExtractionsBeyondTheTableOrTheFolderAreRefused) {
    const int res_before = count_res_files();
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    std::vector<std::string> names;
    for (int i = 0; i < player_temp_slots; ++i) {
        const char* name = player_prepare(embedded_tone_name);
        ASSERT_NE(name, nullptr) << i;
        names.push_back(name);
    }
    EXPECT_EQ(player_prepare(embedded_tone_name), nullptr);
    EXPECT_EQ(count_res_files(), res_before + player_temp_slots);
    EXPECT_EQ(player_close(), 1);
    EXPECT_EQ(count_res_files(), res_before);
    for (const auto& n : names) EXPECT_FALSE(file_exists(n.c_str())) << n;

    // A temporary folder that leaves no room for the name.
    char saved[MAX_PATH] = {};
    DWORD had = GetEnvironmentVariableA("TMP", saved, MAX_PATH);
    const std::string deep = "C:\\" + std::string(250, 'd');
    SetEnvironmentVariableA("TMP", deep.c_str());
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    EXPECT_EQ(player_prepare(embedded_tone_name), nullptr);
    EXPECT_EQ(player_close(), 1);
    SetEnvironmentVariableA("TMP", had ? saved : nullptr);
    EXPECT_EQ(count_res_files(), res_before);
}

struct FormatCase {
    uint32_t rate;
    uint16_t channels;
    uint16_t bits;
};

TEST(Player, CommonPcmFormsAndMp3Play) {
    std::vector<std::string> paths;
    for (uint16_t bits : {8, 16})
        for (uint16_t channels : {1, 2})
            for (uint32_t rate : {11025u, 22050u, 44100u}) {
                ToneSpec t;
                t.rate = rate;
                t.channels = channels;
                t.bits = bits;
                t.seconds = 0.3;
                char name[64];
                std::snprintf(name, sizeof name, "form_%u_%u_%u.wav", bits, channels, rate);
                ASSERT_TRUE(write_bytes(name, make_tone_wav(t)));
                paths.push_back(name);
            }
#ifdef VEMBLE_TEST_MP3
    paths.push_back(VEMBLE_TEST_MP3);
#else
    ADD_FAILURE() << "lame was not found at build time: no MP3 to play";
#endif
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    player_set_volume(0);
    for (const auto& p : paths) {
        ASSERT_EQ(player_prepare(p.c_str()), p.c_str()) << p;
        int64_t mark = capture_now();
        ASSERT_EQ(player_start(p.c_str(), 0), 1) << p;
        EXPECT_TRUE(wait_for_end(2000)) << p;
        auto samples = capture_window(mark, 900);
        if (capture_available()) {
            EXPECT_GT(capture_peak(samples), 6000) << p;
            EXPECT_GE(capture_sounding_ms(samples, 2000), 200) << p;
        }
    }
    EXPECT_EQ(player_close(), 1);
}

struct ApartmentRun {
    const char* tone;
    int opened, prepared, started, ended, closed;
    HRESULT after;
};

DWORD WINAPI run_in_own_apartment(void* p) {
    ApartmentRun& r = *static_cast<ApartmentRun*>(p);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    r.opened = player_open(this_module(), 0, 0, 0, 0);
    r.prepared = player_prepare(r.tone) != nullptr;
    r.started = player_start(r.tone, 0);
    r.ended = wait_for_end(1500);
    r.closed = player_close();
    r.after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // still the thread's own
    CoUninitialize();
    CoUninitialize();
    return 0;
}

// COM is balanced: the player ends only what it began, and works on a thread whose apartment
// was chosen before it.
TEST(Player, ComIsEndedOnlyWhenThePlayerBeganIt) {
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    EXPECT_EQ(player_close(), 1);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);  // the player left nothing initialised

    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);  // S_FALSE inside: ours stays
    EXPECT_EQ(player_close(), 1);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();

    const std::string tone = write_tone("apartment.wav", 0.2);
    ApartmentRun r = {tone.c_str(), 0, 0, 0, 0, 0, 0};
    HANDLE thread = CreateThread(nullptr, 0, run_in_own_apartment, &r, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
    EXPECT_EQ(r.opened, 1);
    EXPECT_EQ(r.prepared, 1);
    EXPECT_EQ(r.started, 1);
    EXPECT_EQ(r.ended, 1);
    EXPECT_EQ(r.closed, 1);
    EXPECT_EQ(r.after, S_FALSE);
}

TEST(Player, CloseEndsPlaybackAndRemovesTheEventWindowAndItsClass) {
    const std::string tone = write_tone("close.wav", 0.3);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    EXPECT_NE(FindWindowA("EventNotify", nullptr), nullptr);
    EXPECT_TRUE(event_class_registered());
    ASSERT_EQ(player_start(tone.c_str(), 1), 1);
    pump_messages_for(200);
    EXPECT_EQ(player_close(), 1);
    EXPECT_EQ(player_is_playing(), 0);
    EXPECT_EQ(FindWindowA("EventNotify", nullptr), nullptr);
    EXPECT_FALSE(event_class_registered());
    // Whatever the released graph still posted has nowhere to go.
    pump_messages_for(600);

    // A later open in the same module starts afresh, and a single playback ends again.
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    EXPECT_EQ(player_is_playing(), 0);
    ASSERT_EQ(player_start(tone.c_str(), 0), 1);
    EXPECT_TRUE(wait_for_end(1500));
    EXPECT_EQ(player_close(), 1);
}

TEST(Player, NotificationsOfAReplacedGraphAreHarmless) {
    const std::string blip = write_tone("stale_blip.wav", 0.1);
    const std::string tone = write_tone("stale_tone.wav", 1.0);
    ASSERT_EQ(player_open(this_module(), 0, 0, 0, 0), 1);
    HWND window = FindWindowA("EventNotify", nullptr);
    ASSERT_NE(window, nullptr);
    // With only the first graph, a notification finds an empty queue.
    PostMessageA(window, WM_APP + 1, 0, 0);
    pump_messages_for(50);
    EXPECT_EQ(player_is_playing(), 0);

    // The blip ends and its notification waits undispatched while the next start replaces it.
    ASSERT_EQ(player_start(blip.c_str(), 0), 1);
    Sleep(600);
    ASSERT_EQ(player_start(tone.c_str(), 0), 1);
    pump_messages_for(300);
    EXPECT_EQ(player_is_playing(), 1);  // the blip's end did not end the tone
    PostMessageA(window, WM_APP + 1, 0, 0);
    pump_messages_for(50);
    EXPECT_EQ(player_is_playing(), 1);
    EXPECT_TRUE(wait_for_end(2000));

    // A stopped graph and its queue stay safe to drain.
    ASSERT_EQ(player_start(blip.c_str(), 0), 1);
    EXPECT_EQ(player_stop(), 1);
    PostMessageA(window, WM_APP + 1, 0, 0);
    pump_messages_for(300);
    EXPECT_EQ(player_is_playing(), 0);
    EXPECT_EQ(player_close(), 1);
}

// What the process holds, measured by hand: Wine 8 reports 0 for the usual counters.
struct Holdings {
    uintptr_t next_handle;
    int windows;
    bool event_class;
    size_t committed;
    int res_files;
};

BOOL CALLBACK count_own_window(HWND window, LPARAM counter) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

Holdings measure_holdings() {
    Holdings h = {};
    // Handles are handed out from the lowest free slot: a leak pushes the next one up.
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    h.next_handle = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    EnumWindows(count_own_window, reinterpret_cast<LPARAM>(&h.windows));
    h.event_class = event_class_registered();
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) h.committed += info.RegionSize;
        if (static_cast<const char*>(info.BaseAddress) + info.RegionSize < at) break;
    }
    h.res_files = count_res_files();
    return h;
}

void full_cycle() {
    player_open(this_module(), 0, 0, 0, 0);
    const char* path = player_prepare(embedded_tone_name);
    player_start(path, 0);
    pump_messages_for(0);
    player_stop();
    player_close();
}

TEST(Player, TwoHundredCyclesLeaveNothingBehind) {
    const int res_before = count_res_files();
    // The platform grows while its first graphs are built (GStreamer and its threads' heaps).
    for (int i = 0; i < 20; ++i) full_cycle();
    Holdings before = measure_holdings();
    Holdings half = {};
    DWORD started = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        full_cycle();
        if (i == 99) half = measure_holdings();
    }
    DWORD took = GetTickCount() - started;
    Holdings after = measure_holdings();
    std::printf("200 cycles in %lu ms: next handle %#lx -> %#lx, windows %d -> %d, class %d -> %d, "
                "committed private %lu -> %lu -> %lu KiB, Res files %d -> %d\n",
                took, (unsigned long)before.next_handle, (unsigned long)after.next_handle,
                before.windows, after.windows, before.event_class, after.event_class,
                (unsigned long)(before.committed / 1024), (unsigned long)(half.committed / 1024),
                (unsigned long)(after.committed / 1024), before.res_files, after.res_files);

    EXPECT_EQ(after.windows, before.windows);
    EXPECT_FALSE(after.event_class);
    EXPECT_EQ(after.res_files, res_before);
    // A graph kept alive holds about 64 handles; a single kept handle per cycle would move the
    // next handle up by 200 slots.
    EXPECT_LE(after.next_handle, before.next_handle + 4 * 4);
    // A graph kept alive costs about 6 MiB here. The platform itself still grows by a few MiB
    // over the first hundred cycles (GStreamer's per-thread heaps fill up) and then settles:
    // the second hundred are the steady measure, with 1 MiB of slack for the heap (the bare
    // platform drifted by 192 KiB over 150 cycles), far below one kept graph.
    EXPECT_LT(half.committed, before.committed + 12 * 1024 * 1024);
    EXPECT_LT(after.committed, half.committed + 1024 * 1024);
}

}  // namespace
