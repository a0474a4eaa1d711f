// The sound player's decisions that need no platform: what an end event does under each notify
// mode, when the event window is registered, and the table of temporary files. The Windows part
// (player_win32.cpp) feeds them DirectShow's events and the file system's answers.
#pragma once
#include <cstdint>

#include "player/player.h"

// Sizes of the player's texts, in characters, terminator included.
constexpr int player_text_chars = 256;
constexpr int player_temp_slots = 24;
// Every extracted name is the folder, "Res", four hex digits and ".tmp".
constexpr int player_temp_name_extra = 11;

// Event codes of the graph that end a playback: EC_COMPLETE and EC_USERABORT.
constexpr long player_event_complete = 1;
constexpr long player_event_user_abort = 2;

enum class PlayerEndAction { none, seek_to_start, mark_ended };

// What one queued event does to the current playback.
PlayerEndAction player_end_action(NotifyMode mode, long code, int looping);

// Whether a start hands the graph the event window: under looping_only a single playback is
// never told to notify, so its end is never seen.
bool player_registers_window(NotifyMode mode, int looping);

// One graph's event queue as the drain sees it. `get_event` returns a negative status when the
// queue is empty; `free_event` is called for every event taken.
struct PlayerEventSource {
    void* context;
    int32_t (*get_event)(void* context, long* code, intptr_t* param1, intptr_t* param2);
    void (*free_event)(void* context, long code, intptr_t param1, intptr_t param2);
    void (*seek_to_start)(void* context);
};

// Takes every queued event, acts on each end event once, and returns the negative status that
// ended the drain. `playing` is cleared when a single playback ends under every_start.
int32_t player_drain(const PlayerEventSource& source, NotifyMode mode, int looping, int* playing);

// The temporary copies of embedded sounds, in the order written.
struct PlayerTempFiles {
    int32_t count;
    char names[player_temp_slots][player_text_chars];
};

// Whether a temporary folder of `length` characters (GetTempPathA's result: 0 on failure, the
// needed size when the buffer was too small) leaves room for a whole name in one slot.
bool player_temp_folder_fits(uint32_t length);

// The next free slot, cleared, or none when all slots are taken. The slot counts only once
// player_temp_commit is called.
char* player_temp_reserve(PlayerTempFiles& table);
void player_temp_commit(PlayerTempFiles& table);

// Hands every used name to `remove`, in slot order, and empties the table. Returns how many.
int player_temp_clear(PlayerTempFiles& table, void (*remove)(const char* name));
