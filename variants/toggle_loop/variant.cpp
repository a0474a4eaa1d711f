#include "variants/toggle_loop/settings.h"

const VariantSettings vemble_variant = variant_toggle_loop;
const NotifyMode player_notify_mode = variant_toggle_loop.notify_mode;
