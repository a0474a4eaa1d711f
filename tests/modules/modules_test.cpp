// The five built modules as the panel host meets them: the PE image (exports, imports), the
// resources and version block, and the records read through the exported Linkage, with the
// callbacks called the way the host calls them (stdcall). Nothing here installs the gauge.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "gauge/host_abi.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Module {
    const char* name;
    UINT32 header_version, linkage_version, size_mm, image_size;
    SINT32 mouse_box;
    FLAGS32 mouse_events;
    bool click;
};

const Module modules[] = {
    {"toggle_once", 700, 0, 44, 23, 23, 0x20000000, true},
    {"toggle_loop", 800, 0x800, 40, 21, 44, 0x20000000, false},
    {"push_once", 700, 0, 44, 23, 23, 0x20200000, true},
    {"toggle_latched", 800, 0x800, 40, 21, 44, 0x20000000, false},
    {"push_silent", 700, 0, 44, 23, 23, 0x20200000, true},
};

void PrintTo(const Module& m, std::ostream* os) { *os << m.name; }

std::string module_path(const Module& m) { return std::string(VEMBLE_DIST_DIR) + "/" + m.name + ".gau"; }

Bytes read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool all_zero(const void* p, size_t size) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < size; ++i)
        if (b[i]) return false;
    return true;
}

const IMAGE_NT_HEADERS32* nt_headers(HMODULE module) {
    auto base = reinterpret_cast<const uint8_t*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
}

template <typename T>
const T* at_rva(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(reinterpret_cast<const uint8_t*>(module) + rva);
}

const IMAGE_SECTION_HEADER* section_of(HMODULE module, DWORD rva) {
    const IMAGE_NT_HEADERS32* nt = nt_headers(module);
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s)
        if (rva >= s->VirtualAddress && rva < s->VirtualAddress + s->Misc.VirtualSize) return s;
    return nullptr;
}

// A recording stand-in for the host's routine table: 32 stdcall entries.
struct PanelsCall { int entry; ELEMENT_HEADER* element; UINT32 word; };
std::vector<PanelsCall> panels_calls;

template <int N>
void HOST_CALL panels_element(ELEMENT_HEADER* element) { panels_calls.push_back({N, element, 0}); }
template <int N>
void HOST_CALL panels_element_word(ELEMENT_HEADER* element, UINT32 word) { panels_calls.push_back({N, element, word}); }

template <int... N>
void fill_panels(void** table, std::integer_sequence<int, N...>) {
    ((table[N] = reinterpret_cast<void*>(&panels_element<N>)), ...);
}

struct ProcessWindows { DWORD process; int count; };
BOOL CALLBACK count_window(HWND window, LPARAM data) {
    auto* w = reinterpret_cast<ProcessWindows*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == w->process) ++w->count;
    return TRUE;
}
int windows_of_this_process() {
    ProcessWindows w = {GetCurrentProcessId(), 0};
    EnumWindows(count_window, reinterpret_cast<LPARAM>(&w));
    return w.count;
}

class LoadedModule : public ::testing::TestWithParam<Module> {
protected:
    void SetUp() override {
        module = LoadLibraryA(module_path(GetParam()).c_str());
        ASSERT_NE(module, nullptr) << module_path(GetParam()) << " error " << GetLastError();
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

// Runs first: a load, the module routines and an unload, with nothing installed, open no
// player window, register no event window class and create no window.
TEST_P(LoadedModule, LoadAndUnloadWithoutInstallOpenNothing) {
    const int windows_before = windows_of_this_process();
    auto* linkage = reinterpret_cast<GAUGESLINKAGE*>(GetProcAddress(module, "Linkage"));
    ASSERT_NE(linkage, nullptr);
    linkage->module_init();
    WNDCLASSA window_class;
    EXPECT_FALSE(GetClassInfoA(module, "EventNotify", &window_class));
    linkage->module_deinit();
    EXPECT_TRUE(FreeLibrary(module));
    module = nullptr;
    EXPECT_EQ(GetModuleHandleA(module_path(GetParam()).c_str()), nullptr) << "unloaded";
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "EventNotify", &window_class));
    EXPECT_EQ(windows_of_this_process(), windows_before);
    EXPECT_EQ(windows_of_this_process(), 0);
}

TEST_P(LoadedModule, ExportsExactlyTheTwoDataRecords) {
    const IMAGE_NT_HEADERS32* nt = nt_headers(module);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);

    void* import_table = reinterpret_cast<void*>(GetProcAddress(module, "ImportTable"));
    void* linkage = reinterpret_cast<void*>(GetProcAddress(module, "Linkage"));
    ASSERT_NE(import_table, nullptr);
    ASSERT_NE(linkage, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))), import_table);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))), linkage);

    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    auto* exports = at_rva<IMAGE_EXPORT_DIRECTORY>(module, dir.VirtualAddress);
    EXPECT_EQ(exports->Base, 1u);
    ASSERT_EQ(exports->NumberOfFunctions, 2u);
    ASSERT_EQ(exports->NumberOfNames, 2u);
    auto* names = at_rva<DWORD>(module, exports->AddressOfNames);
    auto* ordinals = at_rva<WORD>(module, exports->AddressOfNameOrdinals);
    auto* functions = at_rva<DWORD>(module, exports->AddressOfFunctions);
    EXPECT_STREQ(at_rva<char>(module, names[0]), "ImportTable");
    EXPECT_STREQ(at_rva<char>(module, names[1]), "Linkage");
    EXPECT_EQ(ordinals[0], 0);
    EXPECT_EQ(ordinals[1], 1);
    for (int i = 0; i < 2; ++i) {
        const IMAGE_SECTION_HEADER* s = section_of(module, functions[i]);
        ASSERT_NE(s, nullptr);
        EXPECT_FALSE(s->Characteristics & IMAGE_SCN_MEM_EXECUTE) << "data, not code";
        EXPECT_TRUE(s->Characteristics & IMAGE_SCN_MEM_WRITE) << "the host writes into it";
    }
}

TEST_P(LoadedModule, ImportsOnlySystemLibraries) {
    const IMAGE_DATA_DIRECTORY& dir = nt_headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    std::vector<std::string> names;
    for (auto* d = at_rva<IMAGE_IMPORT_DESCRIPTOR>(module, dir.VirtualAddress); d->Name; ++d) {
        std::string name = at_rva<char>(module, d->Name);
        for (char& c : name) c = char(tolower(c));
        names.push_back(name);
    }
    EXPECT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_TRUE(name == "kernel32.dll" || name == "user32.dll" || name == "ole32.dll" || name == "dsound.dll" ||
                    name == "msvcrt.dll")
            << name;
}

TEST_P(LoadedModule, CarriesItsBitmapsAndClick) {
    const Module& m = GetParam();
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const struct { int id; const char* file; } bitmaps[] = {{4096, "background"}, {4112, "off"}, {4113, "on"}};
    for (const auto& b : bitmaps) {
        SCOPED_TRACE(b.id);
        HRSRC r = FindResourceExA(module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(b.id), english);
        ASSERT_NE(r, nullptr);
        const DWORD size = SizeofResource(module, r);
        EXPECT_EQ(size, m.image_size == 23 ? 1616u : 1568u);
        const Bytes file = read_file(std::string(VEMBLE_VARIANTS_DIR) + "/" + m.name + "/" + b.file + ".bmp");
        ASSERT_EQ(file.size(), size + 14u);
        const void* data = LockResource(LoadResource(module, r));
        EXPECT_EQ(std::memcmp(data, file.data() + 14, size), 0) << "the committed bitmap without its file header";
    }
    HRSRC click = FindResourceExA(module, MAKEINTRESOURCEA(10), "CLICK", english);
    EXPECT_EQ(click != nullptr, m.click);
    if (click) {
        const DWORD size = SizeofResource(module, click);
        EXPECT_EQ(size, 184u);
        const Bytes wave = read_file(std::string(VEMBLE_VARIANTS_DIR) + "/" + m.name + "/click.wav");
        ASSERT_EQ(wave.size(), size);
        EXPECT_EQ(std::memcmp(LockResource(LoadResource(module, click)), wave.data(), size), 0);
    }
}

// The keys of one version-block node's children, in order. Each node: length, value length,
// type, key (UTF-16), padding to 4, value, padding, children.
struct VersionNode { std::wstring key; const uint8_t* value; const uint8_t* children; const uint8_t* end; };
VersionNode version_node(const uint8_t* at, bool text_value) {
    const WORD length = *reinterpret_cast<const WORD*>(at);
    const WORD value_length = *reinterpret_cast<const WORD*>(at + 2);
    VersionNode n;
    n.key = reinterpret_cast<const wchar_t*>(at + 6);
    const uint8_t* p = at + 6 + (n.key.size() + 1) * 2;
    p = at + ((p - at + 3) & ~3);
    n.value = p;
    p += text_value ? value_length * 2 : value_length;
    n.children = at + ((p - at + 3) & ~3);
    n.end = at + length;
    return n;
}

TEST_P(LoadedModule, CarriesTheVersionBlock) {
    HRSRC r = FindResourceExA(module, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(SizeofResource(module, r), 584u);

    const std::string path = module_path(GetParam());
    DWORD handle = 0;
    const DWORD info_size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(info_size, 0u);
    std::vector<uint8_t> info(info_size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, info_size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 0x10004u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x409);
    EXPECT_EQ(translation[1], 1200);
    const struct { const char* key; const char* value; } strings[] = {
        {"CompanyName", "vemble"},
        {"FileDescription", "// FS2K2/FS2K/CFS/CFS2 Gauge"},
        {"FileVersion", "1.0"},
        {"LegalCopyright", "(C) 2026 vemble authors"},
        {"ProductName", "vemble"},
        {"ProductVersion", "1.0"},
    };
    for (const auto& s : strings) {
        char* text = nullptr;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + s.key;
        ASSERT_TRUE(VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) << s.key;
        EXPECT_STREQ(text, s.value);
    }

    // The order of the keys, read from the raw block: one string table with the six keys.
    const uint8_t* raw = static_cast<const uint8_t*>(LockResource(LoadResource(module, r)));
    const VersionNode root = version_node(raw, false);
    EXPECT_EQ(root.key, L"VS_VERSION_INFO");
    const VersionNode file_info = version_node(root.children, false);
    ASSERT_EQ(file_info.key, L"StringFileInfo");
    const VersionNode table = version_node(file_info.children, false);
    EXPECT_EQ(table.key, L"040904b0");
    EXPECT_EQ(table.end, file_info.end) << "one string table";
    std::vector<std::wstring> keys;
    for (const uint8_t* p = table.children; p < table.end;) {
        const VersionNode s = version_node(p, true);
        keys.push_back(s.key);
        p = s.end + ((s.end - p) & 3 ? 4 - ((s.end - p) & 3) : 0);
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                                                L"ProductName", L"ProductVersion"}));
}

TEST_P(LoadedModule, RecordsReadAsTheHostReadsThem) {
    const Module& m = GetParam();
    auto* import_table = reinterpret_cast<GAUGESIMPORT*>(GetProcAddress(module, "ImportTable"));
    auto* linkage = reinterpret_cast<GAUGESLINKAGE*>(GetProcAddress(module, "Linkage"));
    ASSERT_TRUE(import_table && linkage);

    EXPECT_EQ(import_table->entries[0].id, 0x0Fu);
    EXPECT_EQ(import_table->entries[0].pointer, nullptr);
    EXPECT_EQ(import_table->entries[1].id, 0u);
    EXPECT_EQ(import_table->entries[1].pointer, nullptr);

    EXPECT_EQ(linkage->module_id, 0x13u);
    EXPECT_NE(linkage->module_init, nullptr);
    EXPECT_NE(linkage->module_deinit, nullptr);
    EXPECT_EQ(linkage->flags, 0u);
    EXPECT_EQ(linkage->priority, 0u);
    EXPECT_EQ(linkage->version, m.linkage_version);
    GAUGEHDR* h = linkage->gauges[0];
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(linkage->gauges[1], nullptr);

    // The header: the named fields, and zero everywhere else in the long form.
    EXPECT_EQ(h->gauge_header_version, m.header_version);
    EXPECT_STREQ(h->gauge_name, "vemble");
    ASSERT_NE(h->elements_list, nullptr);
    EXPECT_NE(h->query_routine, nullptr);
    EXPECT_NE(h->install_routine, nullptr);
    EXPECT_NE(h->initialize_routine, nullptr);
    EXPECT_NE(h->update_routine, nullptr);
    EXPECT_NE(h->generate_routine, nullptr);
    EXPECT_NE(h->draw_routine, nullptr);
    EXPECT_NE(h->kill_routine, nullptr);
    EXPECT_EQ(h->size_x_mm, m.size_mm);
    EXPECT_EQ(h->size_y_mm, 0u);
    EXPECT_NE(h->mouse_rect, nullptr);
    EXPECT_NE(h->gauge_callback, nullptr);
    GAUGEHDR rest = *h;
    rest.gauge_header_version = 0;
    rest.gauge_name = nullptr;
    rest.elements_list = nullptr;
    rest.query_routine = nullptr;
    rest.install_routine = nullptr;
    rest.initialize_routine = nullptr;
    rest.update_routine = nullptr;
    rest.generate_routine = nullptr;
    rest.draw_routine = nullptr;
    rest.kill_routine = nullptr;
    rest.size_x_mm = 0;
    rest.mouse_rect = nullptr;
    rest.gauge_callback = nullptr;
    EXPECT_TRUE(all_zero(&rest, sizeof(rest))) << "user data, parameters, usage, reserved words zero";

    // The element tree: the background as root, the indicator following it.
    auto* background = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(h->elements_list[0]);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(h->elements_list[1], nullptr);
    ELEMENT_HEADER& b = background->header;
    EXPECT_EQ(b.element_type, 0u);
    EXPECT_EQ(b.resource_id, 4096u);
    EXPECT_EQ(b.gauge_header, h);
    EXPECT_EQ(b.image_flags, 1u);
    ASSERT_NE(b.next_element, nullptr);
    auto* icon = reinterpret_cast<ELEMENT_ICON*>(b.next_element[0]);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(b.next_element[1], nullptr);
    ELEMENT_STATIC_IMAGE background_rest = *background;
    background_rest.header.element_type = 0;
    background_rest.header.resource_id = 0;
    background_rest.header.gauge_header = nullptr;
    background_rest.header.image_flags = 0;
    background_rest.header.next_element = nullptr;
    EXPECT_TRUE(all_zero(&background_rest, sizeof(background_rest))) << "position, previous, failures, image data";

    EXPECT_EQ(icon->header.element_type, 4u);
    EXPECT_EQ(icon->header.resource_id, 4112u);
    EXPECT_EQ(icon->header.gauge_header, h);
    EXPECT_EQ(icon->header.image_flags, 3u);
    EXPECT_EQ(icon->num_icons, 2u);
    ASSERT_NE(icon->callback, nullptr);
    ELEMENT_ICON icon_rest = *icon;
    icon_rest.header.element_type = 0;
    icon_rest.header.resource_id = 0;
    icon_rest.header.gauge_header = nullptr;
    icon_rest.header.image_flags = 0;
    icon_rest.num_icons = 0;
    icon_rest.callback = nullptr;
    EXPECT_TRUE(all_zero(&icon_rest, sizeof(icon_rest))) << "no source variable, no following elements";

    // The mouse list.
    const struct { UINT32 kind; SINT32 box; UINT32 cursor; FLAGS32 mask; ID event_id; bool function, data; } rows[] = {
        {1, 0, 0xFFFFFFFF, 0, 0, false, false},
        {4, 0, 0xFFFFFFFF, 0, 1, true, true},
        {2, m.mouse_box, 5, m.mouse_events, 0, true, false},
        {3, 0, 0xFFFFFFFF, 0, 0, false, false},
        {0, 0, 0xFFFFFFFF, 0, 0, false, false},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("mouse entry " + std::to_string(i + 1));
        const MOUSERECT& r = h->mouse_rect[i];
        EXPECT_EQ(r.rect_type, rows[i].kind);
        EXPECT_EQ(r.relative_box.x, 0);
        EXPECT_EQ(r.relative_box.y, 0);
        EXPECT_EQ(r.relative_box.size_x, rows[i].box);
        EXPECT_EQ(r.relative_box.size_y, rows[i].box);
        EXPECT_EQ(r.cursor, rows[i].cursor);
        EXPECT_EQ(r.help_id, 0u);
        EXPECT_EQ(r.event_type, rows[i].mask);
        EXPECT_EQ(r.event_id, rows[i].event_id);
        EXPECT_EQ(r.mouse_function != nullptr, rows[i].function);
        EXPECT_EQ(r.api_data != nullptr, rows[i].data);
    }
    const MOUSERECT& tooltip = h->mouse_rect[1];
    EXPECT_STREQ(reinterpret_cast<const char*>(tooltip.mouse_function), "Toggle %1!s!");
    auto* args = static_cast<MOUSE_TOOLTIP_ARG*>(tooltip.api_data);
    ASSERT_NE(args->string_callback, nullptr);
    MOUSE_TOOLTIP_ARG args_rest = *args;
    args_rest.string_callback = nullptr;
    EXPECT_TRUE(all_zero(&args_rest, sizeof(args_rest)));
}

TEST_P(LoadedModule, CallbacksAreCallableAsTheHostCallsThem) {
    auto* import_table = reinterpret_cast<GAUGESIMPORT*>(GetProcAddress(module, "ImportTable"));
    auto* linkage = reinterpret_cast<GAUGESLINKAGE*>(GetProcAddress(module, "Linkage"));
    ASSERT_TRUE(import_table && linkage);
    GAUGEHDR* h = linkage->gauges[0];
    ELEMENT_HEADER* root = h->elements_list[0];

    // The host fills its routine table, then calls the header routines.
    void* table[32];
    fill_panels(table, std::make_integer_sequence<int, 32>{});
    table[25] = reinterpret_cast<void*>(&panels_element_word<25>);
    table[28] = reinterpret_cast<void*>(&panels_element_word<28>);
    import_table->entries[0].pointer = table;
    panels_calls.clear();
    h->query_routine();
    h->install_routine(reinterpret_cast<void*>(0x12345678));
    h->initialize_routine();
    h->update_routine();
    h->generate_routine(7);
    h->draw_routine();
    h->kill_routine();
    import_table->entries[0].pointer = nullptr;
    const PanelsCall expected[] = {{24, root, 0}, {25, root, 0x12345678}, {26, root, 0}, {27, root, 0},
                                   {28, root, 7}, {29, root, 0}, {31, root, 0}};
    ASSERT_EQ(panels_calls.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(panels_calls[i].entry, expected[i].entry);
        EXPECT_EQ(panels_calls[i].element, expected[i].element);
        EXPECT_EQ(panels_calls[i].word, expected[i].word);
    }

    // Before an install: the indicator is off, the tooltip has no text, services other than
    // install and kill are ignored.
    auto* icon = reinterpret_cast<ELEMENT_ICON*>(root->next_element[0]);
    EXPECT_EQ(icon->callback(icon), 0.0);
    MOUSE_TOOLTIP_ARG* args = static_cast<MOUSE_TOOLTIP_ARG*>(h->mouse_rect[1].api_data);
    EXPECT_EQ(args->string_callback(0.0, 0, nullptr, nullptr, h), nullptr);
    for (SINT32 service : {0, 1, 3, 4, 13, 17}) h->gauge_callback(h, service, 0);
    EXPECT_EQ(icon->callback(icon), 0.0);
    EXPECT_EQ(windows_of_this_process(), 0);
}

INSTANTIATE_TEST_SUITE_P(Dist, LoadedModule, ::testing::ValuesIn(modules),
                         [](const ::testing::TestParamInfo<Module>& info) { return std::string(info.param.name); });

}  // namespace
