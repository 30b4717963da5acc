# Fonts and alpha blending.
pelmora_test(gdi_fonts_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fonts_test.cpp
  LIBS pelmora_platform_gdi)
