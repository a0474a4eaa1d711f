#include "player/player_logic.h"

#include <cstring>

PlayerEndAction player_end_action(NotifyMode mode, long code, int looping) {
    if (code != player_event_complete && code != player_event_user_abort) {
        return PlayerEndAction::none;
    }
    if (mode == NotifyMode::looping_only || looping == 1) return PlayerEndAction::seek_to_start;
    return PlayerEndAction::mark_ended;
}

bool player_registers_window(NotifyMode mode, int looping) {
    return mode == NotifyMode::every_start || looping == 1;
}

int32_t player_drain(const PlayerEventSource& source, NotifyMode mode, int looping, int* playing) {
    for (;;) {
        long code = 0;
        intptr_t param1 = 0;
        intptr_t param2 = 0;
        int32_t status = source.get_event(source.context, &code, &param1, &param2);
        if (status < 0) return status;
        source.free_event(source.context, code, param1, param2);
        switch (player_end_action(mode, code, looping)) {
            case PlayerEndAction::seek_to_start: source.seek_to_start(source.context); break;
            case PlayerEndAction::mark_ended: *playing = 0; break;
            case PlayerEndAction::none: break;
        }
    }
}

bool player_temp_folder_fits(uint32_t length) {
    return length > 0 && length + player_temp_name_extra < uint32_t(player_text_chars);
}

char* player_temp_reserve(PlayerTempFiles& table) {
    if (table.count < 0 || table.count >= player_temp_slots) return nullptr;
    char* slot = table.names[table.count];
    std::memset(slot, 0, player_text_chars);
    return slot;
}

void player_temp_commit(PlayerTempFiles& table) {
    if (table.count >= 0 && table.count < player_temp_slots) table.count += 1;
}

int player_temp_clear(PlayerTempFiles& table, void (*remove)(const char* name)) {
    int removed = 0;
    for (int i = 0; i < table.count && i < player_temp_slots; ++i) {
        remove(table.names[i]);
        table.names[i][0] = '\0';
        ++removed;
    }
    table.count = 0;
    return removed;
}
