// Recording fakes of the click sound, the sound player and the notice, for controller tests.
// The controller keeps module-wide state, as the real module does: each test runs in a process
// of its own (ctest runs them one by one), which stands for one load of the module.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gauge/host_abi.h"

struct FakeWorld {
    std::vector<std::string> calls;  // every click, player and notice call, in order
    bool click_loads = true;         // click_load yields a buffer
    bool prepare_ok = true;          // player_prepare renders the path
    bool playing = false;            // what player_is_playing reports; a test flips it to end playback
};

extern FakeWorld world;

// A host-owned gauge header whose parameter text the controller may cut.
struct FakeHost {
    GAUGEHDR header{};
    char text[2048]{};
    void install(const char* parameters);
    void install_null();
    void kill();
};

constexpr uintptr_t fake_module = 0x10000000;
