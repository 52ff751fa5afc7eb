# The session's integration tests run beside our central servers, started by the launcher
# with_central_servers: natively the server of this build; in the Windows build the server of the
# native build, which the Windows test program under Wine reaches over loopback.
if(CMAKE_CROSSCOMPILING)
  set(PX3_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
      "The native build whose servers the Windows tests meet")
  set(central_server_program ${PX3_NATIVE_BUILD_DIR}/tools/central-server/central-server)
else()
  set(central_server_program ${CMAKE_BINARY_DIR}/tools/central-server/central-server)
endif()

px3_test(integration LIBS px3_messaging
  LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/with_central_servers ${central_server_program})
if(NOT CMAKE_CROSSCOMPILING)
  add_dependencies(test_integration central-server)
endif()
