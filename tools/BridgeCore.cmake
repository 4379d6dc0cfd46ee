# The portable part of the chdman bridge (no <windows.h>): deciding which arguments are paths,
# shell quoting, the run script and its status, UTF-8 chunking. Included by tools/ for the
# Windows build and by tests/unit for the native tests; defined once per build tree.
if(NOT TARGET qarvel_bridge_core)
  add_library(qarvel_bridge_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ArgumentKinds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellQuote.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RunScript.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Utf8Chunks.cpp)
  target_include_directories(qarvel_bridge_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_compile_options(qarvel_bridge_core PRIVATE ${QARVEL_WARNINGS})
endif()
