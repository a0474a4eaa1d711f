// The host reads our records byte by byte: every size and offset it relies on is checked here,
// in every module build.
#include <cstddef>

#include "gauge/host_abi.h"

#define HOST_AT(record, field, offset) static_assert(offsetof(record, field) == (offset), #record "." #field)

static_assert(sizeof(void*) == 4 && sizeof(FLOAT64) == 8, "the host is 32-bit x86");
static_assert(sizeof(PIXPOINT) == 8 && sizeof(PIXBOX) == 16 && sizeof(IMAGE_SET) == 16);

static_assert(sizeof(GAUGESIMPORT) == 16);
HOST_AT(GAUGESIMPORT, entries[0].id, 0);
HOST_AT(GAUGESIMPORT, entries[0].pointer, 4);
HOST_AT(GAUGESIMPORT, entries[1].id, 8);
HOST_AT(GAUGESIMPORT, entries[1].pointer, 12);

HOST_AT(GAUGESLINKAGE, module_id, 0);
HOST_AT(GAUGESLINKAGE, module_init, 4);
HOST_AT(GAUGESLINKAGE, module_deinit, 8);
HOST_AT(GAUGESLINKAGE, flags, 12);
HOST_AT(GAUGESLINKAGE, priority, 16);
HOST_AT(GAUGESLINKAGE, version, 20);
HOST_AT(GAUGESLINKAGE, gauges, 24);
static_assert(sizeof(GAUGESLINKAGE) == 32);

static_assert(sizeof(GAUGEHDR) == 204);
HOST_AT(GAUGEHDR, gauge_header_version, 0);
HOST_AT(GAUGEHDR, gauge_name, 4);
HOST_AT(GAUGEHDR, elements_list, 8);
HOST_AT(GAUGEHDR, query_routine, 12);
HOST_AT(GAUGEHDR, install_routine, 16);
HOST_AT(GAUGEHDR, initialize_routine, 20);
HOST_AT(GAUGEHDR, update_routine, 24);
HOST_AT(GAUGEHDR, generate_routine, 28);
HOST_AT(GAUGEHDR, draw_routine, 32);
HOST_AT(GAUGEHDR, kill_routine, 36);
HOST_AT(GAUGEHDR, reserved1, 40);
HOST_AT(GAUGEHDR, size_x_mm, 44);
HOST_AT(GAUGEHDR, size_y_mm, 48);
HOST_AT(GAUGEHDR, x_adjust, 52);
HOST_AT(GAUGEHDR, y_adjust, 56);
HOST_AT(GAUGEHDR, reserved2, 60);
HOST_AT(GAUGEHDR, reserved3, 64);
HOST_AT(GAUGEHDR, position, 68);
HOST_AT(GAUGEHDR, reserved4, 76);
HOST_AT(GAUGEHDR, mouse_rect, 80);
HOST_AT(GAUGEHDR, gauge_callback, 84);
HOST_AT(GAUGEHDR, user_data, 88);
HOST_AT(GAUGEHDR, parameters, 92);
HOST_AT(GAUGEHDR, usage, 96);
HOST_AT(GAUGEHDR, reserved5, 100);
HOST_AT(GAUGEHDR, reserved6, 104);
HOST_AT(GAUGEHDR, size, 108);
HOST_AT(GAUGEHDR, user_area, 116);
HOST_AT(GAUGEHDR, flags, 196);
HOST_AT(GAUGEHDR, reserved7, 200);

static_assert(sizeof(ELEMENT_HEADER) == 60);
HOST_AT(ELEMENT_HEADER, element_type, 0);
HOST_AT(ELEMENT_HEADER, resource_id, 4);
HOST_AT(ELEMENT_HEADER, position, 8);
HOST_AT(ELEMENT_HEADER, previous_position, 16);
HOST_AT(ELEMENT_HEADER, ofs, 24);
HOST_AT(ELEMENT_HEADER, gauge_header, 32);
HOST_AT(ELEMENT_HEADER, previous_element, 36);
HOST_AT(ELEMENT_HEADER, next_element, 40);
HOST_AT(ELEMENT_HEADER, failure_records, 44);
HOST_AT(ELEMENT_HEADER, image_flags, 48);
HOST_AT(ELEMENT_HEADER, aircraft_special_instrumentation, 52);
HOST_AT(ELEMENT_HEADER, reserved, 56);

static_assert(sizeof(ELEMENT_STATIC_IMAGE) == 96);
HOST_AT(ELEMENT_STATIC_IMAGE, image_data, 60);
HOST_AT(ELEMENT_STATIC_IMAGE, save_buffer, 76);
HOST_AT(ELEMENT_STATIC_IMAGE, hdc, 80);
HOST_AT(ELEMENT_STATIC_IMAGE, hbmp, 84);
HOST_AT(ELEMENT_STATIC_IMAGE, reserved1, 88);
HOST_AT(ELEMENT_STATIC_IMAGE, reserved2, 92);

static_assert(sizeof(MODULE_VAR) == 28);
HOST_AT(MODULE_VAR, id, 0);
HOST_AT(MODULE_VAR, var_ptr, 4);
HOST_AT(MODULE_VAR, var_type, 8);
HOST_AT(MODULE_VAR, var_value, 12);
HOST_AT(MODULE_VAR, var_old, 20);

static_assert(sizeof(ELEMENT_ICON) == 140);
HOST_AT(ELEMENT_ICON, source_var, 60);
HOST_AT(ELEMENT_ICON, source_var_callback, 88);
HOST_AT(ELEMENT_ICON, switch_type, 92);
HOST_AT(ELEMENT_ICON, switch_count, 96);
HOST_AT(ELEMENT_ICON, scale, 100);
HOST_AT(ELEMENT_ICON, offset, 108);
HOST_AT(ELEMENT_ICON, num_icons, 112);
HOST_AT(ELEMENT_ICON, current_icon, 116);
HOST_AT(ELEMENT_ICON, destination_icon, 120);
HOST_AT(ELEMENT_ICON, icon_data, 124);
HOST_AT(ELEMENT_ICON, save_buffer, 128);
HOST_AT(ELEMENT_ICON, callback, 132);
HOST_AT(ELEMENT_ICON, reserved, 136);

static_assert(sizeof(MOUSERECT) == 44);
HOST_AT(MOUSERECT, rect_type, 0);
HOST_AT(MOUSERECT, relative_box, 4);
HOST_AT(MOUSERECT, cursor, 20);
HOST_AT(MOUSERECT, help_id, 24);
HOST_AT(MOUSERECT, event_type, 28);
HOST_AT(MOUSERECT, event_id, 32);
HOST_AT(MOUSERECT, mouse_function, 36);
HOST_AT(MOUSERECT, api_data, 40);

static_assert(sizeof(MOUSECALLBACK) == 28);
HOST_AT(MOUSECALLBACK, relative_point, 0);
HOST_AT(MOUSECALLBACK, gauge, 8);
HOST_AT(MOUSECALLBACK, mouse, 12);
HOST_AT(MOUSECALLBACK, screen_point, 16);
HOST_AT(MOUSECALLBACK, reserved, 24);

static_assert(sizeof(MOUSE_TOOLTIP_ARG) == 72);
HOST_AT(MOUSE_TOOLTIP_ARG, source_var, 0);
HOST_AT(MOUSE_TOOLTIP_ARG, scale, 28);
HOST_AT(MOUSE_TOOLTIP_ARG, numeric_table, 36);
HOST_AT(MOUSE_TOOLTIP_ARG, numeric_table_count, 40);
HOST_AT(MOUSE_TOOLTIP_ARG, id_table, 44);
HOST_AT(MOUSE_TOOLTIP_ARG, id_table_count, 48);
HOST_AT(MOUSE_TOOLTIP_ARG, string_table, 52);
HOST_AT(MOUSE_TOOLTIP_ARG, string_table_count, 56);
HOST_AT(MOUSE_TOOLTIP_ARG, numeric_callback, 60);
HOST_AT(MOUSE_TOOLTIP_ARG, id_callback, 64);
HOST_AT(MOUSE_TOOLTIP_ARG, string_callback, 68);
