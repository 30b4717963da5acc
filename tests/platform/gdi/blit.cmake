# The pixel engine behind PlgBlt, tested on plain memory.
pelmora_test(gdi_blit_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/blit_area_average_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/blit_placement_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/blit_input_test.cpp
  LIBS pelmora_platform_gdi)
