# SDL2 backend: a real window, keyboard, mouse, game controllers and audio
# device; the game executable links it.
add_library(quarrelo_platform_sdl OBJECT ${CMAKE_CURRENT_LIST_DIR}/sdl_backend.cpp)
target_include_directories(quarrelo_platform_sdl
  PUBLIC $<TARGET_PROPERTY:quarrelo_platform,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(quarrelo_platform_sdl PUBLIC PkgConfig::SDL2 Threads::Threads ${CMAKE_DL_LIBS})
