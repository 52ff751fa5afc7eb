# The web information tests run beside a webinfo-service process started by the launcher
# with_webinfo_service: natively the service of this build; in the Windows build the service of
# the native build, which the Windows test program under Wine reaches over loopback.
if(CMAKE_CROSSCOMPILING)
  set(PX3_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
      "The native build whose webinfo-service the Windows web information tests meet")
  set(webinfo_service_program ${PX3_NATIVE_BUILD_DIR}/tools/webinfo-service/webinfo-service)
else()
  set(webinfo_service_program ${CMAKE_BINARY_DIR}/tools/webinfo-service/webinfo-service)
endif()

px3_test(webinfo LIBS px3_web_info_export px3_webinfo_service
  LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/with_webinfo_service ${webinfo_service_program})
if(NOT CMAKE_CROSSCOMPILING)
  add_dependencies(test_webinfo webinfo-service)
endif()

# The Windows executable exports the web information function and nothing else.
if(WIN32)
  add_test(NAME test_webinfo_single_export
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/check_single_export ${CMAKE_OBJDUMP}
            $<TARGET_FILE:test_webinfo>)
endif()
