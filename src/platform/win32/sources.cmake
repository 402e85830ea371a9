# win32 family: kernel calls, events, embedded data blocks, windows and the
# message queue, rectangles, and the input state that dinput reads.
target_sources(quarrelo_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/kernel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_state.cpp)

# The process entry that calls the program's WinMain. The game executable
# links it; tests call WinMain themselves and never link it.
add_library(quarrelo_winmain OBJECT ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(quarrelo_winmain PUBLIC quarrelo_platform)
