# Programs of the end-to-end update test: qmUpdate and the main program, both built with a loopback
# update folder on a fixed port.
set(QM_E2E_PORT 47613)
set(_e2e_url "http://127.0.0.1:${QM_E2E_PORT}/update/")
set(_e2e_dir ${CMAKE_CURRENT_BINARY_DIR}/e2e)

add_executable(qmUpdateE2E WIN32 ${CMAKE_SOURCE_DIR}/updater/qmUpdate.cpp ${CMAKE_SOURCE_DIR}/updater/MainUnit.cpp)
target_include_directories(qmUpdateE2E PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(qmUpdateE2E PRIVATE QM_UPDATE_URL="${_e2e_url}")
target_link_libraries(qmUpdateE2E PRIVATE qm_ui)
set_target_properties(qmUpdateE2E PROPERTIES OUTPUT_NAME qmUpdate RUNTIME_OUTPUT_DIRECTORY ${_e2e_dir})
qm_warnings(qmUpdateE2E)

qm_wine_path(_e2e_dir_win "${_e2e_dir}")
add_dependencies(updater_tests qmUpdateE2E)
target_compile_definitions(updater_tests PRIVATE QM_E2E_DIR="${_e2e_dir_win}" QM_E2E_PORT=${QM_E2E_PORT})

# The real main program with the same loopback update folder: the update check is compiled again
# with that address and linked ahead of the library's copy.
if(TARGET qm_app AND EXISTS ${CMAKE_SOURCE_DIR}/app/Quillmoor.cpp)
  add_library(qm_update_check_e2e OBJECT ${CMAKE_SOURCE_DIR}/app/DMUnitUpdate.cpp)
  target_include_directories(qm_update_check_e2e PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(qm_update_check_e2e PRIVATE QM_UPDATE_URL="${_e2e_url}")
  qm_warnings(qm_update_check_e2e)
  add_executable(QuillmoorE2E WIN32 ${CMAKE_SOURCE_DIR}/app/Quillmoor.cpp $<TARGET_OBJECTS:qm_update_check_e2e>)
  target_link_libraries(QuillmoorE2E PRIVATE qm_app)
  set_target_properties(QuillmoorE2E PROPERTIES OUTPUT_NAME Quillmoor RUNTIME_OUTPUT_DIRECTORY ${_e2e_dir})
  qm_warnings(QuillmoorE2E)
  add_dependencies(updater_tests QuillmoorE2E)
  target_compile_definitions(updater_tests PRIVATE QM_E2E_MAIN=1)
endif()
