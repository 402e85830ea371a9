# pads: game controllers as their players' keys, merged into the keyboard.
target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pad_keys.cpp)
