// A modal notice to the panel author: shows the text and waits until it is confirmed.
#pragma once

void gauge_notice(const char* text);
