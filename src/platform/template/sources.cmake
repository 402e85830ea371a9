# Template backend: the one to copy when adding a backend. Linked by a test
# (tests/platform) so it always builds.
add_library(quarrelo_platform_template OBJECT ${CMAKE_CURRENT_LIST_DIR}/template_backend.cpp)
target_include_directories(quarrelo_platform_template
  PUBLIC $<TARGET_PROPERTY:quarrelo_platform,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(quarrelo_platform_template PUBLIC Threads::Threads)
