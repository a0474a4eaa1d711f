// Waits while dispatching the thread's messages, as the host's panel thread does, so that
// window notifications (the player's end events) arrive.
#pragma once

void pump_messages_for(unsigned milliseconds);
