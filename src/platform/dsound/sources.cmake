# dsound family: the DirectSound device, its buffers and the software mixer.
target_sources(quarrelo_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/secondary_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/primary_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/buffer_interfaces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/direct_sound.cpp)
