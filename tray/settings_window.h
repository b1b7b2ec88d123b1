// The settings window: class "DoviZavazovu", created from the template
// "MyDialog2", whose one procedure serves the whole program.
#ifndef HUSHPANE_SETTINGS_WINDOW_H
#define HUSHPANE_SETTINGS_WINDOW_H

#include <windows.h>

void SettingsWindow_RegisterClass(HINSTANCE module);
HWND SettingsWindow_Create(HINSTANCE module);
// Moves the controls added in code to the template font's actual scale.
void SettingsWindow_FitAddedControls(HWND window);
// Makes sure the animation runs the clip "FLASHINGP".
void SettingsWindow_StartClip(HWND window);
// Ticks the boxes from the switches loaded at start-up; "Browser" is forced on.
void SettingsWindow_ShowSwitches(HWND window);

#endif
