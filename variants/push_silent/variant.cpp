#include "variants/push_silent/settings.h"

const VariantSettings vemble_variant = variant_push_silent;
const NotifyMode player_notify_mode = variant_push_silent.notify_mode;
