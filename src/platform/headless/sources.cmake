# Headless backend: everything in memory; the tests link it.
add_library(quarrelo_platform_headless OBJECT ${CMAKE_CURRENT_LIST_DIR}/headless.cpp)
target_include_directories(quarrelo_platform_headless
  PUBLIC $<TARGET_PROPERTY:quarrelo_platform,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(quarrelo_platform_headless PUBLIC Threads::Threads)
