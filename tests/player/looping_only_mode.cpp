#include "player/player.h"

const NotifyMode player_notify_mode = NotifyMode::looping_only;
