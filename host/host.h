// The stand-in panel host: loads one gauge module (.gau) and does with it what the simulator's
// panel system does, recording every call for a transcript. One module at a time; all calls on
// the thread that loaded it (the panel thread).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/script.h"

struct GAUGEHDR;

// One call that the module made into the host's routine table.
struct PanelsCall {
    double ms;
    unsigned entry;
    uint32_t args[2];
    unsigned arg_count;
};

// A message box the module showed, answered by the watcher.
struct HostMessage {
    double ms;
    std::string text;
    std::string caption;
};

struct HostImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, rows from the top
};

constexpr uint32_t host_panel_grey = 0x808890;

// Output: every transcript line goes to the transcript text and, when echo is on, to stdout.
void host_set_echo(bool echo);
const std::string& host_transcript();
double host_now_ms();

bool host_load(const char* path);
bool host_loaded();
// Calls into the module whose routine did not remove its own arguments (not __stdcall).
int host_convention_fault_count();
void host_reset_convention_faults();
GAUGEHDR* host_gauge();
void* host_module();
void host_unload();

bool host_install(const char* parameters);
bool host_kill();
bool host_service(int32_t service, uint32_t extra);
// The mouse functions called for an event at x,y: -1 when nothing is installed.
int host_mouse(int x, int y, uint32_t event);
int host_press(int x, int y);
bool host_update();
bool host_indicator(double* value, uint32_t* image_id);
bool host_tooltip(std::string* text);
// The gauge as the panel shows it over panel grey. Writes NAME.png and NAME-x8.png when name
// is given.
bool host_compose(HostImage* image);
bool host_frame(const char* name);
void host_wait(unsigned ms);

// Calls into the routine table since the last take; messages shown since the last take.
std::vector<PanelsCall> host_take_calls();
std::vector<HostMessage> host_take_messages();
// Drops the transcript and the records kept so far (they keep their storage): a long soak
// measures the module, not the host's records.
void host_forget();

// The process's top-level windows, and a broadcast of a harmless message to all of them.
int host_window_count();
bool host_broadcast();

// Timing mode: medians of install+kill, a starting and a stopping press and an indicator call,
// each beside a floor measured in the same run. Soak mode: install/press/kill cycles with the
// handle value, window count and committed private memory at start and end.
int host_bench(const char* parameters, int rounds);
int host_soak(const char* parameters, int cycles);

// Runs a script. Returns 0 when every step worked and every expectation held.
int host_run_script(const std::vector<ScriptStep>& steps);
