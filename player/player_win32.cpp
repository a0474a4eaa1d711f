// SoundPlayer on DirectShow. The host's process is never ended from here: a platform failure
// undoes what the failing operation built, leaves nothing playing and returns 0, so that the
// gauge carries on silently and a later press can try again.
#include "player/player.h"

#include <windows.h>
#include <dshow.h>

#include <cstring>

#include "player/player_logic.h"
#include "player/player_window.h"

namespace {

constexpr UINT player_notify_message = WM_APP + 1;
constexpr const char* player_window_class = "EventNotify";
constexpr long player_video_style = WS_CHILD | WS_CLIPCHILDREN;

struct PlayerState {
    IGraphBuilder* graph;
    IMediaControl* control;
    IMediaEventEx* events;
    IBasicAudio* audio;
    IMediaSeeking* seeking;
    IVideoWindow* video;
    int32_t video_rect[4];
    int32_t attenuation;
    int looping;
    int playing;
    PlayerTempFiles temp;
    HWND event_window;
    HMODULE resource_module;
    HINSTANCE window_instance;
    // CoInitialize answered S_OK or S_FALSE: close owes it one CoUninitialize. A thread that
    // already chose another apartment (RPC_E_CHANGED_MODE) keeps its COM, and we use it.
    int com_owned;
};

PlayerState player_state;

template <typename T>
void player_release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// The wide form of a path, or false when it does not fit in player_text_chars.
bool player_wide_path(const char* path, wchar_t (&wide)[player_text_chars]) {
    wide[0] = 0;
    if (!path) return false;
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, wide, player_text_chars) > 0;
}

// Releases the current graph. The graph is told to stop notifying before its queue goes away,
// so a notification already posted finds either no graph or the next graph's queue.
void player_drop_graph() {
    PlayerState& s = player_state;
    if (s.events) s.events->SetNotifyWindow(0, 0, 0);
    if (s.control) s.control->Stop();
    player_release(s.video);
    player_release(s.seeking);
    player_release(s.audio);
    player_release(s.events);
    player_release(s.control);
    player_release(s.graph);
}

// A new, empty graph with its control, event, audio and position interfaces; on failure
// nothing is kept.
bool player_build_graph() {
    PlayerState& s = player_state;
    if (CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(&s.graph)) < 0) {
        s.graph = nullptr;
        return false;
    }
    if (s.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&s.control)) < 0 ||
        s.graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&s.events)) < 0 ||
        s.graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&s.audio)) < 0 ||
        s.graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&s.seeking)) < 0) {
        player_drop_graph();
        return false;
    }
    return true;
}

// A graph that plays nothing yet, for render tests: the one of player_open, or a new one after
// a failed start left none.
bool player_build_first_graph() {
    PlayerState& s = player_state;
    if (!player_build_graph()) return false;
    if (s.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&s.video)) < 0) {
        s.video = nullptr;
        player_drop_graph();
        return false;
    }
    return true;
}

void player_delete_file(const char* name) { DeleteFileA(name); }

// Writes an embedded sound to a new temporary file; its name, or none.
const char* player_extract(HRSRC resource) {
    PlayerState& s = player_state;
    DWORD size = SizeofResource(s.resource_module, resource);
    HGLOBAL loaded = LoadResource(s.resource_module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;

    char folder[player_text_chars] = {};
    if (!player_temp_folder_fits(GetTempPathA(player_text_chars, folder))) return nullptr;
    char* slot = player_temp_reserve(s.temp);
    if (!slot) return nullptr;
    // GetTempFileNameA creates the file: from here on a failure deletes it again.
    if (GetTempFileNameA(folder, "Res", 0, slot) == 0) return nullptr;
    HANDLE file = CreateFileA(slot, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(slot);
        return nullptr;
    }
    DWORD written = 0;
    BOOL wrote = WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    if (!wrote || written != size) {
        DeleteFileA(slot);
        return nullptr;
    }
    player_temp_commit(s.temp);
    return slot;
}

void player_seek_to_start(void*) {
    LONGLONG start = 0;
    if (player_state.seeking) {
        player_state.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                           AM_SEEKING_NoPositioning);
    }
}

int32_t player_get_event(void*, long* code, intptr_t* param1, intptr_t* param2) {
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    HRESULT status = player_state.events->GetEvent(code, &p1, &p2, 0);
    *param1 = p1;
    *param2 = p2;
    return status;
}

void player_free_event(void*, long code, intptr_t param1, intptr_t param2) {
    player_state.events->FreeEventParams(code, param1, param2);
}

// Stops what plays after a failed step; the operation then answers 0.
int player_fail() {
    player_drop_graph();
    player_state.looping = 0;
    player_state.playing = 0;
    return 0;
}

}  // namespace

int player_open(ModuleHandle module, int32_t left, int32_t top, int32_t width, int32_t height) {
    PlayerState& s = player_state;
    s.resource_module = static_cast<HMODULE>(module);
    s.window_instance = static_cast<HINSTANCE>(module);
    s.video_rect[0] = left;
    s.video_rect[1] = top;
    s.video_rect[2] = width;
    s.video_rect[3] = height;
    s.looping = 0;
    s.playing = 0;

    HRESULT com = CoInitialize(nullptr);
    s.com_owned = com >= 0;
    if (com < 0 && com != RPC_E_CHANGED_MODE) return 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = player_window_proc;
    wc.hInstance = s.window_instance;
    wc.lpszClassName = player_window_class;
    RegisterClassA(&wc);
    s.event_window = CreateWindowExA(0, player_window_class, nullptr, WS_CLIPCHILDREN, 0, 0, 0, 0,
                                     nullptr, nullptr, s.window_instance, nullptr);
    if (s.event_window) UpdateWindow(s.event_window);

    // The first graph serves player_prepare's render test; the first start replaces it.
    return player_build_first_graph() ? 1 : 0;
}

const char* player_prepare(const char* path) {
    PlayerState& s = player_state;
    if (!path) return nullptr;
    const char* to_play = path;
    HRSRC resource = FindResourceA(s.resource_module, path, MAKEINTRESOURCEA(10));
    if (resource) {
        to_play = player_extract(resource);
        if (!to_play) return nullptr;
    }
    wchar_t wide[player_text_chars];
    if (!player_wide_path(to_play, wide)) return nullptr;
    if (!s.graph && !player_build_first_graph()) return nullptr;
    if (s.graph->RenderFile(wide, nullptr) < 0) return nullptr;
    return to_play;
}

int player_start(const char* path, int32_t loop) {
    PlayerState& s = player_state;
    // The sound that plays now ends here, whether or not the new one can start.
    player_drop_graph();
    s.looping = 0;
    s.playing = 0;

    wchar_t wide[player_text_chars];
    if (!player_wide_path(path, wide)) return 0;
    if (!player_build_graph()) return 0;
    if (s.graph->RenderFile(wide, nullptr) < 0) return player_fail();
    if (s.graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&s.video)) < 0) {
        s.video = nullptr;
        return player_fail();
    }
    s.video->put_Owner(reinterpret_cast<OAHWND>(GetActiveWindow()));
    s.video->put_WindowStyle(player_video_style);
    s.video->SetWindowPosition(s.video_rect[0], s.video_rect[1], s.video_rect[2], s.video_rect[3]);

    int looping = loop == 1 ? 1 : 0;
    if (player_registers_window(player_notify_mode, looping)) {
        if (!s.event_window ||
            s.events->SetNotifyWindow(reinterpret_cast<OAHWND>(s.event_window),
                                      player_notify_message, 0) < 0) {
            return player_fail();
        }
    }
    if (s.control->Run() < 0) return player_fail();
    if (s.audio->put_Volume(s.attenuation) < 0) return player_fail();
    s.looping = looping;
    s.playing = 1;
    return 1;
}

int player_stop() {
    PlayerState& s = player_state;
    s.looping = 0;
    s.playing = 0;
    if (!s.control) return 1;
    if (s.control->Stop() < 0) {
        player_drop_graph();
        return 0;
    }
    if (s.video) s.video->put_Visible(OAFALSE);
    return 1;
}

int player_set_volume(int32_t attenuation) {
    PlayerState& s = player_state;
    s.attenuation = vemble_clamp_attenuation(attenuation);
    if (s.playing && s.audio && s.audio->put_Volume(s.attenuation) < 0) return player_fail();
    return 1;
}

int player_is_playing() { return player_state.playing ? 1 : 0; }

int player_close() {
    PlayerState& s = player_state;
    player_temp_clear(s.temp, player_delete_file);
    if (s.video) {
        s.video->put_Visible(OAFALSE);
        s.video->put_Owner(0);
    }
    player_drop_graph();
    s.looping = 0;
    s.playing = 0;
    // The module may be unloaded after this: no window or class may point into it any more.
    if (s.event_window) DestroyWindow(s.event_window);
    s.event_window = nullptr;
    UnregisterClassA(player_window_class, s.window_instance);
    if (s.com_owned) CoUninitialize();
    s.com_owned = 0;
    return 1;
}

LRESULT CALLBACK player_window_proc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == player_notify_message) player_drain_events();
    return DefWindowProcA(window, message, first, second);
}

int32_t player_drain_events() {
    PlayerState& s = player_state;
    // A notification can outlive the graph that posted it; with no graph there is nothing to take.
    if (!s.events) return E_POINTER;
    PlayerEventSource source = {nullptr, player_get_event, player_free_event, player_seek_to_start};
    return player_drain(source, player_notify_mode, s.looping, &s.playing);
}
