# Windows transport and client tests share the scripted loopback server.
if(WIN32)
  add_library(vm_test_loopback STATIC ${CMAKE_CURRENT_LIST_DIR}/loopback_server.cpp)
  target_include_directories(vm_test_loopback PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(vm_test_loopback PUBLIC GTest::gtest ws2_32)
  target_compile_definitions(vm_test_loopback PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
  vm_warnings(vm_test_loopback)
endif()
vm_add_test(NAME socket_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/socket_test.cpp
            LIBS vm_net vm_test_loopback WINDOWS_ONLY TIMEOUT 120)
