// The panel host's records, as the host reads them from a gauge module. Written from the host's
// published binary interface: every record is packed to 4 bytes, every host-called function is
// __stdcall. The win32 build asserts every size and offset (host_abi_check.cpp).
#pragma once
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define HOST_CALL __stdcall
#else
#define HOST_CALL
#endif

using UINT32 = uint32_t;
using SINT32 = int32_t;
using FLAGS32 = uint32_t;
using FLOAT64 = double;
using ID = uint32_t;

#pragma pack(push, 4)

struct PIXPOINT { SINT32 x, y; };
struct PIXBOX { SINT32 x, y, size_x, size_y; };
struct IMAGE_SET { void* final_image; void* image_data; void* aux; void* reserved; };

struct GAUGEHDR;
struct ELEMENT_HEADER;
struct ELEMENT_ICON;

using HostVoidFn = void(HOST_CALL*)();
using HostInstallFn = void(HOST_CALL*)(void* resource_handle);
using HostGenerateFn = void(HOST_CALL*)(UINT32 phase);
using GaugeCallbackFn = void(HOST_CALL*)(GAUGEHDR* gauge, SINT32 service, UINT32 extra_data);
using MouseFn = int(HOST_CALL*)(PIXPOINT* point, FLAGS32 event);
using IconValueFn = FLOAT64(HOST_CALL*)(ELEMENT_ICON* element);

struct MODULE_VAR {
    UINT32 id;
    void* var_ptr;
    UINT32 var_type;
    FLOAT64 var_value;
    FLOAT64 var_old;
};

struct GAUGESIMPORT_ENTRY { UINT32 id; void* pointer; };
struct GAUGESIMPORT { GAUGESIMPORT_ENTRY entries[2]; };

struct GAUGESLINKAGE {
    UINT32 module_id;
    HostVoidFn module_init;
    HostVoidFn module_deinit;
    FLAGS32 flags;
    UINT32 priority;
    UINT32 version;
    GAUGEHDR* gauges[2];  // open-ended in the host's view; ours holds one header, then null
};

struct MOUSERECT {
    UINT32 rect_type;
    PIXBOX relative_box;
    UINT32 cursor;
    ID help_id;
    FLAGS32 event_type;
    ID event_id;
    MouseFn mouse_function;  // a tooltip entry keeps its text here
    void* api_data;
};

struct GAUGEHDR {
    UINT32 gauge_header_version;
    char* gauge_name;
    ELEMENT_HEADER** elements_list;
    HostVoidFn query_routine;
    HostInstallFn install_routine;
    HostVoidFn initialize_routine;
    HostVoidFn update_routine;
    HostGenerateFn generate_routine;
    HostVoidFn draw_routine;
    HostVoidFn kill_routine;
    void* reserved1;
    UINT32 size_x_mm;
    UINT32 size_y_mm;
    float x_adjust;
    float y_adjust;
    void* reserved2;
    void* reserved3;
    PIXPOINT position;
    void* reserved4;
    MOUSERECT* mouse_rect;
    GaugeCallbackFn gauge_callback;
    UINT32 user_data;
    char* parameters;
    char* usage;
    SINT32 reserved5;
    void* reserved6;
    PIXPOINT size;
    FLOAT64 user_area[10];
    FLAGS32 flags;
    void* reserved7;
};

struct ELEMENT_HEADER {
    UINT32 element_type;
    ID resource_id;
    PIXPOINT position;
    PIXPOINT previous_position;
    PIXPOINT ofs;
    GAUGEHDR* gauge_header;
    ELEMENT_HEADER* previous_element;
    ELEMENT_HEADER** next_element;
    void* failure_records;
    FLAGS32 image_flags;
    FLAGS32 aircraft_special_instrumentation;
    UINT32 reserved;
};

struct ELEMENT_STATIC_IMAGE {
    ELEMENT_HEADER header;
    IMAGE_SET image_data;
    void* save_buffer;
    void* hdc;
    void* hbmp;
    void* reserved1;
    void* reserved2;
};

struct ELEMENT_ICON {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;
    void* source_var_callback;
    UINT32 switch_type;
    UINT32 switch_count;
    FLOAT64 scale;
    SINT32 offset;
    UINT32 num_icons;
    SINT32 current_icon;
    SINT32 destination_icon;
    IMAGE_SET* icon_data;
    void* save_buffer;
    IconValueFn callback;
    void* reserved;
};

using TooltipNumberFn = FLOAT64(HOST_CALL*)(FLOAT64 number, ID id, const char* string, MODULE_VAR* source, GAUGEHDR* gauge);
using TooltipIdFn = ID(HOST_CALL*)(FLOAT64 number, ID id, const char* string, MODULE_VAR* source, GAUGEHDR* gauge);
using TooltipStringFn = const char*(HOST_CALL*)(FLOAT64 number, ID id, const char* string, MODULE_VAR* source, GAUGEHDR* gauge);

struct MOUSE_TOOLTIP_ARG {
    MODULE_VAR source_var;
    FLOAT64 scale;
    void* numeric_table;
    UINT32 numeric_table_count;
    void* id_table;
    UINT32 id_table_count;
    void* string_table;
    UINT32 string_table_count;
    TooltipNumberFn numeric_callback;
    TooltipIdFn id_callback;
    TooltipStringFn string_callback;
};

// The record whose first field is the point handed to a mouse function.
struct MOUSECALLBACK {
    PIXPOINT relative_point;
    GAUGEHDR* gauge;
    MOUSERECT* mouse;
    PIXPOINT screen_point;
    void* reserved;
};

#pragma pack(pop)

// Gauge services: the `service` argument of the gauge callback.
constexpr SINT32 PANEL_SERVICE_PRE_INSTALL = 2;
constexpr SINT32 PANEL_SERVICE_PRE_KILL = 12;

// Element types, image flags, mouse kinds, cursors and events.
constexpr UINT32 ELEMENT_TYPE_STATIC_IMAGE = 0;
constexpr UINT32 ELEMENT_TYPE_ICON = 4;
constexpr FLAGS32 IMAGE_USE_TRANSPARENCY = 0x1;
constexpr FLAGS32 IMAGE_USE_ERASE = 0x2;
constexpr UINT32 MOUSE_RECT_EOL = 0, MOUSE_RECT_PARENT = 1, MOUSE_RECT_CHILD = 2,
                 MOUSE_RECT_END_PARENT = 3, MOUSE_RECT_USER = 4;
constexpr UINT32 CURSOR_NONE = 0xFFFFFFFFu, CURSOR_NORMAL = 0, CURSOR_HAND = 5;
constexpr FLAGS32 MOUSE_LEFTSINGLE = 0x20000000, MOUSE_DOWN_REPEAT = 0x00200000,
                  MOUSE_LEFTDRAG = 0x00800000, MOUSE_LEFTRELEASE = 0x00020000;
constexpr UINT32 GAUGES_IMPORT_PANELS = 0x0F;
constexpr UINT32 GAUGES_LINKAGE_MODULE_ID = 0x13;

// Entries of the host's routine table (PANELS) that the header routines call.
enum : unsigned {
    PANELS_ELEMENT_LIST_QUERY = 24,
    PANELS_ELEMENT_LIST_INSTALL = 25,
    PANELS_ELEMENT_LIST_INITIALIZE = 26,
    PANELS_ELEMENT_LIST_UPDATE = 27,
    PANELS_ELEMENT_LIST_GENERATE = 28,
    PANELS_ELEMENT_LIST_PLOT = 29,
    PANELS_ELEMENT_LIST_ERASE = 30,
    PANELS_ELEMENT_LIST_KILL = 31,
};
