# Programs of the end-to-end update test: qmUpdate and a stand-in main program named Quillmoor.exe,
# both built with a loopback update folder on a fixed port, side by side in one folder.
set(QM_E2E_PORT 47613)
set(_e2e_url "http://127.0.0.1:${QM_E2E_PORT}/update/")
set(_e2e_dir ${CMAKE_CURRENT_BINARY_DIR}/e2e)

add_executable(qmUpdateE2E WIN32 ${CMAKE_SOURCE_DIR}/updater/qmUpdate.cpp ${CMAKE_SOURCE_DIR}/updater/MainUnit.cpp)
target_include_directories(qmUpdateE2E PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(qmUpdateE2E PRIVATE QM_UPDATE_URL="${_e2e_url}")
target_link_libraries(qmUpdateE2E PRIVATE qm_ui)
set_target_properties(qmUpdateE2E PROPERTIES OUTPUT_NAME qmUpdate RUNTIME_OUTPUT_DIRECTORY ${_e2e_dir})
qm_warnings(qmUpdateE2E)

add_executable(QuillmoorStandIn WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/updater/standin/QuillmoorStandIn.cpp
                                      ${CMAKE_SOURCE_DIR}/app/DMUnitUpdate.cpp)
target_include_directories(QuillmoorStandIn PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(QuillmoorStandIn PRIVATE QM_UPDATE_URL="${_e2e_url}")
target_link_libraries(QuillmoorStandIn PRIVATE qm_ui)
set_target_properties(QuillmoorStandIn PROPERTIES OUTPUT_NAME Quillmoor RUNTIME_OUTPUT_DIRECTORY ${_e2e_dir})
qm_warnings(QuillmoorStandIn)

qm_wine_path(_e2e_dir_win "${_e2e_dir}")
add_dependencies(updater_tests qmUpdateE2E QuillmoorStandIn)
target_compile_definitions(updater_tests PRIVATE QM_E2E_DIR="${_e2e_dir_win}" QM_E2E_PORT=${QM_E2E_PORT})
