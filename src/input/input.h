// Keyboard and mouse through DirectInput 8. The keyboard is a table of 256
// key states by DirectInput scan code, refreshed once per frame; the mouse is
// held and read the same way. Start-up routines return 1 on success and 0 on
// failure, writing one line to the run log either way.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

extern IDirectInput8A* dinput_object;
extern IDirectInputDevice8A* mouse_device;
extern IDirectInputDevice8A* keyboard_device;
extern BYTE key_snapshot[256];
extern DIMOUSESTATE mouse_snapshot;

// Creates the DirectInput object and the mouse and keyboard devices.
int Init_Input(HWND window);
// Mouse: standard format, exclusive foreground, acquired.
int Init_Mouse(HWND window);
// Keyboard: standard format, shared foreground, acquired.
int Init_Keyboard(HWND window);

// Poll the devices into the snapshots. A device the platform took away (the
// window lost the foreground) is acquired again; while that fails the
// snapshot reads as nothing pressed and no movement. Read_Keyboard then
// hands the snapshot to the key source, if one is set.
void Read_Mouse();
void Read_Keyboard();

// Another source of key presses than the keyboard: called at the end of
// every Read_Keyboard with the 256 bytes just read, which it may change
// (0x80 down, 0 up) before any key is tested. Null: none (the default).
typedef void (*KeySource)(BYTE* keys);
void Set_KeySource(KeySource source);

// 0x80 while the key was down at the last read, else 0.
int Key_Held(int code);
int Mouse_DeltaX();
int Mouse_DeltaY();
// 0x80 while button 0..3 was down at the last read, else 0.
int Mouse_ButtonHeld(int button);

// Unacquire and release the device if there is one; the line is written
// either way.
void Release_Mouse();
void Release_Keyboard();
