#include <cstring>

#include "click/click.h"
#include "gauge/controller.h"
#include "gauge/notice.h"
#include "player/player.h"
#include "tests/gauge/fake_world.h"

FakeWorld world;

namespace {
ClickBuffer const fake_click = reinterpret_cast<ClickBuffer>(0x1234);
void log(std::string s) { world.calls.push_back(std::move(s)); }
}  // namespace

void FakeHost::install(const char* parameters) {
    std::strncpy(text, parameters, sizeof(text) - 1);
    header.parameters = text;
    gauge_service(&header, PANEL_SERVICE_PRE_INSTALL, fake_module);
}

void FakeHost::install_null() {
    header.parameters = nullptr;
    gauge_service(&header, PANEL_SERVICE_PRE_INSTALL, fake_module);
}

void FakeHost::kill() { gauge_service(&header, PANEL_SERVICE_PRE_KILL, 0); }

int click_open(ModuleHandle module) {
    log(reinterpret_cast<uintptr_t>(module) == fake_module ? "click_open" : "click_open ?");
    return 1;
}
ClickBuffer click_load(const char* name) {
    log(std::string("click_load ") + name);
    return world.click_loads ? fake_click : nullptr;
}
int click_set_volume(ClickBuffer b, int32_t a) {
    log((b == fake_click ? "click_set_volume " : "click_set_volume ? ") + std::to_string(a));
    return 1;
}
int click_play(ClickBuffer b, uint32_t flags) {
    log((b == fake_click ? "click_play " : "click_play ? ") + std::to_string(flags));
    return 1;
}
int click_release(ClickBuffer b) {
    log(b == fake_click ? "click_release" : "click_release ?");
    return 1;
}
int click_close() {
    log("click_close");
    return 1;
}

int player_open(ModuleHandle module, int32_t l, int32_t t, int32_t w, int32_t h) {
    log((reinterpret_cast<uintptr_t>(module) == fake_module ? "player_open " : "player_open ? ") +
        std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," + std::to_string(h));
    return 1;
}
const char* player_prepare(const char* path) {
    log(std::string("player_prepare ") + path);
    return world.prepare_ok ? path : nullptr;
}
int player_start(const char* path, int32_t loop) {
    log(std::string("player_start ") + path + " " + std::to_string(loop));
    world.playing = true;
    return 1;
}
int player_stop() {
    log("player_stop");
    world.playing = false;
    return 1;
}
int player_set_volume(int32_t a) {
    log("player_set_volume " + std::to_string(a));
    return 1;
}
int player_is_playing() { return world.playing ? 1 : 0; }
int player_close() {
    log("player_close");
    world.playing = false;
    return 1;
}

void gauge_notice(const char* text) { log(std::string("notice ") + text); }
