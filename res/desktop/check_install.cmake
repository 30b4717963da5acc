# Installs the build into a scratch prefix and checks that every file is
# where the desktop and the program look for it: the help file beside the
# executable, the entry, the metadata and each icon size in the theme.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(expected
  ${BINDIR}/pelmora
  ${BINDIR}/pelmora.CHM
  ${DATADIR}/applications/${DESKTOP_ID}.desktop
  ${DATADIR}/metainfo/${DESKTOP_ID}.metainfo.xml)
foreach(size ${ICON_SIZES})
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png)
endforeach()

set(missing)
foreach(file ${expected})
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
execute_process(COMMAND test -x ${PREFIX}/${BINDIR}/pelmora RESULT_VARIABLE executable)
if(NOT executable EQUAL 0)
  list(APPEND missing "${BINDIR}/pelmora as an executable")
endif()
file(REMOVE_RECURSE ${PREFIX})
if(missing)
  list(JOIN missing "\n  " listed)
  message(FATAL_ERROR "missing from the installation:\n  ${listed}")
endif()
