# Every area folder (platform, store, ...) becomes one static library zv_<area>
# from its portable *.cpp files plus win32/*.cpp (Windows) or posix/*.cpp (native).

add_library(zv_common INTERFACE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zorvan_version.h.in
               ${CMAKE_BINARY_DIR}/generated/zorvan_version.h @ONLY)
target_include_directories(zv_common INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_compile_options(zv_common INTERFACE -Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Narrow literals are Windows-1251 bytes everywhere, as the product's texts are.
  target_compile_options(zv_common INTERFACE -finput-charset=UTF-8 -fexec-charset=CP1251)
endif()
if(WIN32)
  target_compile_definitions(zv_common INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0601)
  target_link_options(zv_common INTERFACE -static -static-libgcc -static-libstdc++)
endif()
if(ZV_SANITIZE)
  target_compile_options(zv_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(zv_common INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  set(ZV_PLATFORM_DIR win32)
else()
  set(ZV_PLATFORM_DIR posix)
endif()

function(zv_area name)
  cmake_parse_arguments(A "" "" "DEPENDS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp
       ${CMAKE_SOURCE_DIR}/${name}/${ZV_PLATFORM_DIR}/*.cpp)
  if(srcs)
    add_library(zv_${name} STATIC ${srcs})
    target_link_libraries(zv_${name} PUBLIC zv_common ${A_DEPENDS})
  else()
    add_library(zv_${name} INTERFACE)
    target_link_libraries(zv_${name} INTERFACE zv_common ${A_DEPENDS})
  endif()
endfunction()

# archive/: the ZIP check, on zlib (linked statically into the Windows programs).
function(zv_archive_area)
  if(WIN32)
    set(ZLIB_USE_STATIC_LIBS ON)
  endif()
  find_package(ZLIB REQUIRED)
  zv_area(archive DEPENDS zv_platform)
  target_link_libraries(zv_archive PUBLIC ZLIB::ZLIB)
endfunction()

# Windows paths of the source tree for tests that read committed data under Wine (Z: is /).
if(WIN32)
  string(REPLACE "/" "\\\\" ZV_SOURCE_DIR_NATIVE "Z:${CMAKE_SOURCE_DIR}")
else()
  set(ZV_SOURCE_DIR_NATIVE "${CMAKE_SOURCE_DIR}")
endif()

# One test program from test sources and tests/support; its tests are found when ctest runs
# them. LOCK names a ctest resource lock that every test of the program holds.
function(zv_test_program name)
  cmake_parse_arguments(A "" "LOCK" "" ${ARGN})
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(${name} ${A_UNPARSED_ARGUMENTS} ${support})
  target_link_libraries(${name} PRIVATE zv_app zv_launcher zv_runner zv_tree zv_config zv_store
                        zv_archive zv_platform GTest::gtest)
  target_compile_definitions(${name} PRIVATE "ZV_SOURCE_DIR=\"${ZV_SOURCE_DIR_NATIVE}\"")
  # Test records name only the fields that matter (designated initializers).
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  set(lock)
  if(A_LOCK)
    set(lock RESOURCE_LOCK ${A_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
                       PROPERTIES TIMEOUT 300 ${lock})
endfunction()

# tests/<area>/*_test.cpp run in both builds; *_wintest.cpp only in the Windows build.
function(zv_tests area)
  file(GLOB t CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*_test.cpp)
  if(WIN32)
    file(GLOB w CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*_wintest.cpp)
  endif()
  if(NOT t AND NOT w)
    return()
  endif()
  zv_test_program(${area}_tests ${t} ${w})
endfunction()

# tests/<area>/*_sessiontest.cpp (Windows only) create what every process of the Wine prefix
# sees: the programs' named mutexes, their window titles, HKCU Run and list values. They run
# one at a time with every other test holding the same resource lock.
function(zv_session_tests area)
  if(NOT WIN32)
    return()
  endif()
  file(GLOB t CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*_sessiontest.cpp)
  if(NOT t)
    return()
  endif()
  zv_test_program(${area}_session_tests ${t} LOCK zorvan_session)
endfunction()
