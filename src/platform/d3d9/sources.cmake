# Direct3D 9 and D3DX 9: a software device over 32-bit pixel arrays.
target_sources(quarrelo_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/composition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/direct3d.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_loading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sprite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_queries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_picture.cpp)
# The image decoder (image_decoder.h): SDL2_image, or stb_image in the browser.
if(EMSCRIPTEN)
  target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/image_decoder_stb.cpp)
else()
  target_sources(quarrelo_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/image_decoder_sdl.cpp)
endif()
