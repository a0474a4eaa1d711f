// A gauge module built wrong on purpose: its gauge callback is __cdecl, so it leaves its three
// arguments on the stack. The host must say so and carry on.
#include "gauge/host_abi.h"

namespace {

int calls = 0;
extern "C" void __cdecl wrong_callback(GAUGEHDR*, SINT32, UINT32) { ++calls; }

ELEMENT_STATIC_IMAGE root = {};
ELEMENT_HEADER* elements[2] = {&root.header, nullptr};
MOUSERECT mouse[1] = {};

char name[] = "wrong";
GAUGEHDR header = [] {
    GAUGEHDR h{};
    h.gauge_header_version = 800;
    h.gauge_name = name;
    h.elements_list = elements;
    h.mouse_rect = mouse;
    h.gauge_callback = reinterpret_cast<GaugeCallbackFn>(&wrong_callback);
    return h;
}();

}  // namespace

extern "C" {
GAUGESIMPORT ImportTable = {{{GAUGES_IMPORT_PANELS, nullptr}, {0, nullptr}}};
GAUGESLINKAGE Linkage = {GAUGES_LINKAGE_MODULE_ID, nullptr, nullptr, 0, 0, 0, {&header, nullptr}};
}
