# Compiles the help project in a folder of its own in the build tree (the
# compiler writes its output beside the project file) and moves the result
# into place only when the compiler neither failed nor warned: a page that
# links to a missing file fails the build instead of shipping a dead link.
# -DLENIENT=ON accepts warnings, for test projects that link outside
# themselves on purpose.
#   cmake -DCHMCMD=... -DPROJECT_FILE=<folder>/<name>.hhp -DSTAGE=... -DOUTPUT=... [-DLENIENT=ON] -P compile_help.cmake
# The whole folder of the project file is compiled, subfolders included.
file(REMOVE_RECURSE ${STAGE})
get_filename_component(project_folder ${PROJECT_FILE} DIRECTORY)
file(COPY ${project_folder}/ DESTINATION ${STAGE})
get_filename_component(project_name ${PROJECT_FILE} NAME)

execute_process(
  COMMAND ${CHMCMD} ${project_name}
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

file(GLOB compiled ${STAGE}/*.chm)
list(LENGTH compiled count)
set(complaints "Error|exception")
if(NOT LENIENT)
  set(complaints "Warning|${complaints}")
endif()
if(NOT result EQUAL 0 OR output MATCHES "${complaints}" OR NOT count EQUAL 1)
  file(REMOVE ${compiled})
  message(FATAL_ERROR "chmcmd could not compile ${PROJECT_FILE} cleanly (exit ${result}):\n${output}")
endif()

# Renamed into place, so a reader never sees half a file.
file(COPY_FILE ${compiled} ${OUTPUT}.part)
file(RENAME ${OUTPUT}.part ${OUTPUT})
