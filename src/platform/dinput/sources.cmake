# dinput family: DirectInput 8 keyboard and mouse over the win32 input state.
target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/dinput.cpp)
