# pads: game controllers as their players' keys, merged into the keyboard.
target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pad_keys.cpp
                                         ${CMAKE_CURRENT_LIST_DIR}/key_table.cpp)

# The controllers' key table the game ships beside its assets is also built
# in, as the default when the file is missing or has a fault: one source for
# both. A change to the file makes CMake write the built-in copy again.
set(quarrelo_key_table ${PROJECT_SOURCE_DIR}/assets/controllers.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${quarrelo_key_table})
file(READ ${quarrelo_key_table} QUARRELO_KEY_TABLE_TEXT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/built_in_key_table.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/pads/built_in_key_table.cpp @ONLY)
target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/pads/built_in_key_table.cpp)
