target_sources(vm_net_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/url.cpp)
