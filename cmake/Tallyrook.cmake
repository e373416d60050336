# Shared build rules: warnings, precompiled headers, and the library/test helpers every folder uses.

function(tallyrook_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
  if(TALLYROOK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

set(TALLYROOK_PCH_HEADERS
  <algorithm> <cstdint> <functional> <map> <memory> <optional> <stdexcept> <string> <vector>
  <QByteArray> <QChar> <QString> <QStringList> <QList> <QHash> <QVariant>)
set(TALLYROOK_GUI_PCH_HEADERS <QWidget> <QPainter> <QImage> <QFont> <QColor>)

# A subsystem library built from every source file under its folder (and the given sub-folders).
#   tallyrook_library(NAME name DIRS dir... DEPS lib... [GUI])
function(tallyrook_library)
  cmake_parse_arguments(ARG "GUI" "NAME" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
    list(APPEND sources ${found})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(NOT compiled)
    # A folder whose code has not been written yet: a library that only passes its dependencies on.
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${ARG_NAME} STATIC ${sources})
  target_include_directories(${ARG_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
  tallyrook_warnings(${ARG_NAME})
  if(ARG_GUI)
    target_precompile_headers(${ARG_NAME} PRIVATE ${TALLYROOK_PCH_HEADERS} ${TALLYROOK_GUI_PCH_HEADERS})
  else()
    target_precompile_headers(${ARG_NAME} PRIVATE ${TALLYROOK_PCH_HEADERS})
  endif()
endfunction()

# One GoogleTest program per tested folder, built from every test file in it; each test case is a CTest test.
#   tallyrook_tests(NAME name DIR dir DEPS lib...)
function(tallyrook_tests)
  cmake_parse_arguments(ARG "" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h ${ARG_DIR}/*.qrc)
  if(NOT sources)
    return()
  endif()
  add_executable(${ARG_NAME} ${sources})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_DEPS} test_support GTest::gtest)
  # Where the tests find files kept beside them (golden outputs), wherever the build runs them.
  target_compile_definitions(${ARG_NAME} PRIVATE TALLYROOK_TESTS_DIR="${PROJECT_SOURCE_DIR}/tests")
  tallyrook_warnings(${ARG_NAME})
  target_precompile_headers(${ARG_NAME} PRIVATE ${TALLYROOK_PCH_HEADERS} <gtest/gtest.h>)
  gtest_discover_tests(${ARG_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
               ENVIRONMENT_MODIFICATION TALLYROOK_TEST_DATA=set:${PROJECT_SOURCE_DIR}/tests/data
    DISCOVERY_TIMEOUT 60)
endfunction()

include(GoogleTest)
