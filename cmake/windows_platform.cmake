# The Windows build's platform: the tool chain's own headers and import
# libraries. Included by the top-level CMakeLists.txt in place of
# src/platform/ when the target system is Windows, so the program's modules
# link the same target names they link on Linux.

# The platform itself: Direct3D 9, D3DX 9 (build 29, d3dx9_29.dll),
# DirectInput 8, DirectSound, the DirectX interface identifiers, multimedia
# file I/O and the Win32 user interface and kernel. The only include folder
# is src/ for the program's own headers; <windows.h> and the rest are the
# tool chain's.
add_library(quarrelo_platform INTERFACE)
target_include_directories(quarrelo_platform INTERFACE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(quarrelo_platform INTERFACE d3d9 d3dx9_29 dinput8 dsound dxguid winmm user32 gdi32
                                                  kernel32)
# <windows.h> would otherwise define min and max as macros, which the Linux
# stand-in never does.
target_compile_definitions(quarrelo_platform INTERFACE NOMINMAX)

# On Linux the entry target supplies a main that calls WinMain, and the game
# links the SDL backend. On Windows the C runtime's start-up of a GUI-subsystem
# program (-mwindows) calls the program's WinMain itself; WinMain lives in a
# static library, so the linker is told to take it before the start-up code
# asks for it. The executable also gets its version resource here. There is
# no backend.
enable_language(RC)
add_library(quarrelo_winmain INTERFACE)
target_sources(quarrelo_winmain INTERFACE ${CMAKE_CURRENT_LIST_DIR}/quarrelo.rc)
target_link_options(quarrelo_winmain INTERFACE -mwindows -Wl,-u,WinMain)
add_library(quarrelo_platform_sdl INTERFACE)

# The C and C++ runtimes are linked in, so Quarrelo.exe needs no MinGW DLLs
# beside it; only the system's and DirectX's DLLs remain.
add_link_options(-static)
# The release package carries no debug symbols.
add_link_options($<$<CONFIG:Release>:-s>)
