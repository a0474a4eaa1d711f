#include "variants/toggle_latched/settings.h"

const VariantSettings vemble_variant = variant_toggle_latched;
const NotifyMode player_notify_mode = variant_toggle_latched.notify_mode;
