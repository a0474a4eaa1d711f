#include "player/player.h"

const NotifyMode player_notify_mode = NotifyMode::every_start;
