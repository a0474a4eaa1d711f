// The five gauge modules, each loaded by the stand-in host as the simulator loads it, driven
// through their press scenarios with what was played read back from the recording.
// The host runs in this process; its current folder holds the Sound folder a panel author fills.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "gauge/host_abi.h"
#include "host/host.h"
#include "tests/support/capture.h"
#include "tests/support/wave_gen.h"

namespace {

const std::string dist = VEMBLE_DIST_DIR;

std::string module_path(const char* name) { return dist + "/" + name + ".gau"; }

// The sound is a steady 440 Hz tone well below the click's level; the click is a burst of
// noise whose peak stands far above the tone.
constexpr double tone_hz = 440;
constexpr int tone_amplitude = 6000;
constexpr int click_threshold = 9500;
constexpr int tone_threshold = 2500;
// The recording lags what was played: a sound started at a mark is heard by mark + lag.
constexpr int lag_ms = 400;

bool write_tone(const char* path, double seconds) {
    ToneSpec t;
    t.rate = 44100;
    t.frequency = tone_hz;
    t.seconds = seconds;
    t.amplitude = tone_amplitude;
    return write_bytes(path, make_tone_wav(t));
}

// The click file of toggle_loop and toggle_latched: the same wave the other three embed.
bool write_click_file(const char* path) {
    HMODULE m = LoadLibraryExA(module_path("toggle_once").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = m ? FindResourceA(m, "CLICK", MAKEINTRESOURCEA(10)) : nullptr;
    HGLOBAL g = r ? LoadResource(m, r) : nullptr;
    const uint8_t* p = g ? static_cast<const uint8_t*>(LockResource(g)) : nullptr;
    bool ok = p && write_bytes(path, std::vector<uint8_t>(p, p + SizeofResource(m, r)));
    if (m) FreeLibrary(m);
    return ok;
}

class HostModules : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryA("host_run", nullptr);
        CreateDirectoryA("host_run\\Sound", nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA("host_run"));
        ASSERT_TRUE(write_tone("Sound\\engine.wav", 0.6));
        ASSERT_TRUE(write_tone("Sound\\loop.wav", 0.5));
        ASSERT_TRUE(write_tone("Sound\\long.wav", 1.6));
        ASSERT_TRUE(write_bytes("Sound\\notmedia.wav", std::vector<uint8_t>(4000, 'x')));
        ASSERT_TRUE(write_click_file("Sound\\clickme.wav"));
    }
    void SetUp() override {
        host_set_echo(false);
        host_take_messages();
    }
    void TearDown() override {
        if (host_loaded()) host_unload();
        // Every routine of every module removed its own arguments, as __stdcall does.
        EXPECT_EQ(host_convention_fault_count(), 0);
        if (HasFailure()) printf("%s", host_transcript().c_str());
    }
};

// A stretch of the recording, with the frames of each event in it.
struct Tape {
    int64_t start = capture_now();
    std::vector<int64_t> marks;
    std::vector<int16_t> samples;
    int mark() {
        marks.push_back(capture_now() - start);
        return int(marks.size()) - 1;
    }
    void finish() {
        int64_t end = capture_now() - start;
        samples = capture_window(start, int((end * 1000) / capture_rate) + lag_ms + 200);
    }
    int64_t at(int mark_index, int ms) const {
        return (mark_index < 0 ? 0 : marks[size_t(mark_index)]) + int64_t(ms) * capture_rate / 1000;
    }
    std::vector<int16_t> between(int64_t from, int64_t to) const {
        from = std::max<int64_t>(0, from);
        to = std::min<int64_t>(int64_t(samples.size()), to);
        return from < to ? std::vector<int16_t>(samples.begin() + from, samples.begin() + to) : std::vector<int16_t>();
    }
    // Bursts above the click threshold, at least 30 ms apart.
    int clicks(int64_t from, int64_t to) const {
        auto s = between(from, to);
        int n = 0;
        int64_t last = -capture_rate;
        for (size_t i = 0; i < s.size(); ++i)
            if (std::abs(int(s[i])) > click_threshold) {
                if (int64_t(i) - last > capture_rate * 30 / 1000) ++n;
                last = int64_t(i);
            }
        return n;
    }
    // Milliseconds, in 10 ms blocks, in which the 440 Hz tone sounds (Goertzel amplitude).
    int tone_ms(int64_t from, int64_t to) const {
        auto s = between(from, to);
        const int block = capture_rate / 100;
        const double k = 2 * std::cos(2 * 3.14159265358979 * tone_hz / capture_rate);
        int ms = 0;
        for (size_t b = 0; b + block <= s.size(); b += block) {
            double q1 = 0, q2 = 0;
            for (int i = 0; i < block; ++i) {
                double q0 = k * q1 - q2 + s[b + i];
                q2 = q1;
                q1 = q0;
            }
            double amplitude = 2 * std::sqrt(std::max(0.0, q1 * q1 + q2 * q2 - k * q1 * q2)) / block;
            ms += amplitude > tone_threshold ? 10 : 0;
        }
        return ms;
    }
};

double indicator() {
    double v = -1;
    uint32_t id = 0;
    host_indicator(&v, &id);
    return v;
}

std::vector<std::string> message_texts() {
    std::vector<std::string> out;
    for (const HostMessage& m : host_take_messages()) out.push_back(m.text);
    return out;
}

using Texts = std::vector<std::string>;

TEST_F(HostModules, ToggleOnceEndsByItselfAndItsIndicatorDropsToOff) {
    ASSERT_TRUE(host_load(module_path("toggle_once").c_str()));
    ASSERT_TRUE(host_install("engine.wav[100]"));
    EXPECT_EQ(message_texts(), Texts{});
    std::string tip;
    EXPECT_TRUE(host_tooltip(&tip));
    EXPECT_EQ(tip, "Toggle engine.wav");
    Tape tape;
    int start = tape.mark();
    EXPECT_EQ(host_press(5, 5), 1);
    EXPECT_EQ(indicator(), 1.0);
    host_wait(1300);
    EXPECT_EQ(indicator(), 0.0);
    int again = tape.mark();
    host_press(5, 5);  // from off: starts again
    host_wait(250);
    int stop = tape.mark();
    host_press(5, 5);  // while on: stops
    EXPECT_EQ(indicator(), 0.0);
    host_wait(900);
    tape.finish();
    host_kill();
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_GE(tape.tone_ms(tape.at(start, 0), tape.at(again, 0)), 450);
    EXPECT_LE(tape.tone_ms(tape.at(start, 0), tape.at(again, 0)), 750);
    EXPECT_EQ(tape.clicks(tape.at(start, 0), tape.at(again, 0)), 1);
    EXPECT_EQ(tape.clicks(tape.at(again, 0), tape.at(stop, lag_ms)), 2);  // the start and the stop
    EXPECT_EQ(tape.tone_ms(tape.at(stop, lag_ms), tape.at(stop, 900)), 0);
}

TEST_F(HostModules, ToggleLoopKeepsPlayingAndStopsOnTheNextPress) {
    ASSERT_TRUE(host_load(module_path("toggle_loop").c_str()));
    ASSERT_TRUE(host_install("loop.wav[100]"));
    EXPECT_EQ(message_texts(), Texts{});
    Tape tape;
    int start = tape.mark();
    EXPECT_EQ(host_press(40, 40), 1);  // the click box is larger than the 21 by 21 image
    host_wait(2000);
    EXPECT_EQ(indicator(), 1.0);
    int stop = tape.mark();
    host_press(3, 3);
    EXPECT_EQ(indicator(), 0.0);
    host_wait(1000);
    tape.finish();
    host_kill();
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_EQ(tape.clicks(tape.at(start, 0), tape.at(start, lag_ms)), 1);
    // Four rounds of a 0.5 s tone, seams aside, and still sounding well after the first round.
    EXPECT_GE(tape.tone_ms(tape.at(start, 0), tape.at(stop, 0)), 900);
    EXPECT_GE(tape.tone_ms(tape.at(start, 1500), tape.at(stop, 0)), 200);
    EXPECT_EQ(tape.clicks(tape.at(stop, 0), tape.at(stop, lag_ms)), 1);
    EXPECT_EQ(tape.tone_ms(tape.at(stop, lag_ms), tape.at(stop, 1000)), 0);
}

TEST_F(HostModules, ToggleLatchedStaysOnAfterTheEnd) {
    ASSERT_TRUE(host_load(module_path("toggle_latched").c_str()));
    ASSERT_TRUE(host_install("engine.wav[100]"));
    EXPECT_EQ(message_texts(), Texts{});
    Tape tape;
    int start = tape.mark();
    host_press(10, 10);
    host_wait(1300);
    EXPECT_EQ(indicator(), 1.0);
    int off = tape.mark();
    host_press(10, 10);  // click only
    EXPECT_EQ(indicator(), 0.0);
    host_wait(700);
    int on = tape.mark();
    host_press(10, 10);  // starts again
    EXPECT_EQ(indicator(), 1.0);
    host_wait(1000);
    tape.finish();
    host_kill();
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_GE(tape.tone_ms(tape.at(start, 0), tape.at(off, 0)), 450);
    EXPECT_EQ(tape.tone_ms(tape.at(start, 1000), tape.at(off, 0)), 0);
    EXPECT_EQ(tape.clicks(tape.at(off, 0), tape.at(on, 0)), 1);
    EXPECT_EQ(tape.tone_ms(tape.at(off, 0), tape.at(on, 0)), 0);
    EXPECT_EQ(tape.clicks(tape.at(on, 0), tape.at(on, lag_ms)), 1);
    EXPECT_GE(tape.tone_ms(tape.at(on, 0), tape.at(on, 1000)), 450);
}

TEST_F(HostModules, PushOnceIgnoresPressesWhilePlayingNotEvenAClick) {
    ASSERT_TRUE(host_load(module_path("push_once").c_str()));
    ASSERT_TRUE(host_install("long.wav[100]"));
    Tape tape;
    int start = tape.mark();
    EXPECT_EQ(host_press(5, 5), 1);
    EXPECT_EQ(indicator(), 1.0);
    host_wait(300);
    int ignored = tape.mark();
    host_press(5, 5);
    for (int i = 0; i < 5; ++i) {  // held down: the repeat events of its mask
        EXPECT_EQ(host_mouse(5, 5, 0x00200000), 1);
        host_wait(50);
    }
    host_wait(1600);
    EXPECT_EQ(indicator(), 0.0);
    int after = tape.mark();
    host_press(5, 5);
    EXPECT_EQ(indicator(), 1.0);
    host_wait(500);
    tape.finish();
    host_kill();
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_EQ(tape.clicks(tape.at(start, 0), tape.at(after, 0)), 1);
    EXPECT_GE(tape.tone_ms(tape.at(ignored, 0), tape.at(ignored, 1000)), 900);
    EXPECT_EQ(tape.clicks(tape.at(after, 0), tape.at(after, lag_ms)), 1);
    EXPECT_GE(tape.tone_ms(tape.at(after, 0), tape.at(after, 700)), 200);
}

TEST_F(HostModules, PushSilentNeverClicks) {
    ASSERT_TRUE(host_load(module_path("push_silent").c_str()));
    ASSERT_TRUE(host_install("engine.wav[100]"));
    EXPECT_EQ(message_texts(), Texts{});
    Tape tape;
    int start = tape.mark();
    host_press(5, 5);
    EXPECT_EQ(indicator(), 1.0);
    host_wait(1200);
    EXPECT_EQ(indicator(), 0.0);
    host_press(5, 5);
    host_wait(900);
    tape.finish();
    host_kill();
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_EQ(tape.clicks(tape.at(start, 0), int64_t(tape.samples.size())), 0);
    EXPECT_GE(tape.tone_ms(tape.at(start, 0), int64_t(tape.samples.size())), 900);
}

TEST_F(HostModules, KillDuringPlaybackSilencesAndUnloadLeavesNoWindowBehind) {
    ASSERT_TRUE(host_load(module_path("toggle_loop").c_str()));
    ASSERT_TRUE(host_install("loop.wav[100]"));
    Tape tape;
    host_press(5, 5);
    host_wait(700);
    int kill = tape.mark();
    EXPECT_TRUE(host_kill());
    host_wait(900);
    tape.finish();
    host_unload();
    EXPECT_EQ(host_window_count(), 0);
    EXPECT_TRUE(host_broadcast());
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_EQ(tape.tone_ms(tape.at(kill, lag_ms), tape.at(kill, 900)), 0);
}

// Each module told the panel author once, at install, what is missing.
struct MessageCase {
    const char* module;
    const char* parameters;
    bool click_file;
    Texts expected;
};

TEST_F(HostModules, MessagesAsAPanelAuthorSeesThem) {
    const MessageCase cases[] = {
        {"toggle_once", "missing.wav", true, {"sound not installed"}},
        {"push_once", "notmedia.wav[80]", true, {"sound not installed"}},
        {"push_silent", "", true, {"sound not installed"}},
        {"toggle_latched", "missing.wav", true, {"sound not installed"}},
        {"toggle_loop", "engine.wav", false, {"clickme.wav file not installed"}},
        {"toggle_latched", "engine.wav", false, {"clickme.wav file not installed"}},
        {"toggle_loop", "notmedia.wav", false, {"clickme.wav file not installed", "sound not installed"}},
        {"toggle_loop", "engine.wav", true, {}},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " \"" + c.parameters + "\"");
        if (!c.click_file) {
            ASSERT_TRUE(MoveFileA("Sound\\clickme.wav", "clickme.away"));
        }
        ASSERT_TRUE(host_load(module_path(c.module).c_str()));
        ASSERT_TRUE(host_install(c.parameters));
        EXPECT_EQ(message_texts(), c.expected);
        host_press(5, 5);
        host_wait(100);
        host_kill();
        host_unload();
        EXPECT_EQ(message_texts(), Texts{});  // once, at install only
        if (!c.click_file) {
            ASSERT_TRUE(MoveFileA("clickme.away", "Sound\\clickme.wav"));
        }
    }
}

TEST_F(HostModules, MissingClickFileMeansPressesWithoutAClick) {
    ASSERT_TRUE(MoveFileA("Sound\\clickme.wav", "clickme.away"));
    ASSERT_TRUE(host_load(module_path("toggle_latched").c_str()));
    ASSERT_TRUE(host_install("engine.wav[100]"));
    EXPECT_EQ(message_texts(), Texts{"clickme.wav file not installed"});
    Tape tape;
    host_press(5, 5);
    EXPECT_EQ(indicator(), 1.0);
    host_wait(900);
    tape.finish();
    host_kill();
    ASSERT_TRUE(MoveFileA("clickme.away", "Sound\\clickme.wav"));
    if (!capture_available()) GTEST_SKIP() << "no recording";
    EXPECT_EQ(tape.clicks(0, int64_t(tape.samples.size())), 0);
    EXPECT_GE(tape.tone_ms(0, int64_t(tape.samples.size())), 450);
}

TEST_F(HostModules, ParameterStringsAtTheEdges) {
    const std::string long_name(996, 'a');
    const std::string long_text = long_name + "[50]";  // 1000 characters
    struct Case { const char* module; std::string parameters; std::string tooltip; } cases[] = {
        {"toggle_once", long_text, "Toggle " + long_name},
        {"push_once", long_text, "Toggle " + long_name},
        {"toggle_loop", "", "Toggle "},
        {"push_silent", "", "Toggle "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " parameters of " + std::to_string(c.parameters.size()));
        ASSERT_TRUE(host_load(module_path(c.module).c_str()));
        ASSERT_TRUE(host_install(c.parameters.c_str()));
        EXPECT_EQ(message_texts(), Texts{"sound not installed"});
        std::string tip;
        EXPECT_TRUE(host_tooltip(&tip));
        EXPECT_EQ(tip, c.tooltip);
        EXPECT_EQ(host_press(5, 5), 1);
        host_update();
        host_kill();
        host_unload();
    }
}

TEST_F(HostModules, FreeLibraryThenBroadcastDoesNotCrash) {
    for (const char* m : {"toggle_once", "toggle_loop", "push_once", "toggle_latched", "push_silent"}) {
        SCOPED_TRACE(m);
        ASSERT_TRUE(host_load(module_path(m).c_str()));
        ASSERT_TRUE(host_install("engine.wav[0]"));
        host_press(5, 5);  // a graph and its event window exist now
        host_wait(100);
        host_kill();
        host_unload();
        EXPECT_EQ(host_window_count(), 0);
        EXPECT_TRUE(host_broadcast());
    }
}

// What the panel shows for each value: the image the value picks, less its pure black.
struct ImageCase {
    const char* module;
    int size;
    bool corners_show_panel;
    uint32_t lit_off, lit_on;  // a colour that must appear in the off and the on picture, 0: any
};

bool has_colour(const HostImage& img, uint32_t c) {
    for (uint32_t p : img.pixels)
        if (p == c) return true;
    return false;
}

TEST_F(HostModules, IndicatorImagesOverThePanel) {
    const ImageCase cases[] = {
        {"toggle_once", 23, false, 0xBFC3C2, 0x4374FF},
        {"push_once", 23, false, 0xFFC000, 0x00C000},
        {"push_silent", 23, false, 0xFFC000, 0x00C000},
        {"toggle_loop", 21, true, 0xE7F1F9, 0x02E490},
        {"toggle_latched", 21, true, 0, 0xFFD37D},
    };
    for (const ImageCase& c : cases) {
        SCOPED_TRACE(c.module);
        ASSERT_TRUE(host_load(module_path(c.module).c_str()));
        ASSERT_TRUE(host_install("long.wav[0]"));
        for (int value = 0; value < 2; ++value) {
            double v;
            uint32_t id;
            ASSERT_TRUE(host_indicator(&v, &id));
            EXPECT_EQ(v, double(value));
            EXPECT_EQ(id, 4112u + value);
            HostImage img;
            ASSERT_TRUE(host_compose(&img));
            ASSERT_EQ(img.width, c.size);
            ASSERT_EQ(img.height, c.size);
            int panel = 0;
            for (uint32_t p : img.pixels) panel += p == host_panel_grey;
            if (c.corners_show_panel) {
                EXPECT_EQ(img.pixels[0], host_panel_grey);
                EXPECT_EQ(img.pixels.back(), host_panel_grey);
                EXPECT_LT(panel, c.size * 2);
            } else {
                EXPECT_EQ(panel, 0);
            }
            if (uint32_t lit = value ? c.lit_on : c.lit_off) {
                EXPECT_TRUE(has_colour(img, lit));
            }
            host_press(5, 5);
        }
        host_kill();
        host_unload();
    }
}

}  // namespace

namespace {

std::vector<unsigned> entries_of(const std::vector<PanelsCall>& calls, uint32_t root, uint32_t* second_sum) {
    std::vector<unsigned> out;
    *second_sum = 0;
    for (const PanelsCall& c : calls) {
        out.push_back(c.arg_count && c.args[0] == root ? c.entry : 1000 + c.entry);
        if (c.arg_count == 2) *second_sum += c.args[1];
    }
    return out;
}

// Each header routine hands the root element to its entry of the routine table, and passes on
// the word it was given.
TEST_F(HostModules, HeaderRoutinesCallTheirEntriesWithTheRootElement) {
    for (const char* m : {"toggle_once", "toggle_loop", "push_once", "toggle_latched", "push_silent"}) {
        SCOPED_TRACE(m);
        ASSERT_TRUE(host_load(module_path(m).c_str()));
        GAUGEHDR* g = host_gauge();
        uint32_t root = uint32_t(uintptr_t(g->elements_list[0]));
        uint32_t module = uint32_t(uintptr_t(host_module()));
        uint32_t words;
        host_take_calls();
        ASSERT_TRUE(host_install("engine.wav[0]"));
        EXPECT_EQ(entries_of(host_take_calls(), root, &words), (std::vector<unsigned>{24, 25, 26}));
        EXPECT_EQ(words, module);
        ASSERT_TRUE(host_update());
        EXPECT_EQ(entries_of(host_take_calls(), root, &words), (std::vector<unsigned>{27, 28, 29}));
        EXPECT_EQ(words, 1u);  // the generate phase
        ASSERT_TRUE(host_kill());
        EXPECT_EQ(entries_of(host_take_calls(), root, &words), (std::vector<unsigned>{31}));
        host_unload();
    }
}

TEST_F(HostModules, ARoutineThatLeavesItsArgumentsIsReported) {
    int before = host_convention_fault_count();
    ASSERT_TRUE(host_load(VEMBLE_CDECL_GAUGE));
    ASSERT_TRUE(host_install("x"));  // six gauge callbacks, each leaving 12 bytes
    EXPECT_EQ(host_convention_fault_count() - before, 6);
    EXPECT_NE(host_transcript().find("CONVENTION: the gauge callback removed 0 bytes of its 12 bytes"), std::string::npos);
    host_unload();
    host_reset_convention_faults();
}

TEST_F(HostModules, ModulesThatAreNoGaugeAreRefusedClearly) {
    EXPECT_FALSE(host_load("missing.gau"));
    EXPECT_NE(host_transcript().find("load missing.gau: the module does not load"), std::string::npos);
    EXPECT_FALSE(host_load("kernel32.dll"));
    EXPECT_NE(host_transcript().find("load kernel32.dll: the module lacks the export Linkage and ImportTable"),
              std::string::npos);
    EXPECT_FALSE(host_loaded());
}

}  // namespace
