// The game's sound front: sets the one sound device up, loads wave files into
// clips, and plays, loops and stops them. Init_Sound and LoadSound write one
// line to the run log each; the clips trace their own failed calls.
#pragma once

#include <windows.h>

#include "sound/dsutil.h"

// The process's one sound device; null until Init_Sound, never destroyed.
extern SoundDevice* g_pSoundDevice;

// 1 when the device is created, at the priority level, with a 22050 Hz
// 16-bit stereo primary format; 0 otherwise.
int Init_Sound(HWND hwnd);
// A clip of one buffer holding the named wave file (or embedded block), or
// null. The caller deletes it.
SoundClip* LoadSound(const char* filename);
// Plays the clip once / looping; results are dropped.
void PlaySoundOnce(SoundClip* sound);
void PlaySoundLooping(SoundClip* sound);
void StopSoundClip(SoundClip* sound);
