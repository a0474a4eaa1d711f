#include "host/host.h"

#include <windows.h>
#include <initguid.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <list>
#include <utility>

#include "gauge/host_abi.h"

namespace {

constexpr unsigned panels_entry_count = 82;
constexpr unsigned panels_header_words = 6;
constexpr unsigned host_generate_phase = 1;

struct HostState {
    bool echo = true;
    std::string transcript;
    LARGE_INTEGER start{}, frequency{};

    std::string path;
    HMODULE module = nullptr;
    GAUGESLINKAGE* linkage = nullptr;
    GAUGESIMPORT* imports = nullptr;
    GAUGEHDR* gauge = nullptr;
    bool installed = false;
    std::list<std::vector<char>> parameter_copies;  // host-owned; the gauge keeps references

    std::vector<PanelsCall> calls;
    size_t calls_printed = 0, calls_taken = 0;
    std::vector<HostMessage> messages;
    size_t messages_taken = 0;
    std::vector<bool> message_checked;

    HANDLE watcher = nullptr;
    volatile LONG watcher_stop = 0;
    CRITICAL_SECTION watcher_lock;
    std::vector<HostMessage> watcher_found;
};

HostState host_state;
void* panels_table[panels_entry_count];

void host_log(const char* format, ...) {
    char line[1400];
    int n = snprintf(line, sizeof line, "%9.1f ms  ", host_now_ms());
    va_list args;
    va_start(args, format);
    vsnprintf(line + n, sizeof line - n, format, args);
    va_end(args);
    host_state.transcript += line;
    host_state.transcript += '\n';
    if (host_state.echo) {
        fputs(line, stdout);
        fputc('\n', stdout);
        fflush(stdout);
    }
}

// ---- the routine table ------------------------------------------------------------------

void panels_record(unsigned entry, unsigned count, uint32_t a, uint32_t b) {
    host_state.calls.push_back(PanelsCall{host_now_ms(), entry, {a, b}, count});
}

template <unsigned N> void HOST_CALL panels_element(uint32_t element) { panels_record(N, 1, element, 0); }
template <unsigned N> void HOST_CALL panels_element_word(uint32_t element, uint32_t word) {
    panels_record(N, 2, element, word);
}
// Entries the gauge is not expected to call: their argument count is unknown, so none is taken.
template <unsigned N> void HOST_CALL panels_unexpected() { panels_record(N, 0, 0, 0); }

template <unsigned... N> void panels_fill(std::integer_sequence<unsigned, N...>) {
    ((panels_table[N] = N < panels_header_words ? nullptr
                        : (N == PANELS_ELEMENT_LIST_INSTALL || N == PANELS_ELEMENT_LIST_GENERATE)
                            ? reinterpret_cast<void*>(&panels_element_word<N>)
                        : (N >= PANELS_ELEMENT_LIST_QUERY && N <= PANELS_ELEMENT_LIST_KILL)
                            ? reinterpret_cast<void*>(&panels_element<N>)
                            : reinterpret_cast<void*>(&panels_unexpected<N>)), ...);
}

ELEMENT_HEADER* host_root() {
    GAUGEHDR* g = host_state.gauge;
    return g && g->elements_list ? g->elements_list[0] : nullptr;
}

ELEMENT_HEADER* host_indicator_element() {
    ELEMENT_HEADER* root = host_root();
    return root && root->next_element ? root->next_element[0] : nullptr;
}

std::string host_element_name(uint32_t value) {
    if (value && value == uint32_t(uintptr_t(host_root()))) return "root";
    if (value && value == uint32_t(uintptr_t(host_indicator_element()))) return "indicator";
    char b[16];
    snprintf(b, sizeof b, "0x%08x", unsigned(value));
    return b;
}

// ---- message boxes ----------------------------------------------------------------------

struct WatchScan { DWORD pid; std::vector<HWND> boxes; };

BOOL CALLBACK watcher_each(HWND hwnd, LPARAM param) {
    WatchScan* scan = reinterpret_cast<WatchScan*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = {};
    if (pid == scan->pid && GetClassNameA(hwnd, cls, sizeof cls) && strcmp(cls, "#32770") == 0)
        scan->boxes.push_back(hwnd);
    return TRUE;
}

DWORD WINAPI watcher_main(void*) {
    std::vector<HWND> answered;
    while (!host_state.watcher_stop) {
        WatchScan scan{GetCurrentProcessId(), {}};
        EnumWindows(watcher_each, reinterpret_cast<LPARAM>(&scan));
        for (HWND box : scan.boxes) {
            bool seen = false;
            for (HWND a : answered) seen = seen || a == box;
            if (!seen) {
                HostMessage m;
                m.ms = host_now_ms();
                char text[1024] = {};
                HWND label = GetDlgItem(box, 0xFFFF);
                if (label) GetWindowTextA(label, text, sizeof text);
                // A box just created may not have its text yet: look again at the next round.
                if (!text[0] && !IsWindowVisible(box)) continue;
                m.text = text;
                GetWindowTextA(box, text, sizeof text);
                m.caption = text;
                EnterCriticalSection(&host_state.watcher_lock);
                host_state.watcher_found.push_back(m);
                LeaveCriticalSection(&host_state.watcher_lock);
                answered.push_back(box);
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        // Forget boxes that have gone, so a new box with a reused handle is recorded.
        std::vector<HWND> still;
        for (HWND a : answered)
            if (IsWindow(a)) still.push_back(a);
        answered.swap(still);
        Sleep(15);
    }
    return 0;
}

void watcher_start() {
    if (host_state.watcher) return;
    InitializeCriticalSection(&host_state.watcher_lock);
    host_state.watcher_stop = 0;
    host_state.watcher = CreateThread(nullptr, 0, watcher_main, nullptr, 0, nullptr);
}

// Prints what happened since the last flush: routine-table calls and answered message boxes.
void host_flush() {
    HostState& s = host_state;
    for (; s.calls_printed < s.calls.size(); ++s.calls_printed) {
        const PanelsCall& c = s.calls[s.calls_printed];
        if (c.arg_count == 2)
            host_log("    PANELS[%u](%s, 0x%x)", c.entry, host_element_name(c.args[0]).c_str(), unsigned(c.args[1]));
        else if (c.arg_count == 1)
            host_log("    PANELS[%u](%s)", c.entry, host_element_name(c.args[0]).c_str());
        else
            host_log("    PANELS[%u]() -- an entry the stand-in does not serve", c.entry);
    }
    if (!s.watcher) return;
    EnterCriticalSection(&s.watcher_lock);
    std::vector<HostMessage> found;
    found.swap(s.watcher_found);
    LeaveCriticalSection(&s.watcher_lock);
    for (const HostMessage& m : found) {
        s.messages.push_back(m);
        s.message_checked.push_back(false);
        char line[1300];
        snprintf(line, sizeof line, "%9.1f ms  message box \"%s\" (caption \"%s\"), answered OK",
                 m.ms, m.text.c_str(), m.caption.c_str());
        s.transcript += line;
        s.transcript += '\n';
        if (s.echo) {
            puts(line);
            fflush(stdout);
        }
    }
}

void host_pump(unsigned ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        host_flush();
        DWORD now = GetTickCount();
        if (int(end - now) <= 0) return;
        DWORD left = end - now;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 20 ? left : 20, QS_ALLINPUT);
    }
}

// ---- calls into the module, with their convention checked ----------------------------

// Every routine the host calls is __stdcall: it removes its own arguments. The call is made from
// a stub that keeps the stack pointer in a callee-saved register, so a routine built with
// another convention is reported instead of corrupting the host's stack.
extern "C" uint32_t host_guarded_call(const void* fn, const uint32_t* args, int count, int* popped, double* st0);
asm(".text\n"
    ".globl _host_guarded_call\n"
    "_host_guarded_call:\n"
    "  push %ebp\n"
    "  mov %esp, %ebp\n"
    "  push %ebx\n"
    "  push %esi\n"
    "  push %edi\n"
    "  mov %esp, %esi\n"
    "  mov 16(%ebp), %ecx\n"
    "  mov 12(%ebp), %edx\n"
    "1:\n"
    "  test %ecx, %ecx\n"
    "  jz 2f\n"
    "  dec %ecx\n"
    "  pushl (%edx,%ecx,4)\n"
    "  jmp 1b\n"
    "2:\n"
    "  mov %esp, %edi\n"
    "  call *8(%ebp)\n"
    "  mov %esp, %ecx\n"
    "  sub %edi, %ecx\n"
    "  mov 20(%ebp), %edx\n"
    "  mov %ecx, (%edx)\n"
    "  mov %esi, %esp\n"
    "  mov 24(%ebp), %edx\n"
    "  test %edx, %edx\n"
    "  jz 3f\n"
    "  fstpl (%edx)\n"
    "3:\n"
    "  pop %edi\n"
    "  pop %esi\n"
    "  pop %ebx\n"
    "  pop %ebp\n"
    "  ret\n");

int host_convention_faults = 0;

uint32_t host_call(const char* what, const void* fn, std::initializer_list<uint32_t> args, double* st0 = nullptr) {
    int popped = 0;
    uint32_t r = host_guarded_call(fn, args.begin(), int(args.size()), &popped, st0);
    if (popped != int(4 * args.size())) {
        ++host_convention_faults;
        host_log("  CONVENTION: %s removed %d bytes of its %d bytes of arguments: it is not __stdcall", what, popped,
                 int(4 * args.size()));
    }
    return r;
}

uint32_t host_word(const void* p) { return uint32_t(uintptr_t(p)); }

// ---- calls into the gauge ---------------------------------------------------------------

bool host_need_gauge(const char* what) {
    if (host_state.gauge) return true;
    host_log("%s: no module loaded", what);
    return false;
}

void host_callback(int32_t service, uint32_t extra) {
    GAUGEHDR* g = host_state.gauge;
    if (!g->gauge_callback) return;
    host_log("  gauge_callback(service %d, 0x%x)", int(service), unsigned(extra));
    host_call("the gauge callback", reinterpret_cast<const void*>(g->gauge_callback), {host_word(g), uint32_t(service), extra});
    host_flush();
}

void host_routine(const char* name, HostVoidFn fn) {
    host_log("  %s routine", name);
    if (fn) host_call(name, reinterpret_cast<const void*>(fn), {});
    else host_log("    (none)");
    host_flush();
}

// ---- images -----------------------------------------------------------------------------

bool host_bitmap(uint32_t id, HostImage* out, std::string* why) {
    HRSRC res = FindResourceA(host_state.module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    HGLOBAL mem = res ? LoadResource(host_state.module, res) : nullptr;
    const uint8_t* p = mem ? static_cast<const uint8_t*>(LockResource(mem)) : nullptr;
    DWORD size = res ? SizeofResource(host_state.module, res) : 0;
    if (!p || size < sizeof(BITMAPINFOHEADER)) {
        *why = "no bitmap resource " + std::to_string(id);
        return false;
    }
    BITMAPINFOHEADER h;
    memcpy(&h, p, sizeof h);
    int bits = h.biBitCount;
    if (h.biSize < 40 || h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 4096 || h.biHeight > 4096 ||
        h.biHeight < -4096 || h.biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        *why = "bitmap " + std::to_string(id) + " is not an uncompressed DIB the host reads";
        return false;
    }
    uint32_t colours = bits <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << bits) : 0;
    int width = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    size_t palette_at = h.biSize, pixels_at = palette_at + 4 * size_t(colours);
    if (pixels_at + stride * height > size) {
        *why = "bitmap " + std::to_string(id) + " is shorter than its header says";
        return false;
    }
    out->width = width;
    out->height = height;
    out->pixels.assign(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = p + pixels_at + stride * (h.biHeight > 0 ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb;
            if (bits <= 8) {
                unsigned index = (row[x * bits / 8] >> (8 - bits - (x * bits) % 8)) & ((1u << bits) - 1);
                const uint8_t* q = index < colours ? p + palette_at + 4 * index : nullptr;
                rgb = q ? (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0] : 0;
            } else {
                const uint8_t* q = row + x * bits / 8;
                rgb = (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
            }
            out->pixels[size_t(y) * width + x] = rgb;
        }
    }
    return true;
}

void host_draw(HostImage* canvas, const HostImage& img, PIXPOINT at, FLAGS32 flags) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            uint32_t c = img.pixels[size_t(y) * img.width + x];
            int cx = at.x + x, cy = at.y + y;
            if ((flags & IMAGE_USE_TRANSPARENCY) && c == 0) continue;
            if (cx < 0 || cy < 0 || cx >= canvas->width || cy >= canvas->height) continue;
            canvas->pixels[size_t(cy) * canvas->width + cx] = c;
        }
}

bool host_write_png(const char* path, const HostImage& img, int scale) {
    int w = img.width * scale, h = img.height * scale;
    UINT stride = UINT((w * 3 + 3) & ~3);
    std::vector<BYTE> bgr(size_t(stride) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = img.pixels[size_t(y / scale) * img.width + x / scale];
            BYTE* q = &bgr[size_t(y) * stride + x * 3];
            q[0] = BYTE(c), q[1] = BYTE(c >> 8), q[2] = BYTE(c >> 16);
        }
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return false;
    HRESULT com = CoInitialize(nullptr);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* props = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(wide, GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &props);
    if (SUCCEEDED(hr)) hr = frame->Initialize(props);
    if (SUCCEEDED(hr)) hr = frame->SetSize(UINT(w), UINT(h));
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = frame->WritePixels(UINT(h), stride, UINT(bgr.size()), bgr.data());
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    if (props) props->Release();
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (stream) stream->Release();
    if (factory) factory->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    return SUCCEEDED(hr);
}

// ---- windows ----------------------------------------------------------------------------

struct WindowScan { DWORD pid; int count; std::string classes; };

BOOL CALLBACK window_each(HWND hwnd, LPARAM param) {
    WindowScan* scan = reinterpret_cast<WindowScan*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != scan->pid) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    ++scan->count;
    scan->classes += scan->classes.empty() ? "" : ", ";
    scan->classes += cls;
    return TRUE;
}

int host_message_find(const std::string& text) {
    for (size_t i = 0; i < host_state.messages.size(); ++i)
        if (!host_state.message_checked[i] && host_state.messages[i].text == text) return int(i);
    return -1;
}

}  // namespace

// ---- public operations ------------------------------------------------------------------

void host_set_echo(bool echo) { host_state.echo = echo; }
const std::string& host_transcript() { return host_state.transcript; }

double host_now_ms() {
    HostState& s = host_state;
    LARGE_INTEGER now;
    if (!s.frequency.QuadPart) {
        QueryPerformanceFrequency(&s.frequency);
        QueryPerformanceCounter(&s.start);
    }
    QueryPerformanceCounter(&now);
    return double(now.QuadPart - s.start.QuadPart) * 1000.0 / double(s.frequency.QuadPart);
}

int host_convention_fault_count() { return host_convention_faults; }
void host_reset_convention_faults() { host_convention_faults = 0; }
bool host_loaded() { return host_state.module != nullptr; }
GAUGEHDR* host_gauge() { return host_state.gauge; }
void* host_module() { return host_state.module; }

bool host_load(const char* path) {
    HostState& s = host_state;
    host_now_ms();
    watcher_start();
    if (s.module) host_unload();
    panels_fill(std::make_integer_sequence<unsigned, panels_entry_count>{});
    s.path = path;
    HMODULE module = LoadLibraryA(path);
    if (!module) {
        host_log("load %s: the module does not load (LoadLibrary error %lu)", path, GetLastError());
        return false;
    }
    auto* linkage = reinterpret_cast<GAUGESLINKAGE*>(GetProcAddress(module, "Linkage"));
    auto* imports = reinterpret_cast<GAUGESIMPORT*>(GetProcAddress(module, "ImportTable"));
    const char* missing = !linkage && !imports ? "Linkage and ImportTable" : !linkage ? "Linkage" : !imports ? "ImportTable" : nullptr;
    if (missing) {
        host_log("load %s: the module lacks the export %s", path, missing);
        FreeLibrary(module);
        return false;
    }
    if (linkage->module_id != GAUGES_LINKAGE_MODULE_ID || imports->entries[0].id != GAUGES_IMPORT_PANELS ||
        !linkage->gauges[0]) {
        host_log("load %s: not a gauge module (linkage id 0x%x, import id 0x%x, first header %p)", path,
                 unsigned(linkage->module_id), unsigned(imports->entries[0].id), static_cast<void*>(linkage->gauges[0]));
        FreeLibrary(module);
        return false;
    }
    s.module = module;
    s.linkage = linkage;
    s.imports = imports;
    imports->entries[0].pointer = panels_table;
    s.gauge = linkage->gauges[0];
    s.installed = false;
    host_log("load %s: module at %p, module version 0x%x, gauge \"%s\", header version %u, size %u mm",
             path, static_cast<void*>(module), unsigned(linkage->version), s.gauge->gauge_name ? s.gauge->gauge_name : "(null)",
             unsigned(s.gauge->gauge_header_version), unsigned(s.gauge->size_x_mm));
    host_routine("module init", linkage->module_init);
    return true;
}

void host_unload() {
    HostState& s = host_state;
    if (!s.module) {
        host_log("unload: no module loaded");
        return;
    }
    host_routine("module deinit", s.linkage->module_deinit);
    host_log("  FreeLibrary");
    FreeLibrary(s.module);
    s.module = nullptr;
    s.linkage = nullptr;
    s.imports = nullptr;
    s.gauge = nullptr;
    s.installed = false;
    s.parameter_copies.clear();
    host_flush();
}

bool host_install(const char* parameters) {
    HostState& s = host_state;
    if (!host_need_gauge("install")) return false;
    s.parameter_copies.emplace_back(parameters, parameters + strlen(parameters) + 1);
    GAUGEHDR* g = s.gauge;
    g->parameters = s.parameter_copies.back().data();
    uint32_t handle = uint32_t(uintptr_t(s.module));
    host_log("install \"%s\"", parameters);
    host_callback(0, 0);
    host_routine("query", g->query_routine);
    host_callback(1, 0);
    host_callback(PANEL_SERVICE_PRE_INSTALL, handle);
    host_log("  install routine (0x%x)", unsigned(handle));
    if (g->install_routine) host_call("install routine", reinterpret_cast<const void*>(g->install_routine), {handle});
    host_flush();
    host_callback(3, handle);
    host_callback(4, 0);
    host_routine("initialize", g->initialize_routine);
    host_callback(5, 0);
    s.installed = true;
    host_pump(0);
    return true;
}

bool host_kill() {
    if (!host_need_gauge("kill")) return false;
    GAUGEHDR* g = host_state.gauge;
    host_log("kill");
    host_callback(PANEL_SERVICE_PRE_KILL, 0);
    host_routine("kill", g->kill_routine);
    host_callback(13, 0);
    host_state.installed = false;
    host_pump(0);
    return true;
}

bool host_service(int32_t service, uint32_t extra) {
    if (!host_need_gauge("service")) return false;
    host_log("service %d", int(service));
    host_callback(service, extra);
    host_pump(0);
    return true;
}

int host_mouse(int x, int y, uint32_t event) {
    if (!host_need_gauge("mouse")) return -1;
    GAUGEHDR* g = host_state.gauge;
    PIXBOX parent{0, 0, 0, 0};
    int called = 0;
    MOUSERECT* m = g->mouse_rect;
    for (int i = 0; m && i < 256 && m->rect_type != MOUSE_RECT_EOL; ++i, ++m) {
        if (m->rect_type == MOUSE_RECT_PARENT) parent = m->relative_box;
        if (m->rect_type == MOUSE_RECT_END_PARENT) parent = PIXBOX{0, 0, 0, 0};
        if (m->rect_type != MOUSE_RECT_CHILD) continue;
        const PIXBOX& b = m->relative_box;
        bool in_parent = (parent.size_x == 0 && parent.size_y == 0) ||
                         (x >= parent.x && y >= parent.y && x < parent.x + parent.size_x && y < parent.y + parent.size_y);
        if (!in_parent || x < b.x || y < b.y || x >= b.x + b.size_x || y >= b.y + b.size_y) continue;
        if (!(m->event_type & event) || !m->mouse_function) continue;
        MOUSECALLBACK record{{x, y}, g, m, {g->position.x + x, g->position.y + y}, nullptr};
        int result = int(host_call("the mouse function", reinterpret_cast<const void*>(m->mouse_function),
                                   {host_word(&record.relative_point), event}));
        ++called;
        host_log("  mouse function of entry %d (box %d,%d,%d,%d, mask 0x%08x) -> %d", i + 1, int(b.x), int(b.y),
                 int(b.size_x), int(b.size_y), unsigned(m->event_type), result);
        host_flush();
        break;
    }
    if (!called) host_log("  no mouse area takes 0x%08x at %d,%d", unsigned(event), x, y);
    host_pump(0);
    return called;
}

int host_press(int x, int y) {
    if (host_state.gauge) host_log("press %d,%d", x, y);
    return host_mouse(x, y, MOUSE_LEFTSINGLE);
}

bool host_indicator(double* value, uint32_t* image_id) {
    *value = 0;
    *image_id = 0;
    if (!host_need_gauge("indicator")) return false;
    ELEMENT_HEADER* e = host_indicator_element();
    if (!e || e->element_type != ELEMENT_TYPE_ICON) {
        host_log("indicator: the root element has no icon element after it");
        return false;
    }
    auto* icon = reinterpret_cast<ELEMENT_ICON*>(e);
    if (!icon->callback) {
        host_log("indicator: the icon has no value callback");
        return false;
    }
    host_call("the icon value callback", reinterpret_cast<const void*>(icon->callback), {host_word(icon)}, value);
    int n = int(*value);
    if (n < 0 || (icon->num_icons && n >= int(icon->num_icons))) {
        host_log("indicator: value %g lies outside the icon's %u images", *value, unsigned(icon->num_icons));
        n = n < 0 ? 0 : int(icon->num_icons) - 1;
    }
    *image_id = e->resource_id + uint32_t(n);
    host_log("indicator value %g: image %u", *value, unsigned(*image_id));
    host_flush();
    return true;
}

bool host_update() {
    if (!host_need_gauge("update")) return false;
    GAUGEHDR* g = host_state.gauge;
    host_log("update");
    host_callback(6, 0);
    host_routine("update", g->update_routine);
    host_callback(7, 0);
    double value;
    uint32_t id;
    host_indicator(&value, &id);
    host_callback(8, host_generate_phase);
    host_log("  generate routine (phase %u)", host_generate_phase);
    if (g->generate_routine)
        host_call("generate routine", reinterpret_cast<const void*>(g->generate_routine), {host_generate_phase});
    host_flush();
    host_callback(9, host_generate_phase);
    host_callback(10, 0);
    host_routine("draw", g->draw_routine);
    host_callback(11, 0);
    host_pump(0);
    return true;
}

bool host_tooltip(std::string* text) {
    text->clear();
    if (!host_need_gauge("tooltip")) return false;
    GAUGEHDR* g = host_state.gauge;
    MOUSERECT* m = g->mouse_rect;
    for (int i = 0; m && i < 256 && m->rect_type != MOUSE_RECT_EOL && m->rect_type != MOUSE_RECT_USER; ++i) ++m;
    if (!m || m->rect_type != MOUSE_RECT_USER || !m->mouse_function) {
        host_log("tooltip: the mouse list has no tooltip entry");
        return false;
    }
    const char* pattern = reinterpret_cast<const char*>(m->mouse_function);
    auto* args = static_cast<MOUSE_TOOLTIP_ARG*>(m->api_data);
    unsigned count = m->event_id;
    if (count > 8 || (count && !args)) {
        host_log("tooltip: %u inserts but %s argument records", unsigned(count), args ? "at most 8" : "no");
        return false;
    }
    DWORD_PTR inserts[8] = {};
    char numbers[8][32];
    for (unsigned i = 0; i < count; ++i) {
        const char* s = nullptr;
        if (args[i].string_callback) {
            // (FLOAT64 number, ID id, const char* string, MODULE_VAR* source, GAUGEHDR* gauge)
            s = reinterpret_cast<const char*>(host_call("the tooltip string callback", reinterpret_cast<const void*>(args[i].string_callback),
                                                        {0, 0, 0, 0, host_word(&args[i].source_var), host_word(g)}));
            if (!s) host_log("tooltip: the string callback of insert %u returned null", i + 1);
        } else if (args[i].numeric_callback) {
            double number = 0;
            host_call("the tooltip number callback", reinterpret_cast<const void*>(args[i].numeric_callback),
                      {0, 0, 0, 0, host_word(&args[i].source_var), host_word(g)}, &number);
            snprintf(numbers[i], sizeof numbers[i], "%g", number);
            s = numbers[i];
        }
        inserts[i] = reinterpret_cast<DWORD_PTR>(s ? s : "");
    }
    char out[1200];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, pattern, 0, 0, out,
                             sizeof out, reinterpret_cast<va_list*>(inserts));
    if (!n) {
        host_log("tooltip: FormatMessage failed on \"%s\" (error %lu)", pattern, GetLastError());
        return false;
    }
    *text = std::string(out, n);
    host_log("tooltip \"%s\" (from \"%s\"%s)", text->c_str(), pattern, strlen(pattern) > 80 ? ", longer than 80" : "");
    host_flush();
    return true;
}

bool host_compose(HostImage* image) {
    *image = HostImage();
    ELEMENT_HEADER* root = host_root();
    ELEMENT_HEADER* icon = host_indicator_element();
    if (!host_need_gauge("frame") || !root || !icon) return false;
    double value;
    uint32_t id;
    if (!host_indicator(&value, &id)) return false;
    HostImage back, front;
    std::string why;
    if (!host_bitmap(root->resource_id, &back, &why) || !host_bitmap(id, &front, &why)) {
        host_log("frame: %s", why.c_str());
        return false;
    }
    image->width = std::max(root->position.x + back.width, icon->position.x + front.width);
    image->height = std::max(root->position.y + back.height, icon->position.y + front.height);
    image->pixels.assign(size_t(image->width) * image->height, host_panel_grey);
    host_draw(image, back, root->position, root->image_flags);
    host_draw(image, front, icon->position, icon->image_flags);
    return true;
}

bool host_frame(const char* name) {
    HostImage image;
    if (!host_compose(&image)) return false;
    std::string plain = std::string(name) + ".png", big = std::string(name) + "-x8.png";
    bool ok = host_write_png(plain.c_str(), image, 1) && host_write_png(big.c_str(), image, 8);
    host_log("frame %s: %dx%d over #%06x, %s", name, image.width, image.height, unsigned(host_panel_grey),
             ok ? "written" : "PNG writing failed");
    return ok;
}

void host_wait(unsigned ms) {
    host_log("wait %u", ms);
    host_pump(ms);
}

void host_forget() {
    HostState& s = host_state;
    host_flush();
    s.transcript.clear();
    s.calls.clear();
    s.calls_printed = s.calls_taken = 0;
    s.messages.clear();
    s.message_checked.clear();
    s.messages_taken = 0;
}

std::vector<PanelsCall> host_take_calls() {
    std::vector<PanelsCall> out(host_state.calls.begin() + host_state.calls_taken, host_state.calls.end());
    host_state.calls_taken = host_state.calls.size();
    return out;
}

std::vector<HostMessage> host_take_messages() {
    host_flush();
    std::vector<HostMessage> out(host_state.messages.begin() + host_state.messages_taken, host_state.messages.end());
    host_state.messages_taken = host_state.messages.size();
    return out;
}

int host_window_count() {
    WindowScan scan{GetCurrentProcessId(), 0, {}};
    EnumWindows(window_each, reinterpret_cast<LPARAM>(&scan));
    host_log("windows: %d%s%s", scan.count, scan.count ? ": " : "", scan.classes.c_str());
    return scan.count;
}

bool host_broadcast() {
    UINT message = RegisterWindowMessageA("vemble_host_ping");
    DWORD_PTR result = 0;
    LRESULT r = SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    host_log("broadcast: SendMessageTimeout returned %ld", long(r));
    host_pump(0);
    return r != 0;
}

int host_run_script(const std::vector<ScriptStep>& steps) {
    int failed = 0;
    int faults_before = host_convention_faults;
    auto fail = [&](const char* format, const std::string& a, const std::string& b) {
        ++failed;
        char line[1200];
        snprintf(line, sizeof line, format, a.c_str(), b.c_str());
        host_log("FAILED: %s", line);
    };
    for (const ScriptStep& st : steps) {
        bool ok = true;
        double value;
        uint32_t id;
        std::string text;
        switch (st.kind) {
        case StepKind::install: ok = host_install(st.text.c_str()); break;
        case StepKind::kill: ok = host_kill(); break;
        case StepKind::unload: host_unload(); break;
        case StepKind::load: ok = host_load(host_state.path.c_str()); break;
        case StepKind::press: ok = host_press(int(st.a), int(st.b)) >= 0; break;
        case StepKind::event:
            host_log("event %d,%d 0x%08x", int(st.a), int(st.b), unsigned(st.c));
            ok = host_mouse(int(st.a), int(st.b), uint32_t(st.c)) >= 0;
            break;
        case StepKind::hold:
            ok = host_press(int(st.a), int(st.b)) >= 0;
            for (int64_t t = 50; ok && t <= st.c; t += 50) {
                host_pump(50);
                ok = host_mouse(int(st.a), int(st.b), MOUSE_DOWN_REPEAT) >= 0;
            }
            break;
        case StepKind::wait: host_wait(unsigned(st.a)); break;
        case StepKind::update: ok = host_update(); break;
        case StepKind::indicator: ok = host_indicator(&value, &id); break;
        case StepKind::tooltip: ok = host_tooltip(&text); break;
        case StepKind::frame: ok = host_frame(st.text.c_str()); break;
        case StepKind::service: ok = host_service(int32_t(st.a), uint32_t(st.b)); break;
        case StepKind::windows: host_window_count(); break;
        case StepKind::broadcast: ok = host_broadcast(); break;
        case StepKind::expect_indicator:
        case StepKind::expect_image:
            ok = host_indicator(&value, &id);
            if (ok && st.kind == StepKind::expect_indicator && value != double(st.a))
                fail("indicator %s, expected %s", std::to_string(value), std::to_string(st.a));
            if (ok && st.kind == StepKind::expect_image && id != uint32_t(st.a))
                fail("image %s, expected %s", std::to_string(id), std::to_string(st.a));
            break;
        case StepKind::expect_tooltip:
            ok = host_tooltip(&text);
            if (ok && text != st.text) fail("tooltip \"%s\", expected \"%s\"", text, st.text);
            break;
        case StepKind::expect_message: {
            host_flush();
            int i = host_message_find(st.text);
            if (i < 0) fail("no message box \"%s\" since the last check%s", st.text, "");
            else host_state.message_checked[size_t(i)] = true;
            break;
        }
        case StepKind::expect_no_message:
            host_flush();
            for (size_t i = 0; i < host_state.messages.size(); ++i)
                if (!host_state.message_checked[i]) {
                    fail("message box \"%s\"%s, expected none", host_state.messages[i].text, "");
                    host_state.message_checked[i] = true;
                }
            break;
        case StepKind::expect_windows: {
            int n = host_window_count();
            if (n != int(st.a)) fail("%s windows, expected %s", std::to_string(n), std::to_string(st.a));
            break;
        }
        }
        if (!ok) fail("step \"%s\" could not be done%s", st.source, "");
    }
    if (host_convention_faults > faults_before) {
        ++failed;
        host_log("FAILED: %d calls into the module broke the __stdcall convention", host_convention_faults - faults_before);
    }
    host_log("end of script: %d steps, %d failed", int(steps.size()), failed);
    return failed ? 1 : 0;
}
