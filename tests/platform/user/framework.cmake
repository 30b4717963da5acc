# Tests of the application framework built on the windowing service:
# resources' pictures, dialogs, data exchange, modal runs, file dialogs,
# the application object and help.
pelmora_test(user_picture_files_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/picture_files_test.cpp
  LIBS pelmora_platform_user)
pelmora_test(user_dialog_manager_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_manager_test.cpp
  LIBS pelmora_platform_user pelmora_test_gui_pump GUI)
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_library(pelmora_user_test_dialogs STATIC ${CMAKE_CURRENT_LIST_DIR}/test_dialogs.cpp)
target_link_libraries(pelmora_user_test_dialogs PUBLIC pelmora_platform_user pelmora_test_gui_pump PRIVATE Qt6::Widgets)
pelmora_test(user_modal_dialog_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/modal_dialog_test.cpp
  LIBS pelmora_user_test_dialogs GUI)
pelmora_test(user_data_exchange_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/data_exchange_test.cpp
  LIBS pelmora_user_test_dialogs GUI)
pelmora_test(user_file_names_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_names_test.cpp
  LIBS pelmora_platform_user Qt6::Core)
pelmora_test(user_file_dialog_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_dialog_test.cpp
  LIBS pelmora_user_test_dialogs pelmora_test_x_session Qt6::Widgets GUI)
pelmora_test(user_help_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_test.cpp
  LIBS pelmora_user_test_dialogs pelmora_test_x_session GUI)
pelmora_test(user_help_viewer_missing_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_viewer_missing_test.cpp
  LIBS pelmora_user_test_dialogs GUI)
pelmora_test(user_application_base_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/application_base_test.cpp
  LIBS pelmora_user_test_dialogs GUI)
