#include "gauge/notice.h"

#include <windows.h>

// The owner is the host's active window, which may be null: the module handle is no window,
// and MessageBoxA with it as owner fails and shows nothing.
void gauge_notice(const char* text) {
    MessageBoxA(GetActiveWindow(), text, nullptr, MB_OK);
}
