# HTTP client: response and request text (platform-free), Winsock transport and Http.
target_sources(vm_net_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/byte_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_request.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_response.cpp
  ${CMAKE_CURRENT_LIST_DIR}/response_buffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_warmer.cpp)
if(WIN32)
  target_sources(vm_net PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/winsock_users.cpp
    ${CMAKE_CURRENT_LIST_DIR}/host_lookup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/socket_errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/socket.cpp
    ${CMAKE_CURRENT_LIST_DIR}/http.cpp)
endif()
