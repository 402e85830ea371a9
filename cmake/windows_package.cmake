# Target quarrelo_dist: the folder a Windows player receives, dist/windows/
# with Quarrelo.exe and the game's assets beside it, and a zip of it,
# dist/Quarrelo-windows.zip, that unpacks into a folder named Quarrelo.
set(QUARRELO_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the Windows package is written")

if(TARGET Quarrelo)
  add_custom_target(quarrelo_dist
    COMMAND ${CMAKE_COMMAND}
      -DEXE=$<TARGET_FILE:Quarrelo>
      -DASSETS=${CMAKE_SOURCE_DIR}/assets
      -DREADME=${CMAKE_SOURCE_DIR}/cmake/windows_player_readme.txt
      -DDIST=${QUARRELO_DIST_DIR}
      -DSTAGE=${CMAKE_BINARY_DIR}/package
      -P ${CMAKE_SOURCE_DIR}/cmake/windows_dist.cmake
    DEPENDS Quarrelo
    VERBATIM)
endif()
