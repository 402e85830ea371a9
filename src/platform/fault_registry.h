// The one registry of platform calls a test makes fail. The stand-in asks
// it where a call could fail (through fault_point::fails, platform/
// fault_points.h, which lists every point); a test arms it, directly or
// through the headless backend's controls (platform/headless/headless.h).
// Nothing else arms it, so in the game every call answers as the machine
// lets it. Part of the core: no backend needs to know of it. Safe to use
// from any thread.
#pragma once

namespace fault_registry {

// Whether the call at the point named `name` fails this time; counts the
// question.
bool fails_now(const char* name);

// The point named `name` fails `times` times (-1: always) after `after`
// questions that it passes. Arming a point again replaces what was armed. A
// name that is not a fault point ends the process at once with a message
// naming it (a misspelt name would never fire, and its test check nothing).
void arm(const char* name, int times, int after);

// How often the point was asked so far (also when not failing).
int questions(const char* name);

// Forgets everything armed and counted.
void clear();

}  // namespace fault_registry
