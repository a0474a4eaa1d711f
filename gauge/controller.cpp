// The gauge controller. One GaugeState per loaded module: a module serves one live gauge.
#include "gauge/controller.h"

#include <cstring>

#include "click/click.h"
#include "gauge/host_abi.h"
#include "gauge/notice.h"
#include "gauge/variant.h"
#include "player/player.h"

namespace {

constexpr int32_t click_attenuation = -500;
constexpr int32_t default_volume_percent = 90;
constexpr size_t sound_prefix_length = sizeof(gauge_sound_prefix) - 1;
constexpr char sound_not_installed[] = "sound not installed";

struct GaugeState {
    ClickBuffer click_buffer;
    const char* prepared_path;
    char sound_path[gauge_sound_path_size];
    char* parameter_text;
    char* tooltip_text;
    char* bracket;
    int32_t volume_percent;
    int32_t attenuation;
    uint32_t indicator_on;
    bool installed;  // between an install and its kill
};

GaugeState gauge_state = {nullptr, nullptr, ".\\\\Sound\\\\", nullptr, nullptr, nullptr, 0, 0, 0, false};

// A header without parameter text is read as an empty text; nothing is ever written into it.
char gauge_empty_text[1];

// atoi's reading (blanks, optional sign, digits), saturating instead of wrapping.
int32_t read_percent(const char* s) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = (*s++ == '-');
    int64_t value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > INT32_MAX) {
            value = INT32_MAX + int64_t{1};
            if (!negative) return INT32_MAX;
        }
    }
    if (negative) value = -value;
    return value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

void compose_sound_path(const char* file_name) {
    if (std::strlen(gauge_state.sound_path) > sound_prefix_length) return;
    size_t length = std::strlen(file_name);
    if (sound_prefix_length + length >= sizeof(gauge_state.sound_path)) return;
    std::memcpy(gauge_state.sound_path + sound_prefix_length, file_name, length + 1);
}

void gauge_kill() {
    player_close();
    if (gauge_state.click_buffer) click_release(gauge_state.click_buffer);
    click_close();
    gauge_state.click_buffer = nullptr;
    gauge_state.prepared_path = nullptr;
    gauge_state.installed = false;
}

void gauge_install(GAUGEHDR* header, ModuleHandle module) {
    const VariantSettings& v = vemble_variant;
    // A second install without a kill would open both services twice.
    if (gauge_state.installed) gauge_kill();
    gauge_state.installed = true;

    click_open(module);
    gauge_state.click_buffer = click_load(v.click_name);
    if (!gauge_state.click_buffer && v.click_missing_message) gauge_notice(v.click_missing_message);
    if (gauge_state.click_buffer) click_set_volume(gauge_state.click_buffer, click_attenuation);

    player_open(module, 0, 0, 0, 0);

    char* text = header && header->parameters ? header->parameters : gauge_empty_text;
    gauge_state.parameter_text = text;
    gauge_state.tooltip_text = text;
    gauge_state.bracket = gauge_parse_parameters(text, &gauge_state.volume_percent);
    gauge_state.attenuation = gauge_volume_to_attenuation(gauge_state.volume_percent);

    size_t before = std::strlen(gauge_state.sound_path);
    compose_sound_path(text);
    // A file name too long for the player's path is refused, not cut.
    bool refused = before == sound_prefix_length && text[0] != '\0' &&
                   std::strlen(gauge_state.sound_path) == sound_prefix_length;
    gauge_state.prepared_path = refused ? nullptr : player_prepare(gauge_state.sound_path);
    if (!gauge_state.prepared_path) gauge_notice(sound_not_installed);
}

}  // namespace

char* gauge_parse_parameters(char* text, int32_t* volume_percent) {
    if (char* close = std::strrchr(text, ']')) *close = '\0';
    char* open = std::strchr(text, '[');
    if (open) {
        *volume_percent = read_percent(open + 1);
        *open = '\0';
    } else {
        *volume_percent = default_volume_percent;
    }
    return open;
}

int32_t gauge_volume_to_attenuation(int32_t volume_percent) {
    int64_t attenuation = int64_t{volume_percent} * 100 - 10000;
    if (attenuation > 0) return 0;
    if (attenuation < -10000) return -10000;
    return static_cast<int32_t>(attenuation);
}

void gauge_service(GAUGEHDR* header, int32_t service, uintptr_t extra) {
    if (service == PANEL_SERVICE_PRE_INSTALL) {
        gauge_install(header, reinterpret_cast<ModuleHandle>(extra));
    } else if (service == PANEL_SERVICE_PRE_KILL) {
        if (gauge_state.installed) gauge_kill();
    }
}

int gauge_press() {
    const VariantSettings& v = vemble_variant;
    if (v.press_mode == PressMode::start_only && player_is_playing()) return 0;
    if (v.click_on_press && gauge_state.click_buffer) click_play(gauge_state.click_buffer, 0);
    if (v.press_mode == PressMode::toggle) {
        player_stop();
        if (gauge_state.indicator_on == 0) {
            if (gauge_state.prepared_path)
                player_start(gauge_state.prepared_path, v.play_mode == PlayMode::loop ? 1 : 0);
            player_set_volume(gauge_state.attenuation);
            gauge_state.indicator_on = 1;
        } else {
            gauge_state.indicator_on = 0;
        }
    } else {
        if (gauge_state.prepared_path) player_start(gauge_state.prepared_path, 0);
        player_set_volume(gauge_state.attenuation);
    }
    return 0;
}

double gauge_indicator() {
    switch (vemble_variant.indicator_mode) {
    case IndicatorMode::toggle_state:
        break;
    case IndicatorMode::toggle_state_until_end:
        if (!player_is_playing()) gauge_state.indicator_on = 0;
        break;
    case IndicatorMode::playback_state:
        gauge_state.indicator_on = player_is_playing() ? 1 : 0;
        break;
    }
    return gauge_state.indicator_on ? 1.0 : 0.0;
}

const char* gauge_tooltip_arg() {
    return gauge_state.tooltip_text;
}
