# Handles, bitmaps, surfaces, regions, brushes, PatBlt and the screen.
pelmora_test(gdi_handles_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/handles_test.cpp
  LIBS pelmora_platform_gdi)
pelmora_test(gdi_bitmaps_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/bitmaps_test.cpp
  LIBS pelmora_platform_gdi)
pelmora_test(gdi_surfaces_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/surfaces_test.cpp
  LIBS pelmora_platform_gdi)
pelmora_test(gdi_regions_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/regions_test.cpp
  LIBS pelmora_platform_gdi)
pelmora_test(gdi_pattern_blt_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/pattern_blt_test.cpp
  LIBS pelmora_platform_gdi)
pelmora_test(gdi_screen_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_test.cpp
  LIBS pelmora_platform_gdi)
find_package(X11 REQUIRED)
pelmora_test(gdi_x11_root_screen_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/x11_root_screen_test.cpp
  LIBS pelmora_platform_gdi X11::X11 GUI)
pelmora_test(gdi_plg_blt_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/plg_blt_test.cpp
  LIBS pelmora_platform_gdi)
