# velmora_library(NAME DEPS dep...)
# One static library per source folder, made of every .cpp and .h in that
# folder (not its subfolders). Every library includes from src/, so includes
# name their folder ("foundation/settings.h"). A folder without sources yet
# gives an interface library, so that later folders can already name it as a
# dependency.
function(velmora_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;OPTIONS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    if(ARG_OPTIONS)
      target_compile_options(${name} PRIVATE ${ARG_OPTIONS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# velmora_test(NAME LIBS lib...)
# One GoogleTest program per test folder, made of every .cpp in that folder,
# run headless by CTest.
function(velmora_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE velmora_testsupport ${ARG_LIBS})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1"
               TIMEOUT 300)
endfunction()
