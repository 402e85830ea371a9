# Script (cmake -P) that lays out the Windows package; run by the target
# quarrelo_dist with EXE, ASSETS, README, DIST and STAGE set.
foreach(var EXE ASSETS README DIST STAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "windows_dist: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "windows_dist: no executable at ${EXE}")
endif()
file(GLOB asset_files LIST_DIRECTORIES false "${ASSETS}/*")
# The controllers' key table is the Linux stand-in's: on Windows DirectInput's
# keyboard is the keyboard alone.
list(FILTER asset_files EXCLUDE REGEX "/controllers\\.txt$")
if(NOT asset_files)
  message(FATAL_ERROR "windows_dist: no assets in ${ASSETS}")
endif()

set(folder "${DIST}/windows")
set(zip "${DIST}/Quarrelo-windows.zip")
file(REMOVE_RECURSE "${folder}" "${STAGE}")
file(REMOVE "${zip}")

# The game loads its images and waves by plain name from its working
# folder, so they sit beside the executable.
file(MAKE_DIRECTORY "${folder}")
file(COPY "${EXE}" DESTINATION "${folder}")
file(COPY ${asset_files} DESTINATION "${folder}")
file(COPY "${README}" DESTINATION "${folder}")
file(RENAME "${folder}/windows_player_readme.txt" "${folder}/README.txt")

file(MAKE_DIRECTORY "${STAGE}")
file(COPY "${folder}/" DESTINATION "${STAGE}/Quarrelo")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${zip}" --format=zip Quarrelo
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE tar_result)
if(NOT tar_result EQUAL 0)
  message(FATAL_ERROR "windows_dist: could not write ${zip}")
endif()
file(REMOVE_RECURSE "${STAGE}")

file(SIZE "${folder}/Quarrelo.exe" exe_size)
message(STATUS "Windows package: ${folder} (Quarrelo.exe ${exe_size} bytes) and ${zip}")
