# mmio family: buffered file and memory I/O and RIFF chunks.
target_sources(quarrelo_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mmio_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mmio_chunks.cpp)
