# The browser build's output (`make web`): build/web/ holds the page,
# index.html, the program, quarrelo.js and quarrelo.wasm, and the game's 19
# pictures and sounds as they are. Any static web server can serve the
# folder as it is; `make web-serve` serves it on 127.0.0.1.
set(QUARRELO_WEB_DIR ${CMAKE_SOURCE_DIR}/build/web CACHE PATH "Where the browser build's page is written")
set(web_page ${CMAKE_SOURCE_DIR}/src/platform/web/page)

# The files the page fetches into the in-memory file system before the
# program starts: every file of assets/.
file(GLOB asset_paths CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*)
list(SORT asset_paths)
set(asset_names)
set(asset_copies)
foreach(path IN LISTS asset_paths)
  get_filename_component(name ${path} NAME)
  list(APPEND asset_names "'${name}'")
  add_custom_command(OUTPUT ${QUARRELO_WEB_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${path} ${QUARRELO_WEB_DIR}/${name}
    DEPENDS ${path} VERBATIM)
  list(APPEND asset_copies ${QUARRELO_WEB_DIR}/${name})
endforeach()
list(JOIN asset_names ", " QUARRELO_WEB_ASSET_LIST)
configure_file(${web_page}/asset_files.js.in ${CMAKE_BINARY_DIR}/asset_files.js @ONLY)

add_custom_command(OUTPUT ${QUARRELO_WEB_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${web_page}/index.html ${QUARRELO_WEB_DIR}/index.html
  DEPENDS ${web_page}/index.html VERBATIM)
add_custom_target(quarrelo_web_files ALL DEPENDS ${QUARRELO_WEB_DIR}/index.html ${asset_copies})

set(pre_js ${CMAKE_BINARY_DIR}/asset_files.js ${web_page}/run_log_console.js)
set(QUARRELO_WEB_PRE_JS)
foreach(file IN LISTS pre_js)
  list(APPEND QUARRELO_WEB_PRE_JS "--pre-js=${file}")
endforeach()
set_target_properties(Quarrelo PROPERTIES
  OUTPUT_NAME quarrelo
  SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${QUARRELO_WEB_DIR}
  LINK_DEPENDS "${pre_js};${CMAKE_SOURCE_DIR}/src/platform/web/browser.js")
target_link_options(Quarrelo PRIVATE ${QUARRELO_WEB_PRE_JS})
add_dependencies(Quarrelo quarrelo_web_files)

# Emscripten's optimiser runs on Node.js and needs Debian's acorn module,
# which a Node.js that did not come from Debian does not look for.
set_property(TARGET Quarrelo PROPERTY CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# The benchmarks' builds of the page (make bench).
set(QUARRELO_WEB_PAGE_FILES ${web_page}/index.html ${asset_paths})
add_subdirectory(${CMAKE_SOURCE_DIR}/bench/web ${CMAKE_BINARY_DIR}/bench-web)
