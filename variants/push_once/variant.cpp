#include "variants/push_once/settings.h"

const VariantSettings vemble_variant = variant_push_once;
const NotifyMode player_notify_mode = variant_push_once.notify_mode;
