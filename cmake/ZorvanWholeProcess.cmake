# Tests of whole processes, for the 32-bit build that is shipped: Zorvan.exe running a
# configuration unattended, the launcher started and ended, and the installer (its own
# prefix, see installer/).
zv_test_program(whole_process_tests ${CMAKE_SOURCE_DIR}/tests/app/program_sessiontest.cpp
                ${CMAKE_SOURCE_DIR}/tests/launcher/launcher_sessiontest.cpp
                ${CMAKE_SOURCE_DIR}/resources/app/zorvan.rc LOCK zorvan_session)
add_dependencies(whole_process_tests Zorvan zorvan_launcher enterprise_standin main_standin)
add_subdirectory(installer)
