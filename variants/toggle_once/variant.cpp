#include "variants/toggle_once/settings.h"

const VariantSettings vemble_variant = variant_toggle_once;
const NotifyMode player_notify_mode = variant_toggle_once.notify_mode;
