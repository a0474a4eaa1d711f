// The player's event window: its procedure and the drain that runs inside it. Only the window
// system calls these; the player's caller uses the operations of player.h.
#pragma once
#include <windows.h>

#include <cstdint>

LRESULT CALLBACK player_window_proc(HWND window, UINT message, WPARAM first, LPARAM second);
// The negative status of the GetEvent call that ended the drain (also when there is no graph).
int32_t player_drain_events();
