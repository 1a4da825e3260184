// The screen manager: owns the screen table, hands every message on and switches screens.
#pragma once

#include <cjson/cJSON.h>

#include "msg/msg.h"
#include "ui/ui_screen.h"

// Prints the banner, installs the translations, builds the status bar and the hidden trigger overlay,
// and shows the welcome screen. Called once, before any message arrives.
void MainScreen_Init(void);
// Handles one parsed message (null for a datagram that was not JSON).
void MainScreen_SetData(const cJSON* root);
// Shows screen `idx` (0 to 12) as a status message that selects it would: log line, old onhide, init
// on first use, load, new onshow. Nothing happens for the active screen or an index out of range.
void MainScreen_SwitchScreen(int idx);
// Makes a locale of the translation pack current and tells every screen built so far; false (and no
// change) when the pack has no such locale.
bool MainScreen_SetLocale(const char* name);
// The index of the active screen; SCREEN_NONE before MainScreen_Init.
int MainScreen_GetScreen(void);
