# Build conventions shared by every target of the project.

if(PX3_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(PX3_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  add_link_options(-static)
endif()

# Every warning is an error in our own code.
function(px3_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()

# Sources named *_zh.cpp hold user-visible Chinese texts written in UTF-8; they are compiled so
# that their string literals become GBK bytes. Clang cannot do this, so fuzz builds leave them out.
function(px3_gbk_sources out_var)
  set(kept)
  foreach(src IN LISTS ARGN)
    if(src MATCHES "_zh\\.cpp$")
      if(PX3_FUZZ)
        continue()
      endif()
      set_source_files_properties(${src} PROPERTIES
        COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=GBK")
    endif()
    list(APPEND kept ${src})
  endforeach()
  set(${out_var} ${kept} PARENT_SCOPE)
endfunction()

# A static library made of every .cpp file in the given folders of src/.
function(px3_library name)
  cmake_parse_arguments(L "" "" "DIRS;LIBS" ${ARGN})
  set(srcs)
  foreach(dir IN LISTS L_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  px3_gbk_sources(srcs ${srcs})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_LIBS})
    px3_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${L_LIBS})
  endif()
endfunction()

# One test executable per folder of tests/; natively each test case is its own ctest entry,
# under Wine (where a process start costs seconds) the executable is one entry. LAUNCHER names a
# program (with arguments) that every run of the executable goes through, in front of Wine for
# the Windows build, e.g. to start a server beside the tests.
function(px3_test name)
  cmake_parse_arguments(T "" "" "LIBS;LAUNCHER" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
  px3_gbk_sources(srcs ${srcs})
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${name} ${srcs})
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  px3_warnings(test_${name})
  if(T_LAUNCHER)
    set_property(TARGET test_${name} PROPERTY CROSSCOMPILING_EMULATOR
      ${T_LAUNCHER} ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME test_${name} COMMAND test_${name})
  else()
    gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# Windows executables run under Wine, in a prefix of their own inside the build folder, with the
# Chinese locale that gives Wine the GBK code page.
if(CMAKE_CROSSCOMPILING AND WIN32)
  find_program(WINE_PROGRAM NAMES wine wine64 REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
      WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${WINE_PROGRAM})
endif()
