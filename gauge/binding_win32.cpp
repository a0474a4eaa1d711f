// The host binding of one deliverable: the host's records filled from its GaugeDefinition, the
// seven header routines, the module routines, the DLL entry and the four host callbacks that
// lead into the controller. Compiled once per deliverable; VEMBLE_SETTINGS_HEADER and
// VEMBLE_SETTINGS name its settings, so every record is constant data in the module image and
// nothing runs at load.
#include <windows.h>

#include <cstdint>

#include "gauge/controller.h"
#include "gauge/definition.h"
#include "gauge/host_abi.h"
#include VEMBLE_SETTINGS_HEADER

namespace vemble_binding {

constexpr GaugeDefinition definition = gauge_definition_for(VEMBLE_SETTINGS);

// Slots of the host's routine table hold stdcall routines taking the element first.
using PanelsElementFn = void(HOST_CALL*)(ELEMENT_HEADER* element);
using PanelsElementWordFn = void(HOST_CALL*)(ELEMENT_HEADER* element, UINT32 word);

constexpr UINT32 cursor_of(int32_t cursor) { return static_cast<UINT32>(cursor); }

void HOST_CALL module_init() {}
void HOST_CALL module_deinit() {}

void HOST_CALL on_gauge_callback(GAUGEHDR* gauge, SINT32 service, UINT32 extra_data) {
    gauge_service(gauge, service, static_cast<uintptr_t>(extra_data));
}
BOOL HOST_CALL on_mouse(PIXPOINT* point, FLAGS32 event) { return gauge_press(); }
FLOAT64 HOST_CALL on_indicator_value(ELEMENT_ICON* element) { return gauge_indicator(); }
const char* HOST_CALL on_tooltip_string(FLOAT64 number, ID id, const char* string, MODULE_VAR* source,
                                        GAUGEHDR* gauge) {
    return gauge_tooltip_arg();
}

void HOST_CALL header_query();
void HOST_CALL header_install(void* resource_handle);
void HOST_CALL header_initialize();
void HOST_CALL header_update();
void HOST_CALL header_generate(UINT32 phase);
void HOST_CALL header_draw();
void HOST_CALL header_kill();

extern GAUGEHDR gauge_header;
extern ELEMENT_ICON indicator;
extern MOUSERECT mouse_list[gauge_mouse_entry_count];

constexpr GaugeRole no_role = GaugeRole::none;
static_assert(definition.gauge_callback == GaugeRole::gauge_service);
static_assert(definition.indicator.value == GaugeRole::gauge_indicator);
static_assert(definition.mouse[1].argument == GaugeRole::gauge_tooltip_arg);
static_assert(definition.mouse[2].function == GaugeRole::gauge_press);
static_assert(definition.mouse[0].function == no_role && definition.mouse[3].function == no_role &&
              definition.mouse[4].function == no_role);

ELEMENT_HEADER* background_next[2] = {&indicator.header, nullptr};

constexpr ELEMENT_HEADER element_header(const GaugeImageElement& e, ELEMENT_HEADER** next) {
    return ELEMENT_HEADER{e.kind, e.resource_id, {e.x, e.y}, {0, 0}, {0, 0}, &gauge_header, nullptr,
                          next, nullptr, e.image_flags, 0, 0};
}

ELEMENT_STATIC_IMAGE background = {element_header(definition.background, background_next), {}, nullptr,
                                   nullptr, nullptr, nullptr, nullptr};

ELEMENT_ICON indicator = {element_header(definition.indicator, nullptr), {}, nullptr, 0, 0, 0.0, 0,
                          definition.indicator.image_count, 0, 0, nullptr, nullptr, on_indicator_value,
                          nullptr};

ELEMENT_HEADER* element_list[2] = {&background.header, nullptr};

MOUSE_TOOLTIP_ARG tooltip_args[1] = {{{}, 0.0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr,
                                      on_tooltip_string}};

constexpr MOUSERECT mouse_entry(const GaugeMouseEntry& m, MouseFn function, void* data) {
    return MOUSERECT{m.kind, {m.x, m.y, m.width, m.height}, cursor_of(m.cursor), m.help_id,
                     m.event_mask, m.event_id, function, data};
}

MOUSERECT mouse_list[gauge_mouse_entry_count] = {
    mouse_entry(definition.mouse[0], nullptr, nullptr),
    // The host reads a tooltip entry's text from its function slot.
    mouse_entry(definition.mouse[1], reinterpret_cast<MouseFn>(const_cast<char*>(definition.mouse[1].text)), tooltip_args),
    mouse_entry(definition.mouse[2], on_mouse, nullptr),
    mouse_entry(definition.mouse[3], nullptr, nullptr),
    mouse_entry(definition.mouse[4], nullptr, nullptr),
};

GAUGEHDR gauge_header = {
    definition.header_version, const_cast<char*>(definition.name), element_list,
    header_query, header_install, header_initialize, header_update, header_generate, header_draw,
    header_kill,
    nullptr, definition.size_mm_x, definition.size_mm_y, 0.0f, 0.0f, nullptr, nullptr, {0, 0}, nullptr,
    mouse_list, on_gauge_callback, 0, nullptr, nullptr, 0, nullptr, {0, 0}, {}, 0, nullptr,
};

}  // namespace vemble_binding

using namespace vemble_binding;

extern "C" {
GAUGESIMPORT ImportTable = {{{GAUGES_IMPORT_PANELS, nullptr}, {0, nullptr}}};
GAUGESLINKAGE Linkage = {GAUGES_LINKAGE_MODULE_ID, module_init,  module_deinit, 0, 0,
                         definition.linkage_version, {&gauge_header, nullptr}};
}

namespace vemble_binding {

// The host fills the routine table before it calls the first header routine; the routines
// always act on the one element tree of the module's one gauge.
void* panels_entry(unsigned n) { return static_cast<void**>(ImportTable.entries[0].pointer)[n]; }
ELEMENT_HEADER* root_element() { return Linkage.gauges[0]->elements_list[0]; }

void call_panels(unsigned n) { reinterpret_cast<PanelsElementFn>(panels_entry(n))(root_element()); }
void call_panels(unsigned n, UINT32 word) {
    reinterpret_cast<PanelsElementWordFn>(panels_entry(n))(root_element(), word);
}

void HOST_CALL header_query() { call_panels(PANELS_ELEMENT_LIST_QUERY); }
void HOST_CALL header_install(void* resource_handle) {
    call_panels(PANELS_ELEMENT_LIST_INSTALL, static_cast<UINT32>(reinterpret_cast<uintptr_t>(resource_handle)));
}
void HOST_CALL header_initialize() { call_panels(PANELS_ELEMENT_LIST_INITIALIZE); }
void HOST_CALL header_update() { call_panels(PANELS_ELEMENT_LIST_UPDATE); }
void HOST_CALL header_generate(UINT32 phase) { call_panels(PANELS_ELEMENT_LIST_GENERATE, phase); }
void HOST_CALL header_draw() { call_panels(PANELS_ELEMENT_LIST_PLOT); }
void HOST_CALL header_kill() { call_panels(PANELS_ELEMENT_LIST_KILL); }

}  // namespace vemble_binding

// The host may load and unload a module without using it: the entry opens nothing.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) { return TRUE; }
