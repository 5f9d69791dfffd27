# The browser build: everything is compiled with emscripten (configure with
# `emcmake cmake -DVORLAK_FRONT_END=web ...`). The page's own targets mark
# themselves VORLAK_BROWSER; every other program (the tests, the scenario
# tool) is built to run under node, reading files by path.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "VORLAK_FRONT_END=web is built with emscripten: configure with `emcmake cmake -DVORLAK_FRONT_END=web ...`")
endif()

# Where the site is gathered (the page, its script and wasm, the bundle).
set(VORLAK_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# Debian's emscripten runs its JavaScript tools with the machine's node, which
# finds their modules (acorn and the rest) only through NODE_PATH.
set(VORLAK_NODE_MODULES /usr/share/nodejs CACHE PATH "Where the node modules of emscripten's tools are")
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${VORLAK_NODE_MODULES})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${VORLAK_NODE_MODULES})

define_property(TARGET PROPERTY VORLAK_BROWSER BRIEF_DOCS "Built for the page, not for node" FULL_DOCS "-")
set(vorlak_for_node $<NOT:$<BOOL:$<TARGET_PROPERTY:VORLAK_BROWSER>>>)
# The core throws (a clock given a second tick handler, the scenario runner's
# failures): under node exceptions are caught, not turned into an abort. The
# page catches none, and is smaller without.
add_compile_options($<${vorlak_for_node}:-fexceptions>)
add_link_options($<${vorlak_for_node}:-fexceptions> -sALLOW_MEMORY_GROWTH=1)
# Under node: files by path (binary data on stdin arrives altered), the exit
# code of main, and no fetch of the wasm (node 20's fetch takes no paths).
add_link_options($<${vorlak_for_node}:-sNODERAWFS=1> $<${vorlak_for_node}:-sEXIT_RUNTIME=1>
                 $<${vorlak_for_node}:-sENVIRONMENT=node>)

# Tests run under node; emcmake's default passes a flag node 20 refuses.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch CACHE STRING "How the tests run" FORCE)

# GoogleTest from Debian's sources, compiled with emscripten like the rest.
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/web-gtest CACHE PATH "GoogleTest built from its sources" FORCE)
