# Web backend: the page's canvas, keyboard, mouse, controllers, Web Audio and
# timers, in the browser build (Emscripten). The game links it there; what
# the link needs comes with it: the page's side (browser.js), Asyncify for
# the sleeps, and the files the page loads before the program starts
# (cmake/web_page.cmake makes the page around it).
add_library(quarrelo_platform_web OBJECT ${CMAKE_CURRENT_LIST_DIR}/web_backend.cpp)
target_include_directories(quarrelo_platform_web
  PUBLIC $<TARGET_PROPERTY:quarrelo_platform,INTERFACE_INCLUDE_DIRECTORIES>)
# Asyncify unwinds and rewinds only the calls that lead to a sleep: those
# that reach quarrelo_web_sleep_until by direct calls (the frame pacing's
# tick count, Sleep and the sound library's wait for a lost buffer, and
# their callers up to main). No sleep is reached through a function
# pointer or a COM method, so indirect calls are left as they are
# (ASYNCIFY_IGNORE_INDIRECT): the window procedure, the COM objects and the
# audio pull stay uninstrumented.
set(QUARRELO_WEB_LINK_OPTIONS
  -sASYNCIFY
  "-sASYNCIFY_IMPORTS=['quarrelo_web_sleep_until']"
  -sASYNCIFY_IGNORE_INDIRECT
  -sASYNCIFY_STACK_SIZE=16384
  # exit() ends the program for good: atexit handlers, then Module.onExit.
  -sEXIT_RUNTIME
  # Nothing lives in the first 64 KiB, as in a Windows process, so that no
  # pointer is taken for a resource number (IS_INTRESOURCE: a class name,
  # a cursor name).
  -sGLOBAL_BASE=65536
  -sALLOW_MEMORY_GROWTH
  -sINITIAL_MEMORY=33554432
  -sENVIRONMENT=web
  -sFORCE_FILESYSTEM
  -fexceptions
  --js-library=${CMAKE_CURRENT_LIST_DIR}/browser.js)
target_link_options(quarrelo_platform_web INTERFACE ${QUARRELO_WEB_LINK_OPTIONS})
