// The screen manager: owns the screen table, dispatches every message and switches screens.
#pragma once

#include <cjson/cJSON.h>

#include "ui/ui_screen.h"

// Prints the banner, installs the translations, builds the status bar and the hidden trigger overlay,
// and shows the welcome screen. Called once, before any message arrives.
void MainScreen_Init(void);
// Handles one parsed message (null for a datagram that was not JSON).
void MainScreen_SetData(const cJSON* root);

// Locale names selectable by global.userConfigInfo.language.
constexpr int LANGUAGE_NUM = 5;
extern const char* const c_LanguageName[LANGUAGE_NUM];

// Index of the active screen; SCREEN_NONE until the first screen is shown.
extern int s_currScreenIdx;

// The screen selection rules: the index of the screen a status message calls for, or SCREEN_KEEP.
// A null root stands for "no message" (start-up).
constexpr int SCREEN_KEEP = -1;
int switch_screen_idx(const cJSON* root);

// Defined beside the real screen table (screen_table.cpp), which binds the thirteen screen modules,
// the status bar and the trigger overlay; test programs link recording stand-ins instead.
extern ui_screen_t s_allScreens[SCREEN_NUM];
void mainscreen_statusbar_init(void);                  // ui_statusbar_init()
void mainscreen_trigger_init(void);                    // ui_trigger_init()
void mainscreen_statusbar_set_data(const cJSON* root); // ui_statusbar_set_data(root)
void mainscreen_trigger_set_data(const cJSON* root);   // ui_trigger_set_data(root)
