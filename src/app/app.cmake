if(WIN32)
  target_sources(vm_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp)
endif()
