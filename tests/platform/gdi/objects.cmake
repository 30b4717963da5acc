# Handles, bitmaps, surfaces, regions, brushes, PatBlt and the screen.
foreach(part handles bitmaps surfaces regions pattern_blt screen plg_blt)
  pelmora_test(gdi_${part}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/${part}_test.cpp
    LIBS pelmora_platform_gdi)
endforeach()
find_package(X11 REQUIRED)
pelmora_test(gdi_x11_root_screen_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/x11_root_screen_test.cpp
  LIBS pelmora_platform_gdi X11::X11 GUI)
